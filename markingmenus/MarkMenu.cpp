#include "MarkMenu.h"

#include "MarkBitmapOverflowItem.h"
#include "MarkImageItem.h"
#include "MarkOptionBoxItem.h"
#include "MarkRender.h"
#include "MarkTextItem.h"

#include "../entity/Error.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

// Shared by every menu.
tnMarkImage* s_centerImage = nullptr;
tnMarkImage* s_highlightedCenterImage = nullptr;
bool s_gesturePhase = true;

// The distance from the centre to the first overflow item's anchor, beyond
// the menu's radius.
constexpr float overflowGap = 32.0f;
// The space after each list item, and again after a separator.
constexpr float listGap = 2.0f;
// North and South anchors sit this much farther out, clear of the labels
// beside the centre.
constexpr float verticalExtra = 10.0f;
// The least space layOutItems leaves between two radial items' boxes.
constexpr float itemClearance = 2.0f;
// Half the side of the square round the centre that radial items keep off:
// the centre mark and its pen.
constexpr float centreClearance = 8.0f;
// A bound on how far layOutItems moves the radial items out.
constexpr int maxGrowth = 4096;

bool apart(const tnLinear::Range2d& a, const tnLinear::Range2d& b, double clearance)
{
    return a.getMax().x + clearance <= b.getMin().x || b.getMax().x + clearance <= a.getMin().x ||
           a.getMax().y + clearance <= b.getMin().y || b.getMax().y + clearance <= a.getMin().y;
}

} // namespace

tnMarkMenu::tnMarkMenu(bool isLinear) : m_isLinear(isLinear), m_maxAngle(std::numbers::pi_v<float> / 2.0f)
{}

tnMarkMenu::~tnMarkMenu()
{
    // Cut the links the submenus and the parent item keep to this menu.
    for (tnMarkItem* item : m_items) {
        const tnMarkMenuItem* menuItem = item->asMenuItem();
        if (menuItem && menuItem->getSubmenu() && menuItem->getSubmenu()->getParentMenu() == this)
            menuItem->getSubmenu()->m_parentMenu = nullptr;
    }
    if (m_parentItem && m_parentItem->getSubmenu() == this)
        m_parentItem->setSubmenu(nullptr);

    for (tnMarkItem* item : m_items)
        delete item;
    delete m_overflowBitmapItem;
}

bool tnMarkMenu::_radialAnchor(int& markPosition, tnMarkPosition& anchor)
{
    if (markPosition == tnMarkPosition::Auto)
        markPosition = takeNextAutoPosition();
    if (!isPositionFree(markPosition))
        return false;
    const bool vertical = markPosition == tnMarkPosition::North || markPosition == tnMarkPosition::South;
    anchor = tnMarkPosition(markPosition, vertical ? m_radius + verticalExtra : m_radius);
    return true;
}

tnMarkMenuItem* tnMarkMenu::addTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                        int markPosition, const tnMarkFont& font, void* data)
{
    tnMarkPosition anchor;
    if (!_radialAnchor(markPosition, anchor))
        return nullptr;
    std::unique_ptr<tnMarkTextItem> item(createTextItem(label, tooltip, id, anchor, data, font));
    insertItem(item.get());
    return item.release();
}

tnMarkMenuItem* tnMarkMenu::addImageItem(const tnString::IString& normalImage,
                                         const tnString::IString& highlightedImage,
                                         const tnString::IString& disabledImage, const tnString::IString& tooltip,
                                         int id, int markPosition, void* data)
{
    tnMarkPosition anchor;
    if (!_radialAnchor(markPosition, anchor))
        return nullptr;
    std::unique_ptr<tnMarkImageItem> item(
        createImageItem(normalImage, highlightedImage, disabledImage, tooltip, id, anchor, data));
    insertItem(item.get());
    return item.release();
}

tnMarkMenuItem* tnMarkMenu::addSubmenuTextItem(const tnString::IString& label, const tnString::IString& tooltip,
                                               tnMarkMenu* submenu, int markPosition, const tnMarkFont& font,
                                               void* data)
{
    tnMarkMenuItem* item = addTextItem(label, tooltip, 0, markPosition, font, data);
    if (item)
        item->setSubmenu(submenu);
    return item;
}

tnMarkMenuItem* tnMarkMenu::addSubmenuImageItem(const tnString::IString& normalImage,
                                                const tnString::IString& highlightedImage,
                                                const tnString::IString& disabledImage,
                                                const tnString::IString& tooltip, tnMarkMenu* submenu, int markPosition,
                                                void* data)
{
    tnMarkMenuItem* item = addImageItem(normalImage, highlightedImage, disabledImage, tooltip, 0, markPosition, data);
    if (item)
        item->setSubmenu(submenu);
    return item;
}

tnMarkMenuItem* tnMarkMenu::addOverflowItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                            const tnMarkFont& font, void* data)
{
    const int index = getNumItems();
    const float offset = m_radius + overflowGap + _overflowItemsHeight();
    std::unique_ptr<tnMarkTextItem> item(
        createTextItem(label, tooltip, id, tnMarkPosition(tnMarkPosition::Overflow, offset), data, font));
    if (!item)
        return nullptr;
    item->setInOverflow(true);
    insertItem(item.get());
    if (m_firstOverflowIndex < 0)
        m_firstOverflowIndex = index;
    return item.release();
}

tnMarkBitmapOverflowItem* tnMarkMenu::addBitmapOverflowItem(const tnString::IString& bitmapName, int id, void* data)
{
    tnMarkImage* bitmap = loadOverflowBitmap(bitmapName);
    if (!bitmap)
        return nullptr;
    const tnMarkPosition anchor(tnMarkPosition::Overflow, m_radius + overflowGap + _overflowItemsHeight());
    auto* item = new tnMarkLayeredBitmapOverflow(bitmap, anchor, id, data);
    delete m_overflowBitmapItem;
    m_overflowBitmapItem = item;
    return item;
}

tnMarkBitmapOverflowItem* tnMarkMenu::addBitmapOverflowLayer(const tnString::IString& bitmapName)
{
    if (!m_overflowBitmapItem)
        return nullptr;
    tnMarkImage* bitmap = loadOverflowBitmap(bitmapName);
    if (!bitmap)
        return nullptr;
    return m_overflowBitmapItem->addLayer(bitmap);
}

tnMarkOptionBoxItem* tnMarkMenu::addOptionBox(int id, const tnString::IString& tooltip, void* data)
{
    tnMarkMenuItem* owner = m_items.empty() ? nullptr : m_items.back()->asMenuItem();
    if (!owner)
        return nullptr;
    if (m_highlightedItem && m_highlightedItem == owner->getOptionBox())
        m_highlightedItem = nullptr;
    auto box = std::make_unique<tnMarkOptionBoxItem>(tooltip, id, data);
    owner->setOptionBox(box.get());
    return box.release();
}

void tnMarkMenu::addSeparator()
{
    tnMarkMenuItem* last = m_items.empty() ? nullptr : m_items.back()->asMenuItem();
    if (last && last->isInOverflow())
        last->setSeparatorAfter(true);
}

tnMarkItem* tnMarkMenu::itemAt(int index)
{
    if (index < 0 || index >= getNumItems())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)];
}

tnMarkItem* tnMarkMenu::itemAtPosition(int markPosition)
{
    for (tnMarkItem* item : m_items) {
        if (item->getPosition().getMarkPosition() == markPosition)
            return item;
    }
    return nullptr;
}

tnMarkBitmapOverflowItem* tnMarkMenu::getOverflowBitmapItem()
{
    return m_overflowBitmapItem;
}

void tnMarkMenu::setCenterImages(const tnString::IString& normalImage, const tnString::IString& highlightedImage)
{
    delete s_centerImage;
    delete s_highlightedCenterImage;
    s_centerImage = nullptr;
    s_highlightedCenterImage = nullptr;
    if (!normalImage.isEmpty())
        s_centerImage = tnMarkCreateImage(normalImage);
    if (!highlightedImage.isEmpty())
        s_highlightedCenterImage = tnMarkCreateImage(highlightedImage);
}

void tnMarkMenu::setAlwaysShowCenter(bool alwaysShowCenter)
{
    m_alwaysShowCenter = alwaysShowCenter;
}

void tnMarkMenu::setRadius(float radius)
{
    m_radius = radius;
}

void tnMarkMenu::setCenterRadius(float centerRadius)
{
    m_centerRadius = centerRadius;
}

void tnMarkMenu::setMaxRadius(float maxRadius)
{
    m_maxRadius = maxRadius;
}

void tnMarkMenu::setMaxAngle(float degrees)
{
    m_maxAngle = degrees * std::numbers::pi_v<float> / 180.0f;
}

void tnMarkMenu::setMarkerStyle(int markerStyle)
{
    m_markerStyle = markerStyle;
}

void tnMarkMenu::setCompact(bool compact)
{
    m_compact = compact;
}

void tnMarkMenu::setShowAllSubmenus(bool showAllSubmenus)
{
    m_showAllSubmenus = showAllSubmenus;
}

bool tnMarkMenu::getAlwaysShowCenter()
{
    return m_alwaysShowCenter;
}

bool tnMarkMenu::getShowAllSubmenus()
{
    return m_showAllSubmenus;
}

void tnMarkMenu::setPopupMode(int popupMode)
{
    m_popupMode = popupMode;
}

int tnMarkMenu::popup(float x, float y, bool flag)
{
    int id = -1;
    void* data = nullptr;
    popup(x, y, &id, &data, flag);
    return id;
}

void tnMarkMenu::draw(tnMarkRender& render, bool refreshItems)
{
    if (m_parentMenu) {
        render.translate(m_parentOffsetX, m_parentOffsetY);
        m_parentMenu->draw(render, true);
        render.translate(-m_parentOffsetX, -m_parentOffsetY);
        if (!m_isLinear)
            render.drawPointerLine(0.0f, 0.0f, m_parentOffsetX, m_parentOffsetY);
    }
    if (!m_itemsVisible) {
        drawCenter(render);
        return;
    }
    if (refreshItems) {
        for (tnMarkItem* item : m_items) {
            if (tnMarkMenuItem* menuItem = item->asMenuItem())
                menuItem->refresh(render);
        }
    }
    drawCenter(render);
    if (m_firstOverflowIndex >= 0) {
        const float width = getOverflowWidth();
        const tnMarkPosition& first = m_items[static_cast<std::size_t>(m_firstOverflowIndex)]->getPosition();
        render.drawListBackground({first.getX(), first.getY()}, {width, getOverflowHeight()});
    }
    for (tnMarkItem* item : m_items)
        item->draw(render);
    if (m_overflowBitmapItem && m_drawOverflowBitmap)
        m_overflowBitmapItem->draw(render);
}

bool tnMarkMenu::isOverParentCenter(float dx, float dy)
{
    if (!m_parentMenu)
        return false;
    return std::hypot(dx - m_parentOffsetX, dy - m_parentOffsetY) <= m_parentMenu->getCenterRadius();
}

bool tnMarkMenu::hover(float dx, float dy, bool force)
{
    m_highlightChanged = false;

    bool inList = false;
    if (m_firstOverflowIndex >= 0) {
        const bool inArea = _inOverflowArea(dx, dy);
        if (inArea)
            m_inOverflowList = true;
        else if (dy > m_items[static_cast<std::size_t>(m_firstOverflowIndex)]->getPosition().getY())
            m_inOverflowList = false;
        inList = m_inOverflowList;
    }
    const bool pointing = !m_showAllSubmenus || m_itemsVisible;
    const bool listMode = (inList && pointing) || force;
    if (!m_itemsVisible && listMode)
        return false;

    tnMarkItem* candidate = pointing ? itemAtPoint(dx, dy) : nullptr;

    tnMarkBitmapOverflowItem* bitmap = m_overflowBitmapItem;
    if (bitmap && m_itemsVisible && bitmap->getState() != tnMarkItem::Disabled) {
        if (m_drawOverflowBitmap && bitmap->contains(dx, dy))
            bitmap->hover(dx, dy);
        else if (bitmap->getState() == tnMarkItem::Highlighted)
            bitmap->setState(tnMarkItem::Normal);
    }

    if (!candidate && !listMode && !(bitmap && bitmap->getState() == tnMarkItem::Highlighted)) {
        const int index = nearestItemByAngle(dx, dy);
        // hypot: squaring a huge offset would overflow to infinity and put
        // a far but finite pointer beyond any maximum radius.
        const float distance = std::hypot(dx, dy);
        if (index > -1 && m_centerRadius < distance && distance < m_maxRadius)
            candidate = m_items[static_cast<std::size_t>(index)];
        if (distance > m_maxRadius && !m_beyondMaxRadius)
            setBeyondMaxRadius(true);
        else if (distance <= m_maxRadius && m_beyondMaxRadius)
            setBeyondMaxRadius(false);
    }

    _moveHighlight(candidate);
    if (!m_highlightChanged && bitmap && bitmap->isDirty())
        m_highlightChanged = true;
    return m_highlightChanged;
}

bool tnMarkMenu::_moveHighlight(tnMarkItem* candidate)
{
    tnMarkItem* old = m_highlightedItem;
    m_highlightChanged = candidate != old;
    if (m_highlightChanged && old) {
        itemHovered(old);
        if (old->getState() == tnMarkItem::Highlighted)
            old->setState(tnMarkItem::Normal);
    }
    m_highlightedItem = candidate;
    if (candidate) {
        itemHovered(candidate);
        if (candidate->getState() == tnMarkItem::Normal)
            candidate->setState(tnMarkItem::Highlighted);
    }
    return m_highlightChanged;
}

void tnMarkMenu::forgetPointer()
{
    _moveHighlight(nullptr);
    m_inOverflowList = false;
    m_centerHighlighted = false;
    setBeyondMaxRadius(false);
}

void tnMarkMenu::drawCenter(tnMarkRender& render)
{
    if (s_gesturePhase || (m_itemsVisible && !m_alwaysShowCenter))
        return;
    if (m_centerHighlighted && s_highlightedCenterImage)
        render.drawImage(s_highlightedCenterImage, 0.0f, 0.0f);
    else if (s_centerImage)
        render.drawImage(s_centerImage, 0.0f, 0.0f);
    else
        render.drawDefaultCenter();
}

void tnMarkMenu::setBeyondMaxRadius(bool beyondMaxRadius)
{
    m_beyondMaxRadius = beyondMaxRadius;
}

void tnMarkMenu::itemHovered(tnMarkItem* /*item*/)
{}

void tnMarkMenu::setParentMenu(tnMarkMenu* parentMenu)
{
    for (const tnMarkMenu* menu = parentMenu; menu; menu = menu->m_parentMenu) {
        if (menu == this)
            throw tnUI::CycleError();
    }
    m_parentMenu = parentMenu;
}

bool tnMarkMenu::isPositionFree(int markPosition) const
{
    if (markPosition < 0 || markPosition >= tnMarkPosition::NumDirections)
        return false;
    return std::none_of(m_items.begin(), m_items.end(), [markPosition](const tnMarkItem* item) {
        return item->getPosition().getMarkPosition() == markPosition;
    });
}

int tnMarkMenu::takeNextAutoPosition()
{
    const int position = m_nextAutoPosition;
    m_nextAutoPosition = position == 0 ? tnMarkPosition::NumDirections - 1 : position - 1;
    return position;
}

tnMarkItem* tnMarkMenu::insertItem(tnMarkItem* item)
{
    if (!item)
        return nullptr;
    if (std::find(m_items.begin(), m_items.end(), item) != m_items.end())
        throw tnUI::DuplicateError();
    if (const auto* box = dynamic_cast<const tnMarkOptionBoxItem*>(item); box && box->getOwner())
        throw tnUI::ImplError();

    m_items.push_back(item);
    item->setAxisOnlyOffset(m_axisOnly);
    if (m_axisOnly && item->getPosition().isOffAxis()) {
        for (tnMarkItem* each : m_items)
            each->setAxisOnlyOffset(false);
        m_axisOnly = false;
    }
    return item;
}

tnMarkItem* tnMarkMenu::getSelectedItem() const
{
    if (m_overflowBitmapItem && m_overflowBitmapItem->getState() == tnMarkItem::Highlighted)
        return m_overflowBitmapItem;
    if (m_highlightedItem && m_highlightedItem->getState() == tnMarkItem::Highlighted)
        return m_highlightedItem;
    return nullptr;
}

tnMarkItem* tnMarkMenu::itemAtPoint(float dx, float dy) const
{
    for (tnMarkItem* item : m_items) {
        if (!item->contains(dx, dy))
            continue;
        const tnMarkMenuItem* menuItem = item->asMenuItem();
        if (m_itemsVisible && menuItem && menuItem->getOptionBox() && menuItem->getOptionBox()->contains(dx, dy))
            return menuItem->getOptionBox();
        return item;
    }
    return nullptr;
}

int tnMarkMenu::nearestItemByAngle(float dx, float dy) const
{
    constexpr float pi = std::numbers::pi_v<float>;
    const float pointerAngle = std::atan2(dy, dx);
    int best = -1;
    float bestDiff = m_maxAngle;
    for (int i = 0; i < getNumItems() && i != m_firstOverflowIndex; ++i) {
        const tnMarkItem* item = m_items[static_cast<std::size_t>(i)];
        // While the menu is not shown the user aims at where the items would
        // be; once shown, at the items as drawn.
        tnMarkPosition target = item->getPosition();
        if (!s_gesturePhase)
            item->getReferencePoint(target);
        float diff = std::fabs(target.getAngle() - pointerAngle);
        if (diff >= pi)
            diff = 2.0f * pi - diff;
        if (diff < bestDiff) {
            best = i;
            bestDiff = diff;
        }
    }
    return best;
}

void tnMarkMenu::getExtents(float& right, float& bottom, float& left, float& top)
{
    getOverflowWidth();
    right = bottom = left = top = 0.0f;
    for (const tnMarkItem* item : m_items) {
        float itemLeft = 0.0f;
        float itemBottom = 0.0f;
        float itemRight = 0.0f;
        float itemTop = 0.0f;
        item->getBox(itemLeft, itemBottom, itemRight, itemTop);
        right = std::max(right, itemRight);
        bottom = std::min(bottom, itemBottom);
        left = std::min(left, itemLeft);
        top = std::max(top, itemTop);
    }
}

float tnMarkMenu::getOverflowWidth()
{
    if (m_firstOverflowIndex < 0)
        return 0.0f;
    if (m_overflowWidth < 0.0f) {
        float width = 0.0f;
        for (std::size_t i = static_cast<std::size_t>(m_firstOverflowIndex); i < m_items.size(); ++i) {
            const tnMarkMenuItem* item = m_items[i]->asMenuItem();
            if (item && item->isInOverflow())
                width = std::max(width, item->getWidth());
        }
        // Left-align the column, centred under the menu.
        for (std::size_t i = static_cast<std::size_t>(m_firstOverflowIndex); i < m_items.size(); ++i) {
            tnMarkMenuItem* item = m_items[i]->asMenuItem();
            if (!item || !item->isInOverflow())
                continue;
            tnMarkPosition anchor = item->getPosition();
            anchor.setPoint(anchor.getX() - width / 2.0f, anchor.getY());
            item->setPosition(anchor);
            item->setMarkWidth(width);
        }
        m_overflowWidth = width;
    }
    return m_overflowWidth;
}

float tnMarkMenu::getOverflowHeight()
{
    if (m_firstOverflowIndex < 0)
        return 0.0f;
    if (m_overflowHeight < 0.0f)
        m_overflowHeight = _overflowItemsHeight();
    return m_overflowHeight;
}

void tnMarkMenu::layOutItems()
{
    // Radial items move along their own direction; each starts from where it
    // was added, taking back the growth of the last layout.
    struct Radial {
        tnMarkItem* item;
        float x, y, dx, dy;
    };
    std::vector<Radial> radial;
    const float oldGrowth = m_radialGrowth;
    for (tnMarkItem* item : m_items) {
        const tnMarkPosition& anchor = item->getPosition();
        const int markPosition = anchor.getMarkPosition();
        if (markPosition < 0 || markPosition >= tnMarkPosition::NumDirections)
            continue;
        const float angle = tnMarkPosition::markPositionToAngle(markPosition);
        const float dx = std::cos(angle);
        const float dy = std::sin(angle);
        radial.push_back({item, anchor.getX() - oldGrowth * dx, anchor.getY() - oldGrowth * dy, dx, dy});
    }

    // The overflow list is measured anew: its items lose the shared width,
    // and its top moves down with the radial items.
    std::vector<tnMarkMenuItem*> list;
    for (std::size_t i = m_firstOverflowIndex < 0 ? m_items.size() : std::size_t(m_firstOverflowIndex);
         i < m_items.size(); ++i) {
        tnMarkMenuItem* item = m_items[i]->asMenuItem();
        if (item && item->isInOverflow())
            list.push_back(item);
    }
    const float oldWidth = m_overflowWidth;
    float width = 0.0f;
    for (tnMarkMenuItem* item : list) {
        item->setMarkWidth(0.0f);
        width = std::max(width, item->getWidth());
    }
    const float listTop = list.empty() ? 0.0f : list.front()->getPosition().getY() + oldGrowth;
    const float listHeight = _overflowItemsHeight();

    // The least whole growth at which the boxes keep apart.
    const auto place = [&radial](float growth) {
        for (const Radial& r : radial) {
            tnMarkPosition anchor = r.item->getPosition();
            anchor.setPoint(r.x + growth * r.dx, r.y + growth * r.dy);
            r.item->setPosition(anchor);
        }
    };
    const tnLinear::Range2d centre({-centreClearance, -centreClearance}, {centreClearance, centreClearance});
    float growth = 0.0f;
    for (int step = 0; step <= maxGrowth; ++step) {
        growth = static_cast<float>(step);
        place(growth);
        bool clear = true;
        for (std::size_t i = 0; clear && i < radial.size(); ++i) {
            const tnLinear::Range2d box = radial[i].item->getBox();
            clear = apart(box, centre, 0.0);
            if (clear && !list.empty())
                clear = apart(
                    box,
                    tnLinear::Range2d({-width / 2.0f, listTop - growth - listHeight}, {width / 2.0f, listTop - growth}),
                    itemClearance);
            for (std::size_t j = i + 1; clear && j < radial.size(); ++j)
                clear = apart(box, radial[j].item->getBox(), itemClearance);
        }
        if (clear)
            break;
    }
    m_radialGrowth = growth;

    // The list stacks as addOverflowItem stacked it, from its new top; its
    // column stays centred under the menu.
    const float oldHeight = m_overflowHeight >= 0.0f ? m_overflowHeight : listHeight;
    float stacked = 0.0f;
    for (tnMarkMenuItem* item : list) {
        float x = item->getPosition().getX();
        if (oldWidth >= 0.0f && oldWidth != width)
            x += oldWidth / 2.0f - width / 2.0f;
        tnMarkPosition anchor = item->getPosition();
        anchor.setPoint(x, listTop - growth - stacked);
        item->setPosition(anchor);
        if (oldWidth >= 0.0f)
            item->setMarkWidth(width);
        stacked += item->getHeight() + listGap;
        if (item->hasSeparatorAfter())
            stacked += listGap;
    }
    if (oldWidth >= 0.0f)
        m_overflowWidth = width;
    // The bitmap item hangs below the list's bottom, wherever that went.
    const float shift = (oldGrowth - growth) + (oldHeight - listHeight);
    if (m_overflowBitmapItem && shift != 0.0f) {
        tnMarkPosition anchor = m_overflowBitmapItem->getPosition();
        anchor.setPoint(anchor.getX(), anchor.getY() + shift);
        m_overflowBitmapItem->setPosition(anchor);
    }
    if (m_overflowHeight >= 0.0f)
        m_overflowHeight = listHeight;
}

float tnMarkMenu::_overflowItemsHeight() const
{
    if (m_firstOverflowIndex < 0)
        return 0.0f;
    float height = 0.0f;
    for (std::size_t i = static_cast<std::size_t>(m_firstOverflowIndex); i < m_items.size(); ++i) {
        const tnMarkMenuItem* item = m_items[i]->asMenuItem();
        if (!item || !item->isInOverflow())
            continue;
        height += item->getHeight() + listGap;
        if (item->hasSeparatorAfter())
            height += listGap;
    }
    return height;
}

bool tnMarkMenu::_inOverflowArea(float dx, float dy)
{
    if (m_firstOverflowIndex < 0)
        return false;
    const float width = getOverflowWidth();
    const float height = getOverflowHeight();
    const tnMarkPosition& first = m_items[static_cast<std::size_t>(m_firstOverflowIndex)]->getPosition();
    return first.getX() <= dx && dx <= first.getX() + width && first.getY() - height <= dy && dy <= first.getY();
}

tnMarkImageItem* tnMarkMenu::createImageItem(const tnString::IString& normalImage,
                                             const tnString::IString& highlightedImage,
                                             const tnString::IString& disabledImage, const tnString::IString& tooltip,
                                             int id, const tnMarkPosition& anchor, void* data)
{
    auto item =
        std::make_unique<tnMarkImageItem>(normalImage, highlightedImage, disabledImage, tooltip, id, anchor, data);
    item->loadImages();
    return item.release();
}

tnMarkImage* tnMarkMenu::loadOverflowBitmap(const tnString::IString& /*bitmapName*/)
{
    return nullptr;
}

void tnMarkMenu::setGesturePhase(bool gesturePhase)
{
    s_gesturePhase = gesturePhase;
}

bool tnMarkMenu::isGesturePhase()
{
    return s_gesturePhase;
}

tnMarkImage* tnMarkMenu::getCenterImage()
{
    return s_centerImage;
}

tnMarkImage* tnMarkMenu::getHighlightedCenterImage()
{
    return s_highlightedCenterImage;
}
