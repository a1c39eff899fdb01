#pragma once

// The machinery shared by the menus, menu bars and tool bars of the Qt
// binding: not installed, not exported.

#include "CommandAction.h"
#include "EntityIcon.h"

#include <tnUI/application/Window.h>
#include <tnUI/entity/WatchedPointer.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace tnUI {

class CommandGroup;
class CompiledCommandGroup;
class Element;
class Group;
class Label;
class Message;

// Where the actions of one menu, bar or tool bar send a choice: the host's
// callback and, when keybindings are real shortcuts, the window whose
// command controller hears their keys. The actions share it; the tree
// clears it when it lets go of the model.
struct CommandChoice {
    CommandAction::Chosen chosen;
    WatchedPointer<Window> shortcutWindow;

    // Hands command to chosen or, without a callback, selects it in the
    // shortcut window; nothing without either. The caller holds the command
    // and the window.
    void choose(CommandInstance* command) const;
};

// One level of a compiled tree: below the root, the entry of the parent
// level that opens it. It counts its entries that show and those that can be
// chosen (shown and enabled), so that a submenu whose entries are all hidden
// is hidden and one with nothing to choose is disabled, at the cost of a
// counter per change instead of a walk of the submenu.
struct MenuLevel {
    MenuLevel* parent = nullptr;
    QAction* entry = nullptr;
    int shown = 0;
    int usable = 0;

    // An entry of this level started (+1) or stopped (-1) showing, or being
    // usable.
    void change(int shownDelta, int usableDelta);
};

// The compiled entries of a command group in a widget, a menu or a tool bar:
// the compile, the actions, submenus, separators and exclusive groups made
// from it, and the listening that keeps them in step with the group. The
// widget's other actions are the host's and are left alone; the compiled
// entries come before them.
class CommandTree {
public:
    // NullError for a null group. changed runs after every message that
    // changes what the group holds (content or structure, anywhere in its
    // tree); the tree is dirty from then on.
    CommandTree(QWidget* widget, CommandGroup* group, CommandAction::Chosen chosen, std::function<void()> changed);
    ~CommandTree();
    CommandTree(const CommandTree&) = delete;
    CommandTree& operator=(const CommandTree&) = delete;

    CommandGroup* group() const { return m_group.get(); }
    bool isDirty() const { return m_dirty && m_group; }
    void markDirty() { m_dirty = true; }
    int compileCount() const { return m_compiles; }

    // Compiles the group and puts its entries in the widget in place of the
    // previous compile's.
    void rebuild();
    // Rebuilds if dirty right after the current event, once for a burst of
    // changes: a change may come from within one of the tree's own entries.
    void rebuildSoon();
    // Brings the actions shown in level (the widget or one of its submenus)
    // to the commands their elements run now: a command item's setCommand
    // sends nothing.
    void followCommands(const QWidget* level);
    // The action of the command named name, or null.
    CommandAction* actionFor(const char* name) const;

    Window* shortcutWindow() const { return m_choice->shortcutWindow.get(); }
    void setShortcutWindow(Window* window);

    // Takes the compiled entries out and lets go of the model for good.
    void detach();

    // A group's title as a menu shows it: its label, "&" marking the
    // mnemonic, or its name as plain text.
    static QString titleOf(const Group* group);
    // Shows group's title on a menu (and its icon, for a submenu's entry) or
    // on another widget as its window title, which screen readers announce.
    static void showTitle(QWidget* widget, const Group* group, bool withIcon);
    // True when m is about group itself (its label, name or icon), not a
    // message of one of its elements passed on.
    static bool concernsItself(const Message& m, const Group* group);
    // True when m, or a message that caused it, changes what a group holds.
    static bool changesContent(const Message& m);

private:
    void clear();
    void fill(QWidget* target, MenuLevel* level, CompiledCommandGroup* compiled, QAction* before);
    QAction* addSubmenu(QWidget* target, MenuLevel* level, CompiledCommandGroup* compiled);
    QActionGroup* radioGroupFor(const Element* element);

    QWidget* m_widget;
    tn::Reference<CommandGroup> m_group;
    tn::Reference<CompiledCommandGroup> m_compiled;
    std::shared_ptr<CommandChoice> m_choice;
    std::function<void()> m_changed;
    std::vector<std::unique_ptr<MenuLevel>> m_levels;
    // The widget's own compiled entries; every command action, submenus'
    // included; the submenus and exclusive groups made.
    QList<QPointer<QAction>> m_entries;
    QList<QPointer<CommandAction>> m_actions;
    QList<QPointer<QMenu>> m_submenus;
    std::map<std::string, QPointer<QActionGroup>> m_radioGroups;
    QTimer m_rebuildTimer;
    bool m_dirty = true;
    int m_compiles = 0;
    // The submenus' groups' connections, cut at every rebuild.
    tnRTB::SignalClient m_submenuClient;
    // Declared last: cut first, before the members the callbacks use.
    tnRTB::SignalClient m_client;
};

// A label's text, or empty without one.
QString labelText(const Label* label);
// text as it reads without its mnemonic marks: "&Save" reads "Save", "A && B"
// reads "A & B".
QString withoutMnemonic(const QString& text);

} // namespace tnUI
