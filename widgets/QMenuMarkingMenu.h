#pragma once

#include <tnUI/foundation/Export.h>

#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <memory>

class QAction;
class QPoint;
class tnMarkItem;
class tnMarkMenu;

namespace tnUI {

/// A Qt menu popped as a marking menu: a plain Qt application shows the
/// QMenus it already has as marking menus, and the chosen QAction is
/// triggered as the QMenu would trigger it (QAction::trigger: a checkable
/// action toggles, an exclusive action group keeps one checked, the QMenu and
/// its parents emit triggered).
///
/// Every visible action becomes an item, in the menu's order, with its text
/// (the mnemonic marked with '&' shown as the style shows it in menus; the
/// part after a tab, a shortcut's text, left out), its icon, its tooltip when
/// it says more than the text, its enabled state and its check mark (a radio
/// mark in an exclusive action group). A submenu becomes an item that opens
/// the submenu's own marking menu. Actions take the free compass points in
/// their order, clockwise from North (North, East, South, West first when
/// there are at most four), unless the host gives one a position
/// (setPosition); those left over hang in the overflow list below the centre,
/// where separators show. Separators elsewhere and widget actions have no
/// place in a marking menu.
///
/// The marking menu is mapped again from the QMenu at every popup, right
/// after the menu and its submenus have emitted aboutToShow (in which hosts
/// fill or update their menus), so everything that changed since shows.
/// While the marking menu is open, an action's change of enabled or checked
/// state shows at once, and an action taken out of its menu can no longer be
/// chosen.
class TNUI_EXPORT QMenuMarkingMenu : public QObject {
    Q_OBJECT
public:
    /// Where the host puts an action: a compass point, numbered as the
    /// compass positions of PopUpMenu (North 1, then clockwise to Northwest
    /// 8); Automatic, the next free compass point in action order, else the
    /// overflow list; or the overflow list.
    enum Position {
        Overflow = -1,
        Automatic = 0,
        North,
        Northeast,
        East,
        Southeast,
        South,
        Southwest,
        West,
        Northwest
    };

    /// The dynamic property of a QAction that holds its position: a number
    /// (Position) or a compass name ("N", "Northeast", ...) or "Overflow", so
    /// that a .ui file can set it too. Anything else counts as Automatic.
    static constexpr const char* PositionProperty = "markingMenuPosition";

    /// Follows menu, which stays the host's. A null menu raises NullError.
    explicit QMenuMarkingMenu(QMenu* menu, QObject* parent = nullptr);
    ~QMenuMarkingMenu() override;

    /// Null once the QMenu is gone.
    QMenu* menu() const { return m_menu; }

    /// Pops the marking menu at the global point and runs it until the user
    /// is done, as QMenu::exec does: the menus emit aboutToShow first and
    /// aboutToHide after, then the chosen action, if it is still enabled,
    /// visible and in its menu, is triggered and returned. Null when nothing
    /// was chosen, the QMenu is gone or shows nothing, or a marking menu is
    /// already running. This object, the QMenu and the actions may be
    /// deleted meanwhile; once this object is gone, nothing is triggered.
    QAction* exec(const QPoint& global);
    /// Whether exec is running.
    bool isOpen() const { return m_open; }

    /// The marking menu as the next popup shows it, mapped again from the
    /// QMenu now (without aboutToShow); while open, the one shown. Null once
    /// the QMenu is gone. It belongs to this object and lasts until the next
    /// mapping.
    tnMarkMenu* markMenu();
    /// The action an item of the current marking menu stands for (a
    /// submenu's menu action for a submenu item); null for none, or once the
    /// action is gone or taken out of its menu.
    QAction* actionOf(const tnMarkItem* item) const;

    /// Gives action a position (PositionProperty), read at every popup. A
    /// null action raises NullError, a value outside Position ImplError.
    static void setPosition(QAction* action, Position position);
    /// The position setPosition() gave action.
    static Position position(const QAction* action);

protected:
    /// Follows the enabled and checked state of the actions shown, and their
    /// removal, while the marking menu is open.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Build;

    /// Maps the QMenu into a new build, which replaces the current one, and
    /// listens to the menus it maps.
    void _map();

    QPointer<QMenu> m_menu;
    /// Shared with a running exec, which keeps the menu it shows alive
    /// whatever becomes of this object.
    std::shared_ptr<Build> m_build;
    bool m_open = false;
};

} // namespace tnUI
