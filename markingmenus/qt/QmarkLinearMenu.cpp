#include "QmarkLinearMenu.h"

#include "QmarkMenuView.h"
#include "QmarkTextItem.h"

QmarkLinearMenu::QmarkLinearMenu() = default;

QmarkLinearMenu::~QmarkLinearMenu() = default;

void QmarkLinearMenu::popup(float x, float y, int* id, void** data, bool flag)
{
    // The view's signals reach this menu's while it runs.
    QmarkMenuView* view = QmarkMenuView::getView();
    disconnect(view, nullptr, this, nullptr);
    connect(view, &QmarkMenuView::aboutToShowSubmenu, this, &QmarkLinearMenu::aboutToShowSubmenu);
    connect(view, &QmarkMenuView::hovered, this, &QmarkLinearMenu::hovered);
    // The application's font and palette are read at every popup: the view
    // is made anew with the palette, the labels take the font here.
    readApplicationFont(*this);
    QmarkMenuView::runPopup(this, x, y, id, data, flag, false);
}

tnMarkTextItem* QmarkLinearMenu::createTextItem(const tnString::IString& label, const tnString::IString& tooltip,
                                                int id, const tnMarkPosition& anchor, void* data,
                                                const tnMarkFont& font)
{
    return new QmarkTextItem(label, tooltip, id, anchor, data, font);
}

tnMarkLinearMenu* createLinearMarkMenu()
{
    return new QmarkLinearMenu();
}
