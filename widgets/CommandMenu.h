#pragma once

#include <tnUI/foundation/Export.h>

#include "CommandAction.h"

#include <QMenu>

#include <memory>

class QMenuBar;

namespace tnUI {

class CommandGroup;
class CommandTree;
class Window;

/// A Qt menu over a command group, compiled on demand: the group is compiled
/// when the menu is about to show for the first time, and again whenever its
/// content changed since (an element added or removed anywhere in its tree,
/// a "Content" or "Structure" message) or the host called invalidate(). A
/// change while the menu is open compiles it again right after the message.
/// The compiled tree becomes the menu's entries, before any action the host
/// added itself: a command action per command, a submenu per sub-group (its
/// title the group's label, hidden while none of its entries shows, disabled
/// while none can be chosen), a separator where the tree has one. Grouped
/// commands that share a grouped name are radio items of one exclusive
/// group. Choosing an entry hands its command to chosen.
///
/// Between compiles the menu holds the compiled tree, and with it the
/// elements shown; its actions follow their commands live, each message
/// updating the one action it is about. As a context menu, pop it up with
/// QMenu::popup or exec, or popUp below.
class TNUI_EXPORT CommandMenu : public QMenu {
    Q_OBJECT
public:
    /// See CommandAction::Chosen.
    using Chosen = CommandAction::Chosen;

    /// NullError for a null group.
    CommandMenu(tnUI::CommandGroup* group, Chosen chosen, QWidget* parent = nullptr);
    ~CommandMenu() override;

    /// A menu in bar for every command group among bar group's elements, in
    /// their order, kept in step with it by a CommandMenuBar made for bar.
    /// Returns the menus. NullError for a null bar or group.
    static QList<CommandMenu*> fillMenuBar(QMenuBar* bar, tnUI::CommandGroup* barGroup, const Chosen& chosen);
    /// A context menu over group popped up at pos (global coordinates),
    /// deleted once it has closed.
    static CommandMenu* popUp(tnUI::CommandGroup* group, const QPoint& pos, Chosen chosen, QWidget* parent = nullptr);

    /// Null once detached.
    tnUI::CommandGroup* group() const;
    /// Compiles the group again if it changed since the last compile; the
    /// menu does this itself before it shows.
    void compileIfChanged();
    /// Compiles again at the next opening (right away while open): for what
    /// sends no message, a layout preference or a command item's setCommand.
    void invalidate();
    /// How many times the group was compiled.
    int compileCount() const;
    /// The action of the command named name, in this menu or its submenus;
    /// null when the menu shows none.
    CommandAction* actionFor(const char* name) const;
    /// Keybindings become real shortcuts of the window that shows this menu
    /// (in a menu bar): a key press goes first to window's command controller,
    /// as a key on the window would, so that the current tool sees it (in the
    /// middle of a drag too); then the command is chosen, if enabled, as from
    /// the menu, or, without chosen, selected in window. The menu is compiled
    /// from then on as soon as it changes. Null turns the shortcuts back into
    /// text. NullError for a window without a document window. Give real
    /// shortcuts to one binding per window: a key twice is ambiguous to Qt.
    void setShortcutWindow(tnUI::Window* window);
    /// Stops following the model and choosing, takes the compiled entries
    /// out and lets go of the group and everything compiled from it: for a
    /// menu whose host is going. The host's own actions stay.
    void detach();

private:
    void contentChanged();

    std::unique_ptr<CommandTree> m_tree;
};

} // namespace tnUI
