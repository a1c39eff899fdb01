#include "NumericValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

namespace tnUI {

bool NumericValue::isSet() const
{
    return m_set;
}

bool NumericValue::isExpression() const
{
    return false;
}

void NumericValue::copyInto(Value* other) const
{
    // The class is checked before anything is copied.
    if (!other)
        throw NullError();
    auto* target = dynamic_cast<NumericValue*>(other);
    if (!target)
        throw ImplError();
    Value::copyInto(other);
    target->m_set = m_set;
}

bool NumericValue::dump(DumpFile& file, int level, const char* label) const
{
    if (!Value::dump(file, level, label))
        return false;
    file.printf(level + 1, "isSet = \"%s\"\n", DumpFile::dumpBool(isSet()));
    return true;
}

} // namespace tnUI
