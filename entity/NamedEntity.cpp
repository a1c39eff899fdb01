#include "NamedEntity.h"

#include "DumpFile.h"
#include "Error.h"

namespace tnUI {

const Name* NamedEntity::getName() const
{
    return m_name.get();
}

const char* NamedEntity::nameAsChar() const
{
    const Name* name = getName();
    return name ? name->asChar() : "<unnamed>";
}

void NamedEntity::setName(const Name* n)
{
    if (m_name)
        throw ImplError();
    if (!n)
        throw NullError();
    if (dynamic_cast<const MutableName*>(n))
        throw ImplError();
    m_name = n;
    Message m(this, Message::Name);
    sendMessage(m);
}

void NamedEntity::setName(const tnString::CString& t)
{
    // Held here so that a refused name is released.
    const tn::Reference<const Name> name(new Name(t));
    setName(name.get());
}

bool NamedEntity::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    if (m_name)
        m_name->dump(file, level + 1, "name");
    else
        file.printf(level + 1, "name = <null>\n");
    return true;
}

} // namespace tnUI
