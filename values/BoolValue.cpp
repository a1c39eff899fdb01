#include "BoolValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

namespace tnUI {

BoolValue::BoolValue(bool v) : m_value(v), m_default(v)
{
    markSet();
}

bool BoolValue::getValue() const
{
    if (!isSet())
        throw NotSetError();
    return m_value;
}

bool BoolValue::setValue(bool v)
{
    const bool wasSet = isSet();
    if (wasSet && m_value == v)
        return false;
    if (!wasSet)
        m_default = v;
    m_value = v;
    markSet();
    Message m(this, Message::Value);
    sendMessage(m);
    // Whether the flag changed, like RealValue's setters; listeners go by the
    // "Value" message.
    return true;
}

bool BoolValue::evalBool() const
{
    return getValue();
}

double BoolValue::evalDouble() const
{
    return getValue() ? 1.0 : 0.0;
}

void BoolValue::reset()
{
    if (!isSet())
        throw NotSetError();
    setValue(m_default);
}

bool BoolValue::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const BoolValue*>(other);
    if (!source)
        return false;
    m_default = source->m_default;
    m_value = source->m_value;
    markSet();
    return Value::assign(other);
}

bool BoolValue::dump(DumpFile& file, int level, const char* label) const
{
    if (!NumericValue::dump(file, level, label))
        return false;
    if (isSet()) {
        file.printf(level + 1, "internal value = %s\n", DumpFile::dumpBool(m_value));
        file.printf(level + 1, "internal default = %s\n", DumpFile::dumpBool(m_default));
    } else {
        file.printf(level + 1, "value = unset\n");
    }
    return true;
}

void setValue(Value* v, bool b)
{
    if (!v)
        throw NullError();
    auto* value = dynamic_cast<BoolValue*>(v);
    if (!value)
        throw TypeError();
    value->setValue(b);
}

} // namespace tnUI
