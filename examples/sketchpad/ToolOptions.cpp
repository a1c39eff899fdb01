#include "ToolOptions.h"

#include "SketchApp.h"
#include "SketchWindow.h"

#include <tnUI/widgets/ArgumentPaneWidget.h>
#include <tnUI/widgets/WidgetArgumentPane.h>

#include <tnUI/application/DocumentWindow.h>
#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/commands/CommandInstance.h>

#include <QCloseEvent>
#include <QVBoxLayout>

QtUtilityWindow::QtUtilityWindow() : QWidget(nullptr, Qt::Tool)
{}

void QtUtilityWindow::closeEvent(QCloseEvent* event)
{
    // This window goes when its binding is destroyed.
    event->ignore();
    if (m_impl)
        m_impl->close();
}

ToolWindowImpl::ToolWindowImpl(QtUtilityWindow* window) : m_window(window)
{
    window->setImpl(this);
}

ToolWindowImpl::~ToolWindowImpl()
{
    // This may run inside the window's own close handling: it is deleted
    // once control is back in the event loop.
    if (m_window) {
        m_window->setImpl(nullptr);
        m_window->hide();
        m_window->deleteLater();
    }
}

void ToolWindowImpl::raise()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
}

void ToolWindowImpl::hide()
{
    if (m_window)
        m_window->hide();
}

void ToolWindowImpl::close()
{
    delete this;
}

bool ToolWindowImpl::isVisible()
{
    return m_window && m_window->isVisible();
}

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
    const tn::Reference<tnUI::WidgetArgumentPane> pane(new tnUI::WidgetArgumentPane(options, sketchHost()));
    pane->setName(tnString::CString("toolOptionsPane"));
    setContent(pane);

    auto* window = new QtUtilityWindow;
    m_window = window;
    window->setWindowTitle(QStringLiteral("Tool options"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    m_paneWidget = static_cast<tnUI::ArgumentPaneWidget*>(pane->realizePane());
    layout->addWidget(m_paneWidget);
    window->adjustSize();
    // Beside the document window, at its top.
    if (QWidget* document = documentWindow->getQtDocumentWindow())
        window->move(document->frameGeometry().topRight() + QPoint(12, 0));
    setQtUtilityWindow(window, new ToolWindowImpl(window));
}
