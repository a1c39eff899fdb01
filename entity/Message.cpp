#include "Message.h"

#include "Entity.h"
#include "Error.h"

namespace tnUI {

void Message::raiseNull()
{
    throw NullError();
}

void Message::raiseCycle()
{
    throw CycleError();
}

Message::Message(const Message& other) noexcept
    : m_entity(other.m_entity), m_causedBy(other.m_causedBy), m_type(other.m_type), m_depth(other.m_depth)
{
    if (m_depth <= kWalkedDepth)
        return;
    // A deep copy is listed where its original is: not after the entity died.
    m_anchor = other.m_anchor;
    m_previousOfEntity = m_nextOfEntity = nullptr;
    m_listed = false;
    if (other.m_listed)
        enlist();
}

const Message* Message::getRoot() const noexcept
{
    const Message* m = m_depth > kWalkedDepth ? m_anchor : this;
    while (m->m_causedBy)
        m = m->m_causedBy;
    return m;
}

void Message::enterDeepChain(const Message& cause)
{
    m_anchor = cause.m_depth == kWalkedDepth ? &cause : cause.m_anchor;
    // Every message between the anchor and this one is deep, hence listed on
    // its entity while it lives: unless m_entity sends a message of the
    // anchor or above, or has a deep message of the same anchor, it is not in
    // the chain. Such a message is almost always a real cycle, which the walk
    // confirms.
    if (m_anchor->entityPresent(m_entity))
        raiseCycle();
    for (const Message* m = m_entity->m_deepMessages; m; m = m->m_nextOfEntity) {
        if (m->m_anchor == m_anchor) {
            if (cause.entityPresent(m_entity))
                raiseCycle();
            break;
        }
    }
    m_previousOfEntity = nullptr;
    enlist();
}

void Message::enlist() noexcept
{
    m_nextOfEntity = m_entity->m_deepMessages;
    if (m_nextOfEntity)
        m_nextOfEntity->m_previousOfEntity = this;
    m_entity->m_deepMessages = this;
    m_listed = true;
}

void Message::leaveDeepChain() noexcept
{
    if (!m_listed)
        return;
    if (m_previousOfEntity)
        m_previousOfEntity->m_nextOfEntity = m_nextOfEntity;
    else
        m_entity->m_deepMessages = m_nextOfEntity;
    if (m_nextOfEntity)
        m_nextOfEntity->m_previousOfEntity = m_previousOfEntity;
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
