#include "QmarkLinearMenu.h"

#include "QmarkMenuView.h"
#include "QmarkTextItem.h"

QmarkLinearMenu::QmarkLinearMenu() = default;

QmarkLinearMenu::~QmarkLinearMenu() = default;

void QmarkLinearMenu::popup(float x, float y, int* id, void** data, bool flag)
{
    QmarkMenuView* view = QmarkMenuView::getView();
    disconnect(view, nullptr, this, nullptr);
    connect(view, &QmarkMenuView::aboutToShowSubmenu, this, &QmarkLinearMenu::aboutToShowSubmenu);
    connect(view, &QmarkMenuView::hovered, this, &QmarkLinearMenu::hovered);

    const QmarkMenuView::Result result = view->execMenu({this, x, y, flag}, getPopupMode());
    if (result.nextMenu) {
        result.nextMenu->setPopupMode(getPopupMode());
        result.nextMenu->popup(static_cast<float>(result.x), static_cast<float>(result.y), id, data, result.flag);
        return;
    }
    QmarkMenuView::destroyView();
    const tnMarkItem* chosen = getSelectedItem();
    if (id)
        *id = chosen ? chosen->getId() : -1;
    if (data)
        *data = chosen ? chosen->getData() : nullptr;
}

void QmarkLinearMenu::clearHighlight()
{
    _moveHighlight(nullptr);
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
