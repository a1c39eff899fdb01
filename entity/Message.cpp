#include "Message.h"

#include "Entity.h"
#include "Error.h"

namespace tnUI {

Message::Message(const Entity* e, Type t) : m_entity(e), m_causedBy(nullptr), m_root(this), m_type(t)
{
    if (!e)
        throw NullError();
}

Message::Message(const Entity* e, Message& cause, Type t)
    : m_entity(e), m_causedBy(&cause), m_root(cause.m_root), m_type(t)
{
    if (!e)
        throw NullError();
    if (sendsInChain(e, cause))
        throw CycleError();
    enlist();
}

Message::Message(const Message& other) noexcept
    : m_entity(other.m_entity), m_causedBy(other.m_causedBy), m_root(other.isRoot() ? this : other.m_root),
      m_type(other.m_type)
{
    // A copy is listed where its original is: not for a root, nor after the
    // entity died.
    if (other.m_listed)
        enlist();
}

void Message::delist() noexcept
{
    if (m_previousOfEntity)
        m_previousOfEntity->m_nextOfEntity = m_nextOfEntity;
    else
        m_entity->m_liveMessages = m_nextOfEntity;
    if (m_nextOfEntity)
        m_nextOfEntity->m_previousOfEntity = m_previousOfEntity;
}

void Message::enlist() noexcept
{
    m_nextOfEntity = m_entity->m_liveMessages;
    if (m_nextOfEntity)
        m_nextOfEntity->m_previousOfEntity = this;
    m_entity->m_liveMessages = this;
    m_listed = true;
}

bool Message::sendsInChain(const Entity* e, const Message& cause) noexcept
{
    // Every message of a chain is alive and shares its root: unless e sent
    // the root or has a live message on that root, e is not in the chain.
    // Such a message is almost always a real cycle, which the walk confirms.
    if (cause.m_root->m_entity == e)
        return true;
    for (const Message* m = e->m_liveMessages; m; m = m->m_nextOfEntity) {
        if (m->m_root == cause.m_root)
            return cause.entityPresent(e);
    }
    return false;
}

bool Message::entityPresent(const Entity* e) const noexcept
{
    for (const Message* m = this; m; m = m->m_causedBy) {
        if (m->m_entity == e)
            return true;
    }
    return false;
}

const char* Message::TypeName(Type t)
{
    switch (t) {
    case Forward: return "Forward";
    case Value: return "Value";
    case Name: return "Name";
    case Label: return "Label";
    case State: return "State";
    case Content: return "Content";
    case Structure: return "Structure";
    case Appearance: return "Appearance";
    case Icon: return "Icon";
    case Binding: return "Binding";
    }
    throw ImplError();
}

const char* enumName(Message::Type t)
{
    return Message::TypeName(t);
}

} // namespace tnUI
