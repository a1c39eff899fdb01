#include "MarkFont.h"

tnMarkFont::tnMarkFont(const tnString::IString& family, int style, int size) : m_family(family), m_size(size)
{
    setStyle(style);
}

void tnMarkFont::setStyle(int style)
{
    if (style < 0 || style > MaxStyle)
        return;
    m_style = style;
}
