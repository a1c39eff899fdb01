#pragma once

#include <tnUI/foundation/Export.h>

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QMenu>
#include <QPointer>

#include <functional>

class QMenuBar;

namespace tnUI {

class CommandAction;
class CommandGroup;
class CommandInstance;
class CompiledCommandGroup;
class Group;

// A Qt menu over a command group, compiled on demand: the group is compiled
// when the menu is about to show for the first time, and again whenever its
// content changed since (an element added or removed anywhere in its tree).
// The compiled tree becomes the menu's entries: a command action per
// command, a submenu per sub-group, a separator where the tree has one.
// Choosing an entry hands its command to chosen.
//
// Between compiles the menu holds the compiled tree, and with it the
// elements shown; its actions follow their commands' state live.
class TNUI_EXPORT CommandMenu : public QMenu {
    Q_OBJECT
public:
    using Chosen = std::function<void(tnUI::CommandInstance*)>;

    CommandMenu(tnUI::CommandGroup* group, Chosen chosen, QWidget* parent = nullptr);
    ~CommandMenu() override;

    // A menu in bar for every command group among bar group's elements, in
    // their order; other elements are passed over. Returns the menus.
    static QList<CommandMenu*> fillMenuBar(QMenuBar* bar, tnUI::CommandGroup* barGroup, const Chosen& chosen);

    tnUI::CommandGroup* group() const { return m_group.get(); }
    // Compiles the group again if it changed since the last compile; the
    // menu does this itself before it shows.
    void compileIfChanged();
    // How many times the group was compiled.
    int compileCount() const { return m_compiles; }
    // The action of the command named name, in this menu or its submenus;
    // null when the menu shows none.
    CommandAction* actionFor(const char* name) const;
    // Stops following the model and choosing, and lets the compiled tree go:
    // for a menu whose host is going.
    void detach();

private:
    void rebuild();
    void fill(QMenu* menu, tnUI::CompiledCommandGroup* compiled);
    // Keeps menu's title and enabled state with group's, through client.
    static void follow(QMenu* menu, tnUI::Group* group, tnRTB::SignalClient& client);

    tn::Reference<tnUI::CommandGroup> m_group;
    tn::Reference<tnUI::CompiledCommandGroup> m_compiled;
    Chosen m_chosen;
    bool m_dirty = true;
    int m_compiles = 0;
    QList<QPointer<QMenu>> m_submenus;
    // The submenus' groups' connections; cut at every rebuild.
    tnRTB::SignalClient m_submenuClient;
    // Declared last: cut first, before the members the callbacks use.
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
