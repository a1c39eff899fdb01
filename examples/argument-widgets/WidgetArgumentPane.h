#pragma once

#include "ArgumentBinding.h"

#include <tnUI/arguments/ArgumentPane.h>

// An argument pane whose widget shows its argument with Qt controls.
class WidgetArgumentPane : public tnUI::ArgumentPane {
public:
    // Shows a (null accepted) with the host's decisions for its controls.
    explicit WidgetArgumentPane(tnUI::Argument* a, ArgumentWidgetHost host = {});

    // A new ArgumentPaneWidget on this pane, owned by the caller, who puts
    // it into a window.
    QWidget* realizePane() override;

private:
    ArgumentWidgetHost m_host;
};
