#pragma once

#include "../MarkTextItem.h"

#include <QIcon>

// A text item measured with Qt's font metrics. It may show an icon before
// its label, in the check column, as Qt's own menus show an action's icon.
class QmarkTextItem : public tnMarkTextItem {
public:
    using tnMarkTextItem::tnMarkTextItem;

    // The mark width when one is set (list items share the list's width);
    // otherwise text width + 2 x height + 8, at least 60.
    float getWidth() const override;
    // Text height + 2.
    float getHeight() const override;

    // A null icon shows none (the default).
    const QIcon& icon() const { return m_icon; }
    void setIcon(const QIcon& icon);

private:
    QIcon m_icon;
};

class tnMarkMenu;

// What a Qt menu does as it pops up: the labels and tooltips of its items
// that follow the application's font take it as it is now, and the menu lays
// its items out for their sizes (tnMarkMenu::layOutItems).
void readApplicationFont(tnMarkMenu& menu);
