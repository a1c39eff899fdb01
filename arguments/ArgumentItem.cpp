#include "ArgumentItem.h"

#include "../values/Value.h"

namespace tnUI {

ArgumentItem::~ArgumentItem()
{
    signalClient.disconnectAll();
}

void ArgumentItem::setValue(Value* v)
{
    const auto held = tn::keepAlive(this);
    stopListening(m_value.get(), &m_value);
    tn::Reference<Value> old = std::move(m_value);
    m_value = v;
    listenTo(v, &m_value, &Entity::forwardMessage);
}

void ArgumentItem::reset()
{
    const auto held = tn::keepAlive(this);
    if (const tn::Reference<Value> value = m_value)
        value->reset();
    Argument::reset();
}

bool ArgumentItem::dump(DumpFile& file, int level, const char* label) const
{
    if (!Argument::dump(file, level, label))
        return false;
    if (m_value)
        m_value->dump(file, level + 1, "value");
    return true;
}

} // namespace tnUI
