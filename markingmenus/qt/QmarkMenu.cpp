#include "QmarkMenu.h"

#include "QmarkMenuView.h"
#include "QmarkTextItem.h"
#include "QtMarkImageItem.h"

#include "../../entity/Error.h"

QmarkMenu::QmarkMenu() = default;

QmarkMenu::~QmarkMenu() = default;

void QmarkMenu::popup(float x, float y, int* id, void** data, bool flag)
{
    // The view's signals reach this menu's while it runs.
    QmarkMenuView* view = QmarkMenuView::getView();
    disconnect(view, nullptr, this, nullptr);
    connect(view, &QmarkMenuView::aboutToShowSubmenu, this, &QmarkMenu::aboutToShowSubmenu);
    connect(view, &QmarkMenuView::hovered, this, &QmarkMenu::hovered);
    // The application's font and palette are read at every popup: the view
    // is made anew with the palette, the labels take the font here.
    readApplicationFont(*this);
    QmarkMenuView::runPopup(this, x, y, id, data, flag, true);
}

tnMarkTextItem* QmarkMenu::createTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                          const tnMarkPosition& anchor, void* data, const tnMarkFont& font)
{
    return new QmarkTextItem(label, tooltip, id, anchor, data, font);
}

tnMarkImageItem* QmarkMenu::createImageItem(const tnString::IString& normalImage,
                                            const tnString::IString& highlightedImage,
                                            const tnString::IString& disabledImage, const tnString::IString& tooltip,
                                            int id, const tnMarkPosition& anchor, void* data)
{
    return new QtMarkImageItem(normalImage, highlightedImage, disabledImage, tooltip, id, anchor, data);
}

tnMarkMenu* createMarkMenu()
{
    return new QmarkMenu();
}

void setMarkItemIcon(tnMarkMenuItem* item, const QIcon& icon)
{
    if (!item)
        throw tnUI::NullError();
    auto* textItem = dynamic_cast<QmarkTextItem*>(item);
    if (!textItem)
        throw tnUI::ImplError();
    textItem->setIcon(icon);
}

QIcon markItemIcon(const tnMarkMenuItem* item)
{
    const auto* textItem = dynamic_cast<const QmarkTextItem*>(item);
    return textItem ? textItem->icon() : QIcon();
}
