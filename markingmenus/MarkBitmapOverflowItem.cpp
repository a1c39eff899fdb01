#include "MarkBitmapOverflowItem.h"

#include "MarkRender.h"

#include "../entity/Error.h"

#include <memory>

namespace {

tnMarkImage* required(tnMarkImage* bitmap)
{
    if (!bitmap)
        throw tnUI::NullError();
    return bitmap;
}

} // namespace

tnMarkBitmapOverflowItem::tnMarkBitmapOverflowItem(tnMarkImage* bitmap, const tnMarkPosition& anchor, int id,
                                                   void* data)
    : tnMarkItem(tnString::IString(), anchor, id, data), m_bitmap(required(bitmap))
{}

tnMarkBitmapOverflowItem::~tnMarkBitmapOverflowItem()
{
    delete m_bitmap;
}

float tnMarkBitmapOverflowItem::getWidth() const
{
    return static_cast<float>(m_bitmap->getWidth());
}

float tnMarkBitmapOverflowItem::getHeight() const
{
    return static_cast<float>(m_bitmap->getHeight());
}

void tnMarkBitmapOverflowItem::drawItem(tnMarkRender& render)
{
    tnMarkPosition center;
    getReferencePoint(center);
    render.drawImage(m_bitmap, center.getX(), center.getY());
}

void tnMarkBitmapOverflowItem::hover(float dx, float dy)
{
    if (getState() == Disabled)
        return;
    setState(contains(dx, dy) ? Highlighted : Normal);
}

tnMarkLayeredBitmapOverflow::tnMarkLayeredBitmapOverflow(tnMarkImage* bitmap, const tnMarkPosition& anchor, int id,
                                                         void* data)
    : tnMarkBitmapOverflowItem(bitmap, anchor, id, data)
{}

tnMarkLayeredBitmapOverflow::~tnMarkLayeredBitmapOverflow()
{
    for (tnMarkBitmapOverflowItem* layer : m_layers)
        delete layer;
}

void tnMarkLayeredBitmapOverflow::setState(int state)
{
    tnMarkBitmapOverflowItem::setState(state);
    for (tnMarkBitmapOverflowItem* layer : m_layers)
        layer->setState(getState());
}

void tnMarkLayeredBitmapOverflow::drawItem(tnMarkRender& render)
{
    tnMarkBitmapOverflowItem::drawItem(render);
    for (tnMarkBitmapOverflowItem* layer : m_layers)
        layer->draw(render);
}

tnMarkBitmapOverflowItem* tnMarkLayeredBitmapOverflow::addLayer(tnMarkImage* bitmap)
{
    auto layer = std::make_unique<tnMarkBitmapOverflowItem>(bitmap, getPosition(), getId(), getData());
    layer->setCornerAnchored(true);
    layer->setState(getState());
    m_layers.push_back(layer.get());
    return layer.release();
}

tnMarkBitmapOverflowItem* tnMarkLayeredBitmapOverflow::getLayer(int index) const
{
    if (index < 0 || index >= getNumLayers())
        return nullptr;
    return m_layers[static_cast<std::size_t>(index)];
}
