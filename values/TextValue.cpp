#include "TextValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

namespace tnUI {

TextValue::TextValue() : m_text(new MutableLabel)
{
    connectSignal(m_text.get());
}

// MutableLabel(const Label*) refuses a null label with NullError.
TextValue::TextValue(const Label* l) : m_text(new MutableLabel(l))
{
    connectSignal(m_text.get());
}

void TextValue::markChanged()
{
    Message m(this, Message::Value);
    sendMessage(m);
}

void TextValue::setDefault(const Label* l)
{
    if (!l)
        throw NullError();
    m_default = l->asString();
}

void TextValue::reset()
{
    m_text->set(m_default);
}

bool TextValue::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const TextValue*>(other);
    if (!source)
        return false;
    m_default = source->m_default;
    // The text object is shared with the source from now on; listening moves
    // with it, so that changes of the shared text reach this value's
    // listeners too.
    removeSignal(m_text.get());
    m_text = source->m_text;
    connectSignal(m_text.get());
    return Value::assign(other);
}

bool TextValue::dump(DumpFile& file, int level, const char* label) const
{
    if (!Value::dump(file, level, label))
        return false;
    m_text->dump(file, level + 1, "text value");
    return true;
}

} // namespace tnUI
