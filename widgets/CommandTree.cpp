#include "CommandTree.h"

#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/menus/CompiledCommandGroup.h>

#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <cstring>
#include <utility>

namespace tnUI {

void MenuLevel::change(int shownDelta, int usableDelta)
{
    const bool wasShown = shown > 0;
    const bool wasUsable = usable > 0;
    shown += shownDelta;
    usable += usableDelta;
    if (!entry)
        return;
    const bool isShown = shown > 0;
    const bool isUsable = usable > 0;
    if (isShown != wasShown)
        entry->setVisible(isShown);
    if (isUsable != wasUsable)
        entry->setEnabled(isUsable);
    if (parent && (isShown != wasShown || isUsable != wasUsable))
        parent->change(int(isShown) - int(wasShown), int(isUsable) - int(wasUsable));
}

CommandTree::CommandTree(QWidget* widget, CommandGroup* group, CommandAction::Chosen chosen,
                         std::function<void()> changed)
    : m_widget(widget), m_group(group), m_choice(std::make_shared<CommandChoice>()), m_changed(std::move(changed))
{
    if (!group)
        throw NullError();
    m_choice->chosen = std::move(chosen);
    m_rebuildTimer.setSingleShot(true);
    m_rebuildTimer.setInterval(0);
    QObject::connect(&m_rebuildTimer, &QTimer::timeout, &m_rebuildTimer, [this] {
        if (isDirty())
            rebuild();
    });
    tnRTB::connect(group->messageSignal, &m_client, [this](Message& m) {
        if (changesContent(m)) {
            m_dirty = true;
            m_changed();
        } else if (concernsItself(m, m_group)) {
            showTitle(m_widget, m_group, false);
        }
    });
    showTitle(widget, group, false);
}

CommandTree::~CommandTree()
{
    // The widget is going: its actions and submenus go with it. Only the
    // model is let go of here, the actions first, in case one outlives the
    // widget.
    m_client.disconnectAll();
    m_submenuClient.disconnectAll();
    for (const QPointer<CommandAction>& action : std::exchange(m_actions, {}))
        if (action)
            action->detach();
}

void CommandTree::rebuild()
{
    if (!m_group)
        return;
    clear();
    m_compiled = compileCommandGroup(m_group);
    m_dirty = false;
    ++m_compiles;
    // The compiled entries go before the host's own actions.
    const QList<QAction*> hostActions = m_widget->actions();
    fill(m_widget, nullptr, m_compiled, hostActions.value(0));
}

void CommandTree::rebuildSoon()
{
    if (!m_rebuildTimer.isActive())
        m_rebuildTimer.start();
}

void CommandTree::followCommands(const QWidget* level)
{
    // Showing a command anew tells the host (Qt's change notices), which may
    // take actions out meanwhile.
    QList<QPointer<CommandAction>> actions;
    for (QAction* a : level->actions())
        if (auto* action = qobject_cast<CommandAction*>(a); action && action->m_choice == m_choice)
            actions.append(action);
    for (const QPointer<CommandAction>& action : actions)
        if (action)
            action->followCommand();
}

CommandAction* CommandTree::actionFor(const char* name) const
{
    for (const QPointer<CommandAction>& action : m_actions)
        if (action && action->command() && std::strcmp(action->command()->nameAsChar(), name) == 0)
            return action;
    return nullptr;
}

void CommandTree::setShortcutWindow(Window* window)
{
    if (window && !window->getDocumentWindow())
        throw NullError();
    m_choice->shortcutWindow = window;
    for (const QPointer<CommandAction>& action : m_actions)
        if (action && action->element())
            action->showText();
}

void CommandTree::detach()
{
    m_client.disconnectAll();
    clear();
    m_choice->chosen = nullptr;
    m_choice->shortcutWindow = nullptr;
    m_group = nullptr;
}

QString CommandTree::titleOf(const Group* group)
{
    const QString label = labelText(group->getLabel());
    return label.isEmpty() ? QString::fromUtf8(group->nameAsChar()).replace(QLatin1Char('&'), QLatin1String("&&"))
                           : label;
}

void CommandTree::showTitle(QWidget* widget, const Group* group, bool withIcon)
{
    const QString title = titleOf(group);
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        menu->setTitle(title);
        menu->menuAction()->setToolTip(labelText(group->getToolTip()));
        if (withIcon)
            menu->menuAction()->setIcon(iconOf(group));
    }
    widget->setWindowTitle(withoutMnemonic(title));
}

bool CommandTree::concernsItself(const Message& m, const Group* group)
{
    if (m.getEntity() != group)
        return false;
    bool decoration = false;
    for (const Message* c = &m; c; c = c->causedBy())
        decoration = decoration || c->getType() == Message::Label || c->getType() == Message::Name ||
                     c->getType() == Message::Icon;
    // The group's own label, name or icon, or a message of an object it
    // holds for them; not one of an element passed on.
    return decoration && (m.isRoot() || !dynamic_cast<const Element*>(m.causedBy()->getEntity()));
}

bool CommandTree::changesContent(const Message& m)
{
    for (const Message* c = &m; c; c = c->causedBy())
        if (c->getType() == Message::Content || c->getType() == Message::Structure)
            return true;
    return false;
}

void CommandTree::clear()
{
    m_submenuClient.disconnectAll();
    // The entries go later, not now: this may run while one of them is
    // being triggered. They let go of the model at once.
    for (const QPointer<CommandAction>& action : std::exchange(m_actions, {}))
        if (action)
            action->detach();
    for (const QPointer<QAction>& entry : std::exchange(m_entries, {})) {
        if (!entry)
            continue;
        m_widget->removeAction(entry);
        // A submenu's entry belongs to the submenu.
        if (!entry->menu())
            entry->deleteLater();
    }
    for (const QPointer<QMenu>& menu : std::exchange(m_submenus, {})) {
        if (!menu)
            continue;
        QObject::disconnect(menu, &QMenu::aboutToShow, nullptr, nullptr);
        menu->hide();
        menu->deleteLater();
    }
    for (const auto& [name, group] : std::exchange(m_radioGroups, {}))
        if (group)
            group->deleteLater();
    m_levels.clear();
    m_compiled = nullptr;
}

void CommandTree::fill(QWidget* target, MenuLevel* level, CompiledCommandGroup* compiled, QAction* before)
{
    const bool keysAsText = qobject_cast<QMenu*>(target);
    for (int i = 0; i < compiled->getNumItems(); ++i) {
        CompiledCommandNode* node = compiled->getItem(i);
        QAction* entry = nullptr;
        if (node->isSeparator()) {
            entry = new QAction(target);
            entry->setSeparator(true);
        } else if (auto* sub = dynamic_cast<CompiledCommandGroup*>(node)) {
            entry = addSubmenu(target, level, sub);
        } else if (node->isCommand()) {
            Element* element = node->getElement();
            auto* action = new CommandAction(element, m_choice, level, radioGroupFor(element), keysAsText, target);
            m_actions.append(action);
            entry = action;
        } else {
            continue;
        }
        target->insertAction(before, entry);
        if (target == m_widget)
            m_entries.append(entry);
        // A tool bar's submenu opens on a click anywhere on its button.
        if (auto* bar = qobject_cast<QToolBar*>(target); bar && entry->menu())
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(entry)))
                button->setPopupMode(QToolButton::InstantPopup);
    }
}

QAction* CommandTree::addSubmenu(QWidget* target, MenuLevel* level, CompiledCommandGroup* compiled)
{
    auto* group = static_cast<Group*>(compiled->getElement());
    auto* menu = new QMenu(target);
    menu->setToolTipsVisible(true);
    m_submenus.append(menu);
    // Hidden and disabled until an entry of its own shows, or can be chosen.
    QAction* entry = menu->menuAction();
    entry->setVisible(false);
    entry->setEnabled(false);
    m_levels.push_back(std::make_unique<MenuLevel>(MenuLevel{level, entry}));
    showTitle(menu, group, true);
    tnRTB::connect(group->messageSignal, &m_submenuClient, [menu, group](Message& m) {
        if (concernsItself(m, group))
            showTitle(menu, group, true);
    });
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] { followCommands(menu); });
    fill(menu, m_levels.back().get(), compiled, nullptr);
    return entry;
}

QActionGroup* CommandTree::radioGroupFor(const Element* element)
{
    const CommandInstance* command = element->commandToRun();
    if (!command || !command->isGrouped())
        return nullptr;
    QPointer<QActionGroup>& group = m_radioGroups[command->getGroupedName().asChar()];
    if (!group)
        group = new QActionGroup(m_widget);
    return group;
}

} // namespace tnUI
