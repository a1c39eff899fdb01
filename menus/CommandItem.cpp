#include "CommandItem.h"

#include "../commands/CommandInstance.h"

namespace tnUI {

CommandItem::CommandItem() = default;

CommandItem::~CommandItem() = default;

void CommandItem::setCommand(CommandInstance* ci)
{
    m_command = ci;
}

const Label* CommandItem::getLabel() const
{
    const Label* own = Item::getLabel();
    if (own || !m_command)
        return own;
    return m_command->getLabel();
}

const Label* CommandItem::getToolTip() const
{
    const Label* own = Item::getToolTip();
    if (own || !m_command)
        return own;
    return m_command->getToolTip();
}

ImageFile* CommandItem::getIcon(IconState::EState s, IconMode::EMode m)
{
    ImageFile* own = Item::getIcon(s, m);
    if (own || !m_command)
        return own;
    return m_command->getIcon(s, m);
}

const ImageFile* CommandItem::getIcon(IconState::EState s, IconMode::EMode m) const
{
    const ImageFile* own = Item::getIcon(s, m);
    if (own || !m_command)
        return own;
    return static_cast<const CommandInstance&>(*m_command).getIcon(s, m);
}

} // namespace tnUI
