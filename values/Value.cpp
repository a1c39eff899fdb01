#include "Value.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

namespace tnUI {

void Value::setEditble(bool editable)
{
    if (editable == m_editable)
        return;
    m_editable = editable;
    Message m(this, Message::Value);
    sendMessage(m);
}

bool Value::assign(const Value* const other)
{
    if (!other)
        return false;
    m_editable = other->m_editable;
    return true;
}

tn::Reference<Value> Value::clone() const
{
    return {};
}

void Value::copyInto(Value* other) const
{
    if (!other)
        throw NullError();
    other->m_editable = m_editable;
    if (const Name* name = getName())
        other->setName(name);
}

bool Value::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedEntity::dump(file, level, label))
        return false;
    file.printf(level + 1, "editable = \"%s\"\n", DumpFile::dumpBool(m_editable));
    return true;
}

} // namespace tnUI
