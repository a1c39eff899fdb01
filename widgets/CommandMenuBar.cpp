#include "CommandMenuBar.h"

#include "CommandMenu.h"
#include "CommandTree.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/menus/CommandGroup.h>

#include <QMenuBar>

#include <utility>

namespace tnUI {

namespace {

QMenuBar* requireBar(QMenuBar* bar, const CommandGroup* group)
{
    if (!bar || !group)
        throw NullError();
    return bar;
}

// Takes the menu of group out of menus; null when there is none.
CommandMenu* take(QList<QPointer<CommandMenu>>& menus, const CommandGroup* group)
{
    for (qsizetype i = 0; i < menus.size(); ++i)
        if (menus[i] && menus[i]->group() == group)
            return menus.takeAt(i);
    return nullptr;
}

void remove(QMenuBar* bar, CommandMenu* menu)
{
    menu->detach();
    if (bar)
        bar->removeAction(menu->menuAction());
    menu->hide();
    // Later: the change may come from within one of the menu's entries.
    menu->deleteLater();
}

} // namespace

CommandMenuBar::CommandMenuBar(QMenuBar* bar, CommandGroup* group, Chosen chosen)
    : QObject(requireBar(bar, group)), m_group(group), m_chosen(std::move(chosen))
{
    tnRTB::connect(group->messageSignal, &m_client, [this](Message& m) {
        // Only the bar group's own elements make menus; a change deeper down
        // is its menu's.
        if (m.getEntity() == m_group.get() && (m.getType() == Message::Content || m.getType() == Message::Structure))
            sync();
    });
    sync();
}

CommandMenuBar::~CommandMenuBar()
{
    // The bar may be half destroyed: its menus go with it.
    m_client.disconnectAll();
}

QMenuBar* CommandMenuBar::menuBar() const
{
    return static_cast<QMenuBar*>(parent());
}

QList<CommandMenu*> CommandMenuBar::menus() const
{
    QList<CommandMenu*> menus;
    for (const QPointer<CommandMenu>& menu : m_menus)
        if (menu)
            menus.append(menu);
    return menus;
}

void CommandMenuBar::setShortcutWindow(Window* window)
{
    if (window && !window->getDocumentWindow())
        throw NullError();
    for (CommandMenu* menu : menus())
        menu->setShortcutWindow(window);
    m_shortcutWindow = window;
}

void CommandMenuBar::detach()
{
    m_client.disconnectAll();
    for (const QPointer<CommandMenu>& menu : std::exchange(m_menus, {}))
        if (menu)
            remove(menuBar(), menu);
    m_group = nullptr;
}

void CommandMenuBar::sync()
{
    QMenuBar* bar = menuBar();
    QList<QPointer<CommandMenu>> old = std::exchange(m_menus, {});
    // Where the menus go: after the last menu of the bar's, before whatever
    // the host put after it; at the end at first.
    const QList<QAction*> actions = bar->actions();
    QAction* before = nullptr;
    for (qsizetype i = actions.size() - 1; i >= 0 && !before; --i)
        if (auto* menu = qobject_cast<CommandMenu*>(actions[i]->menu()); menu && old.contains(menu))
            before = actions.value(i + 1);
    for (int i = 0; i < m_group->getNumElements(); ++i) {
        auto* group = dynamic_cast<CommandGroup*>(m_group->getElement(i));
        if (!group)
            continue;
        CommandMenu* menu = take(old, group);
        if (!menu) {
            menu = new CommandMenu(group, m_chosen, bar);
            menu->setShortcutWindow(m_shortcutWindow.get());
        }
        m_menus.append(menu);
    }
    for (const QPointer<CommandMenu>& menu : old)
        if (menu)
            remove(bar, menu);

    // In the group's order; the bar is touched only when that changed.
    QList<QAction*> shown;
    for (QAction* action : bar->actions())
        if (auto* menu = qobject_cast<CommandMenu*>(action->menu()); menu && m_menus.contains(menu))
            shown.append(action);
    QList<QAction*> wanted;
    for (const QPointer<CommandMenu>& menu : m_menus)
        wanted.append(menu->menuAction());
    if (shown == wanted)
        return;
    for (QAction* action : wanted)
        bar->insertAction(before, action);
}

} // namespace tnUI
