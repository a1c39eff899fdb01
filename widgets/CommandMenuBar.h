#pragma once

#include <tnUI/foundation/Export.h>

#include "CommandAction.h"

#include <tnUI/application/Window.h>
#include <tnUI/entity/WatchedPointer.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QList>
#include <QObject>
#include <QPointer>

class QMenuBar;

namespace tnUI {

class CommandGroup;
class CommandMenu;

/// Keeps a Qt menu bar in step with a bar group: a CommandMenu for every
/// command group among the group's elements (other elements are passed
/// over), in the group's order. A group added to the bar group adds its menu,
/// one removed removes it, and the menus keep the group's order, together
/// where the first of them was put; the bar's other actions are the host's
/// and are left alone. Each menu compiles its own group when it opens (see
/// CommandMenu).
///
/// The binding is a child of the bar and goes with it, menus included.
class TNUI_EXPORT CommandMenuBar : public QObject {
    Q_OBJECT
public:
    /// See CommandAction::Chosen.
    using Chosen = CommandAction::Chosen;

    /// NullError for a null bar or group.
    CommandMenuBar(QMenuBar* bar, tnUI::CommandGroup* group, Chosen chosen);
    ~CommandMenuBar() override;

    /// The menu bar kept in step.
    QMenuBar* menuBar() const;
    /// Null once detached.
    tnUI::CommandGroup* group() const { return m_group.get(); }
    /// The menus, in the bar's order.
    QList<CommandMenu*> menus() const;
    /// Makes the keybindings of every menu, present and future, real
    /// shortcuts through window's command controller (see
    /// CommandMenu::setShortcutWindow); null turns them back into text.
    void setShortcutWindow(tnUI::Window* window);
    /// Stops following the bar group, takes the menus out of the bar and lets
    /// go of the model: for a bar whose host is going. The host's own actions
    /// stay.
    void detach();

private:
    /// Brings the menus to the bar group's command groups, in its order.
    void sync();

    tn::Reference<tnUI::CommandGroup> m_group;
    Chosen m_chosen;
    WatchedPointer<tnUI::Window> m_shortcutWindow;
    QList<QPointer<CommandMenu>> m_menus;
    /// Declared last: cut first, before the members the callbacks use.
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
