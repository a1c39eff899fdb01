#include "IntValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

namespace tnUI {

IntValue::IntValue(int v) : m_value(v), m_default(v)
{
    markSet();
}

int IntValue::getValue() const
{
    if (!isSet())
        throw NotSetError();
    return m_value;
}

bool IntValue::setValue(int v)
{
    // The bounds are doubles holding integers; a clamped result is the bound
    // truncated toward zero.
    int x = v;
    if (!m_range.isUnbounded()) {
        const double d = v;
        if (d < m_range.getMin())
            x = static_cast<int>(m_range.getMin());
        else if (d > m_range.getMax())
            x = static_cast<int>(m_range.getMax());
    }
    const bool wasSet = isSet();
    if (wasSet && m_value == x)
        return false;
    if (!wasSet)
        m_default = x;
    m_value = x;
    markSet();
    Message m(this, Message::Value);
    sendMessage(m);
    // Whether the value changed, like RealValue's setters; listeners go by the
    // "Value" message.
    return true;
}

void IntValue::setRange(int min, int max)
{
    m_range.set(min, max);
    if (isSet())
        setValue(m_value);
}

void IntValue::setRangeUnbounded()
{
    m_range.setUnbounded();
}

bool IntValue::evalBool() const
{
    return getValue() != 0;
}

double IntValue::evalDouble() const
{
    return getValue();
}

void IntValue::reset()
{
    if (!isSet())
        throw NotSetError();
    setValue(m_default);
}

bool IntValue::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const IntValue*>(other);
    if (!source)
        return false;
    m_default = source->m_default;
    m_value = source->m_value;
    m_range = source->m_range;
    markSet();
    return Value::assign(other);
}

bool IntValue::dump(DumpFile& file, int level, const char* label) const
{
    if (!NumericValue::dump(file, level, label))
        return false;
    if (!isSet()) {
        // No range line for an unset integer.
        file.printf(level + 1, "value = unset\n");
        return true;
    }
    file.printf(level + 1, "internal value = %d\n", m_value);
    file.printf(level + 1, "internal default = %d\n", m_default);
    if (!m_range.isUnbounded())
        file.printf(level + 1, "range = [%d %d]\n", static_cast<int>(m_range.getMin()),
                    static_cast<int>(m_range.getMax()));
    return true;
}

void setValue(Value* v, int i)
{
    if (!v)
        throw NullError();
    auto* value = dynamic_cast<IntValue*>(v);
    if (!value)
        throw TypeError();
    value->setValue(i);
}

} // namespace tnUI
