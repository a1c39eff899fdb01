#pragma once

#include "../../foundation/Export.h"

#include "../MarkLinearMenu.h"

#include <QObject>

class tnMarkItem;
class tnMarkMenuItem;

/// The list form of the marking menu run on screen with Qt.
class TNUI_EXPORT QmarkLinearMenu : public QObject, public tnMarkLinearMenu {
    Q_OBJECT
public:
    QmarkLinearMenu();
    ~QmarkLinearMenu() override;

    /// Pops the list at screen point (x, y) and runs it, as QmarkMenu does.
    void popup(float x, float y, int* id, void** data, bool flag) override;
    using tnMarkMenu::popup;

signals:
    /// Emitted before a submenu opens from item.
    void aboutToShowSubmenu(tnMarkMenuItem* item);
    /// Emitted when the highlight moves to newItem (null: none).
    void hovered(tnMarkItem* newItem);

protected:
    tnMarkTextItem* createTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                   const tnMarkPosition& anchor, void* data, const tnMarkFont& font) override;
};

/// A new linear menu run with Qt.
TNUI_EXPORT tnMarkLinearMenu* createLinearMarkMenu();
