#include "CommandMenu.h"

#include "CommandAction.h"

#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/menus/CompiledCommandGroup.h>

#include <QMenuBar>

#include <cstring>
#include <utility>

namespace tnUI {

using tnUI::Message;

namespace {

// True when m, or a message that caused it, changes what a group holds.
bool changesContent(const Message& m)
{
    for (const Message* c = &m; c; c = c->causedBy())
        if (c->getType() == Message::Content || c->getType() == Message::Structure)
            return true;
    return false;
}

QString titleOf(const tnUI::Group* group)
{
    const tnUI::Label* l = group->getLabel();
    return l ? QString::fromStdWString(l->asString().str()) : QString::fromUtf8(group->nameAsChar());
}

} // namespace

CommandMenu::CommandMenu(tnUI::CommandGroup* group, Chosen chosen, QWidget* parent)
    : QMenu(parent), m_group(group), m_chosen(std::move(chosen))
{
    setToolTipsVisible(true);
    tnRTB::connect(group->messageSignal, &m_client, [this](Message& m) {
        if (changesContent(m))
            m_dirty = true;
    });
    follow(this, group, m_client);
    connect(this, &QMenu::aboutToShow, this, &CommandMenu::compileIfChanged);
}

CommandMenu::~CommandMenu() = default;

QList<CommandMenu*> CommandMenu::fillMenuBar(QMenuBar* bar, tnUI::CommandGroup* barGroup, const Chosen& chosen)
{
    QList<CommandMenu*> menus;
    for (int i = 0; i < barGroup->getNumElements(); ++i) {
        if (auto* group = dynamic_cast<tnUI::CommandGroup*>(barGroup->getElement(i))) {
            menus.append(new CommandMenu(group, chosen, bar));
            bar->addMenu(menus.last());
        }
    }
    return menus;
}

void CommandMenu::compileIfChanged()
{
    if (m_dirty && m_group)
        rebuild();
}

CommandAction* CommandMenu::actionFor(const char* name) const
{
    for (CommandAction* action : findChildren<CommandAction*>())
        if (action->command() && std::strcmp(action->command()->nameAsChar(), name) == 0)
            return action;
    return nullptr;
}

void CommandMenu::detach()
{
    m_client.disconnectAll();
    m_submenuClient.disconnectAll();
    m_chosen = nullptr;
    for (CommandAction* action : findChildren<CommandAction*>())
        action->detach();
    m_compiled = nullptr;
}

void CommandMenu::rebuild()
{
    m_submenuClient.disconnectAll();
    // The actions are the menus' children: they go with them.
    clear();
    for (const QPointer<QMenu>& submenu : std::exchange(m_submenus, {}))
        delete submenu.data();
    m_compiled = tnUI::compileCommandGroup(m_group);
    m_dirty = false;
    ++m_compiles;
    fill(this, m_compiled);
}

void CommandMenu::fill(QMenu* menu, tnUI::CompiledCommandGroup* compiled)
{
    // The actions choose through this menu, which may have been detached
    // or destroyed by then.
    const QPointer<CommandMenu> self(this);
    const auto choose = [self](tnUI::CommandInstance* command) {
        if (!self || !self->m_chosen)
            return;
        const Chosen chosen = self->m_chosen;
        chosen(command);
    };
    for (int i = 0; i < compiled->getNumItems(); ++i) {
        tnUI::CompiledCommandNode* node = compiled->getItem(i);
        if (node->isSeparator()) {
            menu->addSeparator();
        } else if (auto* sub = dynamic_cast<tnUI::CompiledCommandGroup*>(node)) {
            auto* submenu = new QMenu(menu);
            submenu->setToolTipsVisible(true);
            m_submenus.append(submenu);
            follow(submenu, static_cast<tnUI::Group*>(sub->getElement()), m_submenuClient);
            fill(submenu, sub);
            menu->addMenu(submenu);
        } else if (node->isCommand()) {
            menu->addAction(new CommandAction(node->getElement(), choose, menu));
        }
    }
}

void CommandMenu::follow(QMenu* menu, tnUI::Group* group, tnRTB::SignalClient& client)
{
    const auto show = [menu, group] {
        menu->setTitle(titleOf(group));
        // A group none of whose commands can run now opens on nothing.
        menu->menuAction()->setEnabled(group->getEnabled());
    };
    tnRTB::connect(group->messageSignal, &client, [show](Message&) { show(); });
    show();
}

} // namespace tnUI
