#include "MarkLinearMenu.h"

#include "MarkRender.h"
#include "MarkTextItem.h"

#include "../entity/Error.h"

#include <algorithm>
#include <memory>

namespace {

// The space after each item, and again after a separator.
constexpr float listGap = 2.0f;
// How far the pointer may stray from the list before the parent is asked.
constexpr float leaveMargin = 10.0f;

} // namespace

tnMarkLinearMenu::tnMarkLinearMenu() : tnMarkMenu(true)
{
    tnMarkMenu::setCenterRadius(0.0f);
    tnMarkMenu::setRadius(0.0f);
}

tnMarkLinearMenu::~tnMarkLinearMenu() = default;

bool tnMarkLinearMenu::isOverParentCenter(float dx, float dy)
{
    tnMarkMenu* parent = getParentMenu();
    if (!parent)
        return false;
    float right = 0.0f;
    float bottom = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    getExtents(right, bottom, left, top);
    if (left - leaveMargin <= dx && dx <= right + leaveMargin && bottom - leaveMargin <= dy && dy <= top + leaveMargin)
        return false;

    float offsetX = 0.0f;
    float offsetY = 0.0f;
    getParentOffset(offsetX, offsetY);
    const float px = dx - offsetX;
    const float py = dy - offsetY;
    parent->hover(px, py, true);
    if (!parent->getHighlightedItem() || parent->getHighlightedItem() != getParentItem())
        return true;
    return parent->isOverParentCenter(px, py);
}

bool tnMarkLinearMenu::hover(float dx, float dy, bool /*force*/)
{
    return _moveHighlight(itemAtPoint(dx, dy));
}

void tnMarkLinearMenu::drawCenter(tnMarkRender& render)
{
    render.drawListBackground({0.0, 0.0}, {getListWidth(), getListHeight()});
}

tnMarkMenuItem* tnMarkLinearMenu::appendItem(tnMarkMenuItem* item)
{
    if (!item)
        throw tnUI::NullError();
    insertItem(item);
    item->setInOverflow(true);
    return item;
}

tnMarkMenuItem* tnMarkLinearMenu::addItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                          const tnMarkFont& font, void* data)
{
    const tnMarkPosition anchor(0.0f, -_stackHeight());
    std::unique_ptr<tnMarkTextItem> item(createTextItem(label, tooltip, id, anchor, data, font));
    if (!item)
        return nullptr;
    appendItem(item.get());
    return item.release();
}

tnMarkMenuItem* tnMarkLinearMenu::addImageItem(const tnString::IString& /*normalImage*/,
                                               const tnString::IString& /*highlightedImage*/,
                                               const tnString::IString& /*disabledImage*/,
                                               const tnString::IString& /*tooltip*/, int /*id*/, void* /*data*/)
{
    return nullptr;
}

tnMarkMenuItem* tnMarkLinearMenu::addSubmenuItem(const tnString::IString& label, const tnString::IString& tooltip,
                                                 tnMarkMenu* submenu, const tnMarkFont& font, void* data)
{
    tnMarkMenuItem* item = addItem(label, tooltip, 0, font, data);
    if (item)
        item->setSubmenu(submenu);
    return item;
}

tnMarkMenuItem* tnMarkLinearMenu::addSubmenuImageItem(const tnString::IString& /*normalImage*/,
                                                      const tnString::IString& /*highlightedImage*/,
                                                      const tnString::IString& /*tooltip*/, tnMarkMenu* /*submenu*/)
{
    return nullptr;
}

float tnMarkLinearMenu::getListWidth()
{
    if (m_listWidth < 0.0f) {
        float width = 0.0f;
        for (const tnMarkItem* item : getItems())
            width = std::max(width, item->getWidth());
        for (tnMarkItem* item : getItems()) {
            if (tnMarkMenuItem* menuItem = item->asMenuItem())
                menuItem->setMarkWidth(width);
        }
        m_listWidth = width;
    }
    return m_listWidth;
}

float tnMarkLinearMenu::getListHeight()
{
    if (m_listHeight < 0.0f)
        m_listHeight = _stackHeight();
    return m_listHeight;
}

void tnMarkLinearMenu::layOutItems()
{
    // Each item goes where addItem would put it after the ones above, and
    // the shared width is measured again on first use.
    float height = 0.0f;
    for (tnMarkItem* item : getItems()) {
        tnMarkMenuItem* menuItem = item->asMenuItem();
        if (menuItem)
            menuItem->setMarkWidth(0.0f);
        item->setPosition(tnMarkPosition(0.0f, -height));
        height += item->getHeight() + listGap;
        if (menuItem && menuItem->hasSeparatorAfter())
            height += listGap;
    }
    m_listWidth = -1.0f;
    m_listHeight = -1.0f;
}

float tnMarkLinearMenu::_stackHeight() const
{
    float height = 0.0f;
    for (const tnMarkItem* item : getItems()) {
        height += item->getHeight() + listGap;
        const tnMarkMenuItem* menuItem = item->asMenuItem();
        if (menuItem && menuItem->hasSeparatorAfter())
            height += listGap;
    }
    return height;
}
