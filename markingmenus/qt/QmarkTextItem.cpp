#include "QmarkTextItem.h"

#include "../MarkRender.h"

#include <algorithm>

float QmarkTextItem::getWidth() const
{
    const float markWidth = getMarkWidth();
    if (static_cast<int>(markWidth + 0.01f) != 0)
        return markWidth;
    float width = 0.0f;
    float height = 0.0f;
    if (const tnMarkStyledText* text = getStyledText())
        text->getExtent(width, height);
    return std::max(width + 2.0f * height + 8.0f, 60.0f);
}

float QmarkTextItem::getHeight() const
{
    float width = 0.0f;
    float height = 0.0f;
    if (const tnMarkStyledText* text = getStyledText())
        text->getExtent(width, height);
    return height + 2.0f;
}

void QmarkTextItem::setIcon(const QIcon& icon)
{
    m_icon = icon;
    setDirty(true);
}
