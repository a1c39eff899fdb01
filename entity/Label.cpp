#include "Label.h"

#include "DumpFile.h"
#include "Error.h"

namespace tnUI {

namespace {

tnString::IString fromMultibyte(const char* text)
{
    if (!text)
        throw NullError();
    return tnString::IString(text, tnString::Multibyte);
}

const tnString::IString& textOf(const Label* other)
{
    if (!other)
        throw NullError();
    return other->asString();
}

} // namespace

Label::Label(const tnString::IString& text) : m_text(text)
{}

Label::Label(const tnString::CString& text) : m_text(text, tnString::Multibyte)
{}

Label::Label(const char* text) : m_text(fromMultibyte(text))
{}

Label::Label(const Label* other) : m_text(textOf(other))
{}

bool Label::operator==(const tnString::IString& text) const noexcept
{
    return tnString::equal(m_text, text);
}

bool Label::operator!=(const tnString::IString& text) const noexcept
{
    return tnString::notEqual(m_text, text);
}

bool Label::operator<(const tnString::IString& text) const noexcept
{
    return tnString::less(m_text, text);
}

bool Label::operator==(const wchar_t* text) const
{
    return tnString::equal(m_text, tnString::IString(text));
}

bool Label::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    file.printf(level + 1, "value = \"%s\"\n", m_text.asMultibyte().asChar());
    return true;
}

MutableLabel::MutableLabel(const Label* other) : Label(other)
{}

MutableLabel::MutableLabel(const tnString::IString& text) : Label(text)
{}

MutableLabel::MutableLabel(const tnString::CString& text) : Label(text)
{}

MutableLabel::MutableLabel(const char* text) : Label(text)
{}

void MutableLabel::set(const tnString::IString& text)
{
    if (tnString::equal(m_text, text))
        return;
    m_text = text;
    Message m(this, Message::Label);
    sendMessage(m);
}

void MutableLabel::set(const tnString::CString& text)
{
    set(tnString::IString(text, tnString::Multibyte));
}

void MutableLabel::set(const char* text)
{
    set(fromMultibyte(text));
}

void MutableLabel::set(const Label* other)
{
    set(textOf(other));
}

void MutableLabel::erase()
{
    if (m_text.isEmpty())
        return;
    m_text = tnString::IString();
    Message m(this, Message::Label);
    sendMessage(m);
}

HelpRef::HelpRef(const tnString::IString& text) : Label(text)
{}

bool equivalent(const Label* a, const Label* b)
{
    if (!a || !b)
        throw NullError();
    return tnString::equal(a->asString(), b->asString());
}

} // namespace tnUI
