#pragma once

#include <tnUI/foundation/Export.h>

#include "ArgumentBinding.h"

#include <tnUI/arguments/ArgumentPane.h>

namespace tnUI {

/// An argument pane whose widget shows its argument with Qt controls.
class TNUI_EXPORT WidgetArgumentPane : public tnUI::ArgumentPane {
public:
    /// Shows a (null accepted) with the host's decisions for its controls.
    explicit WidgetArgumentPane(tnUI::Argument* a, ArgumentWidgetHost host = {});

    /// A new ArgumentPaneWidget on this pane, owned by the caller, who puts
    /// it into a window.
    QWidget* realizePane() override;

private:
    ArgumentWidgetHost m_host;
};

} // namespace tnUI
