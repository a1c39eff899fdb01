#pragma once

#include "../../foundation/Export.h"

#include "../MarkMenu.h"

#include <QObject>

class QIcon;
class tnMarkItem;
class tnMarkMenuItem;

/// The radial marking menu run on screen with Qt: popup shows it in the
/// marking-menu view and blocks until the user has chosen or cancelled.
class TNUI_EXPORT QmarkMenu : public QObject, public tnMarkMenu {
    Q_OBJECT
public:
    QmarkMenu();
    ~QmarkMenu() override;

    /// Pops the menu at screen point (x, y) and runs it, passing on to
    /// submenus and back to parents in the same view. Writes the chosen item's
    /// id and data, or -1 and null when nothing was chosen.
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
    tnMarkImageItem* createImageItem(const tnString::IString& normalImage, const tnString::IString& highlightedImage,
                                     const tnString::IString& disabledImage, const tnString::IString& tooltip, int id,
                                     const tnMarkPosition& anchor, void* data) override;
};

/// A new radial menu run with Qt.
TNUI_EXPORT tnMarkMenu* createMarkMenu();

/// Shows icon before the label of item, in the check column, as Qt's menus
/// show an action's icon; a null icon shows none. item must be a text item of
/// a Qt menu (QmarkMenu or QmarkLinearMenu): a null item raises
/// tnUI::NullError, any other kind tnUI::ImplError.
TNUI_EXPORT void setMarkItemIcon(tnMarkMenuItem* item, const QIcon& icon);
/// The icon item shows; a null icon for none, or for an item that is not a
/// text item of a Qt menu.
TNUI_EXPORT QIcon markItemIcon(const tnMarkMenuItem* item);
