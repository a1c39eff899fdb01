#pragma once

#include "../MarkTextItem.h"

// A text item measured with Qt's font metrics.
class QmarkTextItem : public tnMarkTextItem {
public:
    using tnMarkTextItem::tnMarkTextItem;

    // The mark width when one is set (list items share the list's width);
    // otherwise text width + 2 x height + 8, at least 60.
    float getWidth() const override;
    // Text height + 2.
    float getHeight() const override;
};
