#include "QmarkTextItem.h"

#include "QmarkStyledText.h"
#include "QmarkTooltip.h"

#include "../MarkMenu.h"
#include "../MarkOptionBoxItem.h"
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

void readApplicationFont(tnMarkMenu& menu)
{
    for (tnMarkItem* item : menu.getItems()) {
        tnMarkMenuItem* menuItem = item->asMenuItem();
        if (!menuItem)
            continue;
        if (auto* tooltip = dynamic_cast<QmarkTooltip*>(menuItem->getToolTip()))
            tooltip->readApplicationFont();
        if (const tnMarkOptionBoxItem* box = menuItem->getOptionBox()) {
            if (auto* tooltip = dynamic_cast<QmarkTooltip*>(box->getToolTip()))
                tooltip->readApplicationFont();
        }
        auto* textItem = dynamic_cast<tnMarkTextItem*>(menuItem);
        if (auto* text = textItem ? dynamic_cast<QmarkStyledText*>(textItem->getStyledText()) : nullptr) {
            text->readApplicationFont();
            textItem->setDirty(true);
        }
    }
    menu.layOutItems();
}
