#include "ToolOptions.h"

#include "SketchApp.h"
#include "SketchWindow.h"

#include <tnUI/widgets/ArgumentPaneWidget.h>
#include <tnUI/widgets/WidgetArgumentPane.h>
#include <tnUI/widgets/WidgetWindowImpl.h>

#include <tnUI/application/DocumentWindow.h>
#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Label.h>

#include <QVBoxLayout>

namespace {

// The program's decisions for the option controls: a button selects the
// command named like it in the active window, and the ink menu pops on I.
tnUI::ArgumentWidgetHost sketchHost()
{
    tnUI::ArgumentWidgetHost host;
    host.buttonPressed = [](tnUI::ButtonArgument* button) {
        SketchApp& app = SketchApp::instance();
        const tn::Reference<SketchWindow> window(app.activeWindow());
        tnUI::CommandInstance* command = app.command(button->nameAsChar());
        if (window && command)
            window->selectCommand(command);
    };
    host.menuKey = [](const tnUI::EnumArgument* choice) {
        return QByteArray(choice->nameAsChar()) == "inkMenu" ? QKeySequence(Qt::Key_I) : QKeySequence();
    };
    host.imageSize = QSize(64, 40);
    return host;
}

} // namespace

ToolOptionsWindow::ToolOptionsWindow(tnUI::DocumentWindow* documentWindow, tnUI::Argument* options)
    : UtilityWindow(documentWindow)
{
    setName(tnString::CString("toolOptions"));
    // The title of the Qt window.
    setLabel(tn::Reference<tnUI::Label>(new tnUI::Label("Tool options")));
    const tn::Reference<tnUI::WidgetArgumentPane> pane(new tnUI::WidgetArgumentPane(options, sketchHost()));
    pane->setName(tnString::CString("toolOptionsPane"));
    setContent(pane);

    auto* window = new QWidget(nullptr, Qt::Tool);
    m_window = window;
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    m_paneWidget = static_cast<tnUI::ArgumentPaneWidget*>(pane->realizePane());
    layout->addWidget(m_paneWidget);
    window->adjustSize();
    // Beside the document window, at its top.
    if (const QWidget* document = tnUI::WidgetWindowImpl::widgetOf(documentWindow))
        window->move(document->frameGeometry().topRight() + QPoint(12, 0));
    // Closing the Qt window closes this one; the document window's closing
    // closes both.
    tnUI::WidgetWindowImpl::bind(window, this);
}
