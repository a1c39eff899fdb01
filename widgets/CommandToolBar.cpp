#include "CommandToolBar.h"

#include "CommandTree.h"

#include <tnUI/menus/CommandGroup.h>

#include <utility>

namespace tnUI {

CommandToolBar::CommandToolBar(CommandGroup* group, Chosen chosen, QWidget* parent)
    : QToolBar(parent),
      m_tree(std::make_unique<CommandTree>(this, group, std::move(chosen), [this] { m_tree->rebuildSoon(); }))
{
    m_tree->rebuild();
}

CommandToolBar::~CommandToolBar() = default;

CommandGroup* CommandToolBar::group() const
{
    return m_tree->group();
}

int CommandToolBar::compileCount() const
{
    return m_tree->compileCount();
}

CommandAction* CommandToolBar::actionFor(const char* name) const
{
    return m_tree->actionFor(name);
}

void CommandToolBar::invalidate()
{
    m_tree->markDirty();
    m_tree->rebuildSoon();
}

void CommandToolBar::setShortcutWindow(Window* window)
{
    m_tree->setShortcutWindow(window);
}

void CommandToolBar::detach()
{
    m_tree->detach();
}

} // namespace tnUI
