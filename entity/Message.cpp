#include "Message.h"

#include "Error.h"

namespace tnUI {

Message::Message(const Entity* e, Type t) : m_entity(e), m_causedBy(nullptr), m_type(t)
{
    if (!e)
        throw NullError();
}

Message::Message(const Entity* e, Message& cause, Type t) : m_entity(e), m_causedBy(&cause), m_type(t)
{
    if (!e)
        throw NullError();
    if (cause.entityPresent(e))
        throw CycleError();
}

const Message* Message::getRoot() const noexcept
{
    const Message* m = this;
    while (m->m_causedBy)
        m = m->m_causedBy;
    return m;
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
