#include "MarkItem.h"

#include "MarkMenu.h"
#include "MarkOptionBoxItem.h"
#include "MarkRender.h"

#include "../entity/Error.h"

#include <cmath>

tnMarkItem::tnMarkItem(const tnString::IString& label, const tnMarkPosition& anchor, int id, void* data)
    : m_label(label), m_position(anchor), m_id(id), m_data(data)
{}

tnMarkItem::~tnMarkItem() = default;

void tnMarkItem::setLabel(const tnString::IString& label)
{
    m_label = label;
}

void tnMarkItem::setState(int state)
{
    if (state < Normal || state > Highlighted || state == m_state)
        return;
    m_state = state;
    m_dirty = true;
}

void tnMarkItem::getReferencePoint(tnMarkPosition& out) const
{
    const float k = m_axisOnlyOffset ? 0.2f : 0.5f;
    const float width = getWidth();
    out = m_position;
    if (m_cornerAnchored) {
        const float x = m_position.getX() >= 0.0f ? m_position.getX() + width * k : m_position.getX() - width * k;
        const float height = getHeight();
        const float y = m_position.getY() > 0.0f ? m_position.getY() + height * k : m_position.getY() - height * k;
        out.setPoint(x, y);
        return;
    }
    float angle = 0.0f;
    float distance = 0.0f;
    m_position.getPolar(angle, distance);
    distance += width * k;
    out.setPoint(std::cos(angle) * distance, std::sin(angle) * distance);
}

void tnMarkItem::draw(tnMarkRender& render)
{
    drawItem(render);
    m_dirty = false;
}

tnMarkMenuItem* tnMarkItem::asMenuItem()
{
    return nullptr;
}

const tnMarkMenuItem* tnMarkItem::asMenuItem() const
{
    return nullptr;
}

void tnMarkItem::setPolarPosition(float angle, float distance)
{
    m_position.setPoint(std::cos(angle) * distance, std::sin(angle) * distance);
}

void tnMarkItem::getBox(float& left, float& bottom, float& right, float& top) const
{
    tnMarkPosition center;
    getReferencePoint(center);
    const float halfWidth = getWidth() / 2.0f;
    const float halfHeight = getHeight() / 2.0f;
    left = center.getX() - halfWidth;
    right = center.getX() + halfWidth;
    bottom = center.getY() - halfHeight;
    top = center.getY() + halfHeight;
}

tnLinear::Range2d tnMarkItem::getBox() const
{
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    getBox(left, bottom, right, top);
    return {{left, bottom}, {right, top}};
}

bool tnMarkItem::contains(float dx, float dy) const
{
    if (m_state == Disabled)
        return false;
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    getBox(left, bottom, right, top);
    return left <= dx && dx <= right && bottom <= dy && dy <= top;
}

tnMarkMenuItem::tnMarkMenuItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                               const tnMarkPosition& anchor, void* data)
    : tnMarkItem(label, anchor, id, data), m_tooltip(tnMarkCreateTooltip(tooltip))
{}

tnMarkMenuItem::~tnMarkMenuItem()
{
    setSubmenu(nullptr);
    delete m_optionBox;
    delete m_tooltip;
}

void tnMarkMenuItem::setState(int state)
{
    if (m_optionBox && (getState() == Disabled || state == Disabled))
        m_optionBox->setState(state);
    tnMarkItem::setState(state);
}

void tnMarkMenuItem::setMarkWidth(float width)
{
    m_markWidth = width;
}

void tnMarkMenuItem::refresh(tnMarkRender& render)
{
    refreshHook(render);
}

void tnMarkMenuItem::drawAt(float /*x*/, float /*y*/, tnMarkRender& /*render*/)
{}

void tnMarkMenuItem::showToolTip(tnMarkRender& render)
{
    if (m_tooltip)
        m_tooltip->draw(render, getBox());
}

void tnMarkMenuItem::refreshHook(tnMarkRender& /*render*/)
{}

void tnMarkMenuItem::setToolTip(const tnString::IString& text)
{
    if (m_tooltip)
        m_tooltip->setText(text);
    else
        m_tooltip = tnMarkCreateTooltip(text);
}

void tnMarkMenuItem::setChecked(bool checked)
{
    m_checked = checked;
    m_checkable = true;
}

void tnMarkMenuItem::setRadioChecked(bool checked)
{
    m_checked = checked;
    m_radio = true;
}

void tnMarkMenuItem::setSubmenu(tnMarkMenu* submenu)
{
    if (submenu == m_submenu)
        return;
    if (m_submenu && m_submenu->getParentItem() == this)
        m_submenu->setParentItem(nullptr);
    m_submenu = submenu;
    if (!submenu)
        return;
    // A menu is the submenu of one item at a time.
    tnMarkMenuItem* previous = submenu->getParentItem();
    if (previous && previous != this)
        previous->m_submenu = nullptr;
    submenu->setParentItem(this);
}

void tnMarkMenuItem::setOptionBox(tnMarkOptionBoxItem* box)
{
    if (box == m_optionBox)
        return;
    if (box && (box == this || (box->getOwner() && box->getOwner() != this)))
        throw tnUI::ImplError();
    delete m_optionBox;
    m_optionBox = box;
    if (!box)
        return;
    box->m_owner = this;
    if (getState() == Disabled)
        box->setState(Disabled);
}
