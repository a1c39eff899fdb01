#include "QmarkMenu.h"

#include "QmarkMenuView.h"
#include "QmarkTextItem.h"
#include "QtMarkImageItem.h"

#include <QPointer>

QmarkMenu::QmarkMenu() = default;

QmarkMenu::~QmarkMenu() = default;

void QmarkMenu::popup(float x, float y, int* id, void** data, bool flag)
{
    QmarkMenuView* view = QmarkMenuView::getView();
    disconnect(view, nullptr, this, nullptr);
    connect(view, &QmarkMenuView::aboutToShowSubmenu, this, &QmarkMenu::aboutToShowSubmenu);
    connect(view, &QmarkMenuView::hovered, this, &QmarkMenu::hovered);

    const QPointer<QmarkMenuView> alive(view);
    const QmarkMenuView::Result result = view->execMenu({this, x, y, flag}, getPopupMode());
    if (result.nextMenu) {
        result.nextMenu->setPopupMode(getPopupMode());
        result.nextMenu->popup(static_cast<float>(result.x), static_cast<float>(result.y), id, data, result.flag);
        return;
    }
    // A quick mark may have ended in a submenu that was never popped itself.
    tnMarkMenu* last = alive ? view->getCurrentMenu() : this;
    QmarkMenuView::destroyView();
    const tnMarkItem* chosen = last->getSelectedItem();
    if (id)
        *id = chosen ? chosen->getId() : -1;
    if (data)
        *data = chosen ? chosen->getData() : nullptr;
}

void QmarkMenu::clearHighlight()
{
    _moveHighlight(nullptr);
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
