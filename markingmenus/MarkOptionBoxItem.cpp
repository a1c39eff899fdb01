#include "MarkOptionBoxItem.h"

#include "MarkRender.h"

tnMarkOptionBoxItem::tnMarkOptionBoxItem(const tnString::IString& tooltip, int id, void* data)
    : tnMarkMenuItem(tnString::IString(), tooltip, id, tnMarkPosition(), data)
{}

tnMarkOptionBoxItem::~tnMarkOptionBoxItem() = default;

void tnMarkOptionBoxItem::getReferencePoint(tnMarkPosition& out) const
{
    out = getPosition();
}

float tnMarkOptionBoxItem::getWidth() const
{
    return getHeight();
}

float tnMarkOptionBoxItem::getHeight() const
{
    return m_owner ? m_owner->getHeight() : 0.0f;
}

void tnMarkOptionBoxItem::drawItem(tnMarkRender& render)
{
    if (m_owner && !getPosition().isSet()) {
        tnMarkPosition ownerCenter;
        m_owner->getReferencePoint(ownerCenter);
        const float x = ownerCenter.getX() + m_owner->getWidth() / 2.0f - getWidth() / 2.0f;
        setPosition(tnMarkPosition(x, ownerCenter.getY()));
    }
    render.drawOptionBox(this, getPosition().getX(), getPosition().getY());
}

int tnMarkOptionBoxItem::getDrawingState() const
{
    switch (getState()) {
    case Disabled: return DrawDisabled;
    case Highlighted: return DrawHighlighted;
    default: return m_owner && m_owner->getState() == Highlighted ? DrawOwnerHighlighted : DrawNormal;
    }
}
