#pragma once

#include "../foundation/Export.h"

#include "MarkItem.h"

#include <vector>

class tnMarkImage;

/// A picture hung below the overflow list, highlighted while the pointer is on
/// it and chosen like an item. Menus make one only from a bitmap their
/// platform supplies.
class TNUI_EXPORT tnMarkBitmapOverflowItem : public tnMarkItem {
public:
    /// Takes the bitmap; a null bitmap raises NullError.
    tnMarkBitmapOverflowItem(tnMarkImage* bitmap, const tnMarkPosition& anchor, int id, void* data);
    ~tnMarkBitmapOverflowItem() override;

    /// The bitmap's size.
    float getWidth() const override;
    /// The height.
    float getHeight() const override;
    /// The bitmap at the reference point.
    void drawItem(tnMarkRender& render) override;
    /// Follows the pointer offset (dx, dy): highlighted while it lies on the
    /// item, normal otherwise; a disabled item stays disabled.
    virtual void hover(float dx, float dy);

    /// The bitmap.
    tnMarkImage* getBitmap() const { return m_bitmap; }

private:
    tnMarkImage* m_bitmap;
};

/// A bitmap overflow item with further bitmaps laid over it, each placed from
/// the item's anchor with the corner rule and sharing the item's state.
class TNUI_EXPORT tnMarkLayeredBitmapOverflow : public tnMarkBitmapOverflowItem {
public:
    /// An overflow item showing bitmap at anchor; id and data are the host's.
    tnMarkLayeredBitmapOverflow(tnMarkImage* bitmap, const tnMarkPosition& anchor, int id, void* data);
    ~tnMarkLayeredBitmapOverflow() override;

    void setState(int state) override;
    /// The bitmap, then the layers in the order they were added.
    void drawItem(tnMarkRender& render) override;

    /// Takes the bitmap (null raises NullError) and returns the new layer,
    /// which the item owns.
    tnMarkBitmapOverflowItem* addLayer(tnMarkImage* bitmap);
    /// The number of layers.
    int getNumLayers() const { return static_cast<int>(m_layers.size()); }
    /// Null for an index out of range.
    tnMarkBitmapOverflowItem* getLayer(int index) const;

private:
    std::vector<tnMarkBitmapOverflowItem*> m_layers;
};
