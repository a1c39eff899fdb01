#include "MarkTextItem.h"

#include "MarkOptionBoxItem.h"
#include "MarkRender.h"

tnMarkTextItem::tnMarkTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                               const tnMarkPosition& anchor, void* data, const tnMarkFont& font)
    : tnMarkMenuItem(label, tooltip, id, anchor, data), m_text(tnMarkCreateStyledText(label, font))
{}

tnMarkTextItem::~tnMarkTextItem()
{
    delete m_text;
}

void tnMarkTextItem::setLabel(const tnString::IString& label)
{
    tnMarkMenuItem::setLabel(label);
    if (m_text)
        m_text->setText(label);
}

void tnMarkTextItem::getReferencePoint(tnMarkPosition& out) const
{
    // Within one unit of an axis an anchor counts as on it.
    const float x = getPosition().getX();
    const float y = getPosition().getY();
    float refX = x;
    if (x > 1.0f || isInOverflow())
        refX = x + getWidth() / 2.0f;
    else if (x < -1.0f)
        refX = x - getWidth() / 2.0f;
    float refY = y;
    if (y > 1.0f || isInOverflow())
        refY = y - getHeight() / 2.0f;
    else if (y < -1.0f)
        refY = y + getHeight() / 2.0f;
    out = getPosition();
    out.setPoint(refX, refY);
}

void tnMarkTextItem::drawItem(tnMarkRender& render)
{
    tnMarkPosition center;
    getReferencePoint(center);
    render.drawTextItem(this, center.getX(), center.getY());
    if (getOptionBox())
        getOptionBox()->draw(render);
}

void tnMarkTextItem::drawAt(float x, float y, tnMarkRender& render)
{
    render.drawTextItem(this, x, y);
}
