#include "IntValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

namespace tnUI {

IntValue::IntValue(int v) : m_number{{}, v, v}
{
    markSet();
}

int IntValue::getValue() const
{
    if (!isSet())
        throw NotSetError();
    return m_number.value;
}

bool IntValue::setValue(int v)
{
    if (!m_number.store(v, isSet()))
        return false;
    markSet();
    Message m(this, Message::Value);
    sendMessage(m);
    // Whether the value changed, like RealValue's setters; listeners go by the
    // "Value" message.
    return true;
}

void IntValue::setRange(int min, int max)
{
    m_number.range.set(min, max);
    if (isSet())
        setValue(m_number.value);
}

void IntValue::setRangeUnbounded()
{
    m_number.range.setUnbounded();
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
    setValue(m_number.defaultValue);
}

bool IntValue::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const IntValue*>(other);
    if (!source)
        return false;
    m_number = source->m_number;
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
    file.printf(level + 1, "internal value = %d\n", m_number.value);
    file.printf(level + 1, "internal default = %d\n", m_number.defaultValue);
    if (!m_number.range.isUnbounded())
        file.printf(level + 1, "range = [%d %d]\n", static_cast<int>(m_number.range.getMin()),
                    static_cast<int>(m_number.range.getMax()));
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
