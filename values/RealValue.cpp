#include "RealValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

#include <cmath>

namespace tnUI {

RealValue::RealValue(double v) : m_number{{}, v, v}
{
    markSet();
}

double RealValue::evalInternal() const
{
    if (!isSet())
        throw NotSetError();
    return m_number.value;
}

double RealValue::evalDisplay() const
{
    return toDisplay(evalInternal());
}

bool RealValue::setInternalValueSilent(double v)
{
    if (!m_number.store(v, isSet()))
        return false;
    markSet();
    return true;
}

bool RealValue::setInternalValue(double v)
{
    if (!setInternalValueSilent(v))
        return false;
    // Sent after the store, so that listeners read the new number.
    Message m(this, Message::Value);
    sendMessage(m);
    return true;
}

bool RealValue::setDisplayValueSilent(double v)
{
    return setInternalValueSilent(toInternal(v));
}

bool RealValue::setDisplayValue(double v)
{
    return setInternalValue(toInternal(v));
}

double RealValue::getDisplayConversionFactor() const
{
    return 1.0;
}

double RealValue::toDisplay(double x) const
{
    return x * getDisplayConversionFactor();
}

double RealValue::toInternal(double x) const
{
    return x / getDisplayConversionFactor();
}

void RealValue::setRange(double min, double max)
{
    m_number.range.set(min, max);
    if (isSet())
        setInternalValue(m_number.value);
}

void RealValue::setRangeUnbounded()
{
    m_number.range.setUnbounded();
}

bool RealValue::evalBool() const
{
    return !(std::fabs(evalDouble() - 0.0) < tnLinear::epsilonTol);
}

double RealValue::evalDouble() const
{
    return evalInternal();
}

void RealValue::reset()
{
    if (!isSet())
        throw NotSetError();
    setInternalValue(m_number.defaultValue);
}

bool RealValue::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const RealValue*>(other);
    if (!source)
        return false;
    // The numbers are copied even from an unset source; the target is set
    // afterwards in every case.
    m_number = source->m_number;
    markSet();
    return Value::assign(other);
}

tn::Reference<Value> RealValue::clone() const
{
    // Unit values inherit this: their clone is a plain RealValue holding the
    // same internal numbers.
    const tn::Reference<RealValue> copy(new RealValue);
    copyInto(copy.get());
    return tn::Reference<Value>(copy);
}

void RealValue::copyInto(Value* other) const
{
    // The class is checked before anything is copied.
    if (!other)
        throw NullError();
    auto* target = dynamic_cast<RealValue*>(other);
    if (!target)
        throw ImplError();
    NumericValue::copyInto(other);
    target->m_number = m_number;
}

bool RealValue::dump(DumpFile& file, int level, const char* label) const
{
    if (!NumericValue::dump(file, level, label))
        return false;
    if (isSet()) {
        file.printf(level + 1, "internal value = %f\n", m_number.value);
        file.printf(level + 1, "internal default = %f\n", m_number.defaultValue);
    } else {
        file.printf(level + 1, "value = unset\n");
    }
    // The range is written for an unset value too.
    if (!m_number.range.isUnbounded())
        file.printf(level + 1, "range = [%f %f]\n", m_number.range.getMin(), m_number.range.getMax());
    return true;
}

namespace {

RealValue* realValueOf(Value* v)
{
    if (!v)
        throw NullError();
    auto* real = dynamic_cast<RealValue*>(v);
    if (!real)
        throw TypeError();
    return real;
}

} // namespace

void setInternalValue(Value* v, double d)
{
    realValueOf(v)->setInternalValue(d);
}

void setDisplayValue(Value* v, double d)
{
    realValueOf(v)->setDisplayValue(d);
}

} // namespace tnUI
