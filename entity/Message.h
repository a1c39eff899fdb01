#pragma once

#include "../foundation/Export.h"

namespace tnUI {

class Entity;

/// A change announcement, built on the sender's stack for the duration of one
/// emission. causedBy links to the message (further up the stack) whose arrival
/// made the sender send this one; a listener may walk the chain during the call
/// but must not keep the message.
class TNUI_EXPORT Message {
public:
    /// The underlying type is fixed so that any int is a value of Type: a value
    /// outside the table reaches TypeName, which refuses it, instead of being
    /// undefined behaviour at the caller's conversion.
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

    // The fields of a deep message are left unset in the others, which must
    // not pay for them.
    // NOLINTBEGIN(clang-analyzer-optin.cplusplus.UninitializedObject)

    /// A root message. Null e raises NullError.
    Message(const Entity* e, Type t) : m_entity(e), m_causedBy(nullptr), m_type(t), m_depth(0)
    {
        if (!e)
            raiseNull();
    }
    /// A message caused by cause. Null e raises NullError; an entity already in
    /// cause's chain raises CycleError, which is what stops forwarding loops.
    Message(const Entity* e, Message& cause, Type t)
        : m_entity(e), m_causedBy(&cause), m_type(t), m_depth(cause.m_depth + 1)
    {
        if (!e)
            raiseNull();
        if (m_depth > kWalkedDepth)
            enterDeepChain(cause);
        else if (cause.entityPresent(e))
            raiseCycle();
    }
    // NOLINTEND(clang-analyzer-optin.cplusplus.UninitializedObject)
    /// Copies other.
    Message(const Message& other) noexcept;
    Message& operator=(const Message&) = delete;
    virtual ~Message()
    {
        if (m_depth > kWalkedDepth)
            leaveDeepChain();
    }

    /// The entity.
    const Entity* getEntity() const noexcept { return m_entity; }
    /// The type.
    Type getType() const noexcept { return m_type; }
    /// The message that caused this one, or null for a root.
    const Message* causedBy() const noexcept { return m_causedBy; }
    /// Whether it is a root message, caused by none.
    bool isRoot() const noexcept { return m_causedBy == nullptr; }
    /// The message that started the chain; a root is its own root.
    const Message* getRoot() const noexcept;
    /// True when e sent this message or any message of its chain.
    bool entityPresent(const Entity* e) const noexcept
    {
        for (const Message* m = this; m; m = m->m_causedBy) {
            if (m->m_entity == e)
                return true;
        }
        return false;
    }

    /// The type's text; a value outside the enumeration raises ImplError.
    static const char* TypeName(Type t);

private:
    friend class Entity;

    /// The cycle check walks a chain up to this depth, which costs less than
    /// any bookkeeping. A message deeper down lists itself on its entity's
    /// list of deep messages from its construction to its destruction (or to
    /// the entity's death); its check walks only the messages from the one at
    /// this depth (its anchor) up to the root, and looks for the entity's own
    /// deep messages of the same anchor, usually none. The chain is walked in
    /// full only to confirm a real cycle, so forwarding stays linear.
    static constexpr int kWalkedDepth = 8;

    [[noreturn]] static void raiseNull();
    [[noreturn]] static void raiseCycle();
    void enterDeepChain(const Message& cause);
    void leaveDeepChain() noexcept;
    void enlist() noexcept;

    /// Set for every message.
    const Entity* m_entity;
    const Message* m_causedBy;
    Type m_type;
    /// The number of messages between this one and its root.
    int m_depth;
    /// Set only beyond kWalkedDepth: the chain's message at kWalkedDepth, and
    /// the neighbours on the entity's list (m_listed is false once the entity
    /// died).
    const Message* m_anchor;
    Message* m_previousOfEntity;
    Message* m_nextOfEntity;
    bool m_listed;
};

/// Same as Message::TypeName.
TNUI_EXPORT const char* enumName(Message::Type t);

} // namespace tnUI
