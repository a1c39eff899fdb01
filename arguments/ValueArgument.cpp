#include "ValueArgument.h"

#include "../entity/Error.h"

namespace tnUI {

ValueArgument::ValueArgument(Value* v)
{
    ValueArgument::setValue(v);
}

ValueArgument::~ValueArgument()
{
    signalClient.disconnectAll();
}

void ValueArgument::setValue(Value* v)
{
    if (!v)
        throw NullError();
    ArgumentItem::setValue(v);
}

void ValueArgument::setUnitLabel(const Label* l)
{
    if (l == m_unitLabel.get())
        return;
    const auto held = tn::keepAlive(this);
    // Tagged: the same label may also be this argument's own label.
    stopListening(m_unitLabel.get(), &m_unitLabel);
    tn::Reference<const Label> old = std::move(m_unitLabel);
    m_unitLabel = l;
    listenTo(l, &m_unitLabel, &Entity::forwardMessage);
}

const Label* ValueArgument::getUnitLabel() const
{
    return m_unitLabel.get();
}

bool ValueArgument::dump(DumpFile& file, int level, const char* label) const
{
    return ArgumentItem::dump(file, level, label);
}

const char* enumName(ValueArgument::Format f)
{
    switch (f) {
    case ValueArgument::Natural: return "Natural";
    case ValueArgument::Bool: return "Bool";
    case ValueArgument::Int: return "Int";
    case ValueArgument::Real: return "Real";
    case ValueArgument::String: return "String";
    }
    throw ImplError();
}

} // namespace tnUI
