#include "Name.h"

#include "DumpFile.h"
#include "Error.h"

namespace tnUI {

Name::Name(const tnString::CString& text) : m_text(text)
{}

bool Name::operator==(const tnString::CString& text) const noexcept
{
    return tnString::equal(m_text, text);
}

bool Name::operator!=(const tnString::CString& text) const noexcept
{
    return tnString::notEqual(m_text, text);
}

bool Name::operator<(const tnString::CString& text) const noexcept
{
    return tnString::less(m_text, text);
}

bool Name::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    file.printf(level + 1, "value = \"%s\"\n", m_text.asChar());
    return true;
}

MutableName::MutableName(const tnString::CString& text) : Name(text)
{}

void MutableName::set(const tnString::CString& text)
{
    if (tnString::equal(m_text, text))
        return;
    m_text = text;
    Message m(this, Message::Name);
    sendMessage(m);
}

void MutableName::set(const Name* other)
{
    if (!other)
        throw NullError();
    set(other->asString());
}

void MutableName::erase()
{
    if (m_text.isEmpty())
        return;
    m_text = tnString::CString();
    Message m(this, Message::Name);
    sendMessage(m);
}

bool equivalent(const Name* a, const Name* b)
{
    if (!a || !b)
        throw NullError();
    return tnString::equal(a->asString(), b->asString());
}

} // namespace tnUI
