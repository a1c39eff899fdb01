#include "FontValue.h"

#include "../application/Application.h"

namespace tnUI {

FontValue::FontValue() : FontValue(static_cast<float>(Application::getNormalFontSize()))
{}

FontValue::FontValue(float size) : FontValue(Application::getFontName(), size)
{}

FontValue::FontValue(const tnString::IString& name, float size) : m_name(name), m_size(size)
{}

tn::Reference<FontValue> FontValue::create()
{
    return tn::Reference<FontValue>(new FontValue);
}

tn::Reference<FontValue> FontValue::create(float size)
{
    return tn::Reference<FontValue>(new FontValue(size));
}

tn::Reference<FontValue> FontValue::create(const tnString::IString& name, float size)
{
    return tn::Reference<FontValue>(new FontValue(name, size));
}

bool FontValue::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const FontValue*>(other);
    if (!source)
        return false;
    m_name = source->m_name;
    m_size = source->m_size;
    return Value::assign(other);
}

void FontValue::reset()
{}

} // namespace tnUI
