#pragma once

#include <tnUI/foundation/Export.h>

#include "CommandAction.h"

#include <QToolBar>

#include <memory>

namespace tnUI {

class CommandGroup;
class CommandTree;
class Window;

/// A Qt tool bar over a command group: compiled at once, since a tool bar is
/// always on show, and again right after every change of the group's content
/// (once for a burst of them) or invalidate(). Commands become tool buttons
/// with their icons (their labels without one, their tooltips or labels as
/// tooltips), sub-groups buttons that pop up their submenu, separators stay.
/// The buttons follow their commands live, as a CommandMenu's actions do;
/// the window title, which a screen reader announces, is the group's label.
class TNUI_EXPORT CommandToolBar : public QToolBar {
    Q_OBJECT
public:
    /// See CommandAction::Chosen.
    using Chosen = CommandAction::Chosen;

    /// NullError for a null group.
    CommandToolBar(tnUI::CommandGroup* group, Chosen chosen, QWidget* parent = nullptr);
    ~CommandToolBar() override;

    /// Null once detached.
    tnUI::CommandGroup* group() const;
    /// How often the group was compiled.
    int compileCount() const;
    /// The action of the element named name, or null.
    CommandAction* actionFor(const char* name) const;
    /// Compiles again right after the current event: for what sends no
    /// message, a layout preference or a command item's setCommand.
    void invalidate();
    /// As CommandMenu::setShortcutWindow.
    void setShortcutWindow(tnUI::Window* window);
    /// Stops following the model and choosing, takes the compiled buttons out
    /// and lets go of the group. The host's own actions stay.
    void detach();

private:
    std::unique_ptr<CommandTree> m_tree;
};

} // namespace tnUI
