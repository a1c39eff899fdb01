#pragma once

#include "../foundation/Export.h"

namespace tnUI {

class Entity;

// A change announcement, built on the sender's stack for the duration of one
// emission. causedBy links to the message (further up the stack) whose arrival
// made the sender send this one; a listener may walk the chain during the call
// but must not keep the message.
class TNUI_EXPORT Message {
public:
    // The underlying type is fixed so that any int is a value of Type: a value
    // outside the table reaches TypeName, which refuses it, instead of being
    // undefined behaviour at the caller's conversion.
    enum Type : int {
        Forward = 0,
        Value = 1,
        Name = 2,
        Label = 3,
        State = 4,
        Content = 5,
        Structure = 6,
        Appearance = 7,
        Icon = 8,
        Binding = 9,
    };

    // A root message. Null e raises NullError.
    Message(const Entity* e, Type t);
    // A message caused by cause. Null e raises NullError; an entity already in
    // cause's chain raises CycleError, which is what stops forwarding loops.
    Message(const Entity* e, Message& cause, Type t);
    Message(const Message& other) noexcept;
    Message& operator=(const Message&) = delete;
    virtual ~Message()
    {
        if (m_listed)
            delist();
    }

    const Entity* getEntity() const noexcept { return m_entity; }
    Type getType() const noexcept { return m_type; }
    const Message* causedBy() const noexcept { return m_causedBy; }
    bool isRoot() const noexcept { return m_causedBy == nullptr; }
    // The message that started the chain; a root is its own root.
    const Message* getRoot() const noexcept { return m_root; }
    // True when e sent this message or any message of its chain.
    bool entityPresent(const Entity* e) const noexcept;

    // The type's text; a value outside the enumeration raises ImplError.
    static const char* TypeName(Type t);

private:
    friend class Entity;

    // A message caused by another lives on its entity's list of live
    // messages from its construction to its destruction (or to the entity's
    // death), which answers the cycle check without walking the chain. A
    // root stays off the lists: the check compares its entity directly.
    void enlist() noexcept;
    void delist() noexcept;
    // True when e sends a live message of cause's chain.
    static bool sendsInChain(const Entity* e, const Message& cause) noexcept;

    const Entity* m_entity;
    const Message* m_causedBy;
    // The first message of the chain: shared by every message of one chain.
    const Message* m_root;
    // Neighbours on the entity's list; m_listed is false once the entity
    // died.
    Message* m_previousOfEntity = nullptr;
    Message* m_nextOfEntity = nullptr;
    bool m_listed = false;
    Type m_type;
};

// Same as Message::TypeName.
TNUI_EXPORT const char* enumName(Message::Type t);

} // namespace tnUI
