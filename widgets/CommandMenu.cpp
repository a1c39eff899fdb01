#include "CommandMenu.h"

#include "CommandMenuBar.h"
#include "CommandTree.h"

#include <tnUI/menus/CommandGroup.h>

#include <utility>

namespace tnUI {

CommandMenu::CommandMenu(CommandGroup* group, Chosen chosen, QWidget* parent)
    : QMenu(parent), m_tree(std::make_unique<CommandTree>(this, group, std::move(chosen), [this] { contentChanged(); }))
{
    setToolTipsVisible(true);
    connect(this, &QMenu::aboutToShow, this, [this] {
        compileIfChanged();
        m_tree->followCommands(this);
    });
}

CommandMenu::~CommandMenu() = default;

QList<CommandMenu*> CommandMenu::fillMenuBar(QMenuBar* bar, CommandGroup* barGroup, const Chosen& chosen)
{
    return (new CommandMenuBar(bar, barGroup, chosen))->menus();
}

CommandMenu* CommandMenu::popUp(CommandGroup* group, const QPoint& pos, Chosen chosen, QWidget* parent)
{
    auto* menu = new CommandMenu(group, std::move(chosen), parent);
    // Later, not at once: a choice is handled after the menu hides.
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(pos);
    return menu;
}

CommandGroup* CommandMenu::group() const
{
    return m_tree->group();
}

void CommandMenu::compileIfChanged()
{
    if (m_tree->isDirty())
        m_tree->rebuild();
}

void CommandMenu::invalidate()
{
    m_tree->markDirty();
    contentChanged();
}

int CommandMenu::compileCount() const
{
    return m_tree->compileCount();
}

CommandAction* CommandMenu::actionFor(const char* name) const
{
    return m_tree->actionFor(name);
}

void CommandMenu::setShortcutWindow(Window* window)
{
    m_tree->setShortcutWindow(window);
    // Shortcuts need their actions before the menu ever opens.
    if (window)
        compileIfChanged();
}

void CommandMenu::detach()
{
    m_tree->detach();
}

void CommandMenu::contentChanged()
{
    if (isVisible() || m_tree->shortcutWindow())
        m_tree->rebuildSoon();
}

} // namespace tnUI
