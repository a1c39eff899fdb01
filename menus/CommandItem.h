#pragma once

#include "../foundation/Export.h"

#include "../entity/Icon.h"
#include "../entity/ImageFile.h"
#include "../entity/Label.h"
#include "../foundation/ReferenceCount.h"
#include "Element.h"

namespace tnUI {

class CommandInstance;

/// A menu item standing for a command instance, with its own label, tooltip
/// and icons where it has them: whatever it lacks it takes from its command,
/// asked anew on every call. The help reference and the name are the item's
/// own. The item does not pass on the command's messages.
class TNUI_EXPORT CommandItem : public Item {
public:
    /// No command.
    CommandItem();
    ~CommandItem() override;

    /// The command.
    CommandInstance* getCommand() const noexcept { return m_command.get(); }
    /// Holds ci (null clears). No message.
    void setCommand(CommandInstance* ci);
    CommandInstance* commandToRun() const override { return m_command.get(); }

    const Label* getLabel() const override;
    /// The tooltip.
    const Label* getToolTip() const override;
    ImageFile* getIcon(IconState::EState s, IconMode::EMode m) override;
    /// The same, read-only.
    const ImageFile* getIcon(IconState::EState s, IconMode::EMode m) const override;

private:
    tn::Reference<CommandInstance> m_command;
};

} // namespace tnUI
