#pragma once

#include <tnUI/application/UtilityWindow.h>

#include <tnUI/widgets/ArgumentPaneWidget.h>

#include <QPointer>
#include <QWidget>

namespace tnUI {
class Argument;
class DocumentWindow;
} // namespace tnUI

// The tool-options window of a document window: an argument pane showing
// the program's tool options in a Qt tool window beside the document's.
class ToolOptionsWindow : public tnUI::UtilityWindow {
public:
    ToolOptionsWindow(tnUI::DocumentWindow* documentWindow, tnUI::Argument* options);

    QWidget* qtWindow() const { return m_window; }
    tnUI::ArgumentPaneWidget* paneWidget() const { return m_paneWidget; }

private:
    QPointer<QWidget> m_window;
    QPointer<tnUI::ArgumentPaneWidget> m_paneWidget;
};
