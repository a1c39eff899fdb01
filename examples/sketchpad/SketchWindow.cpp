#include "SketchWindow.h"

#include "SketchApp.h"

#include <tnUI/application/DocumentInstance.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/IntValue.h>

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>

void QtDocumentWindow::closeEvent(QCloseEvent* event)
{
    // The application closes what it can; this window goes when its binding
    // is destroyed.
    event->ignore();
    SketchApp::instance().quit();
}

SketchWindowImpl::SketchWindowImpl(QtDocumentWindow* window) : m_window(window)
{}

SketchWindowImpl::~SketchWindowImpl()
{
    // This may run inside the window's own close handling: it is deleted
    // once control is back in the event loop.
    if (m_window) {
        m_window->hide();
        m_window->deleteLater();
    }
}

void SketchWindowImpl::raise()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void SketchWindowImpl::hide()
{
    if (m_window)
        m_window->hide();
}

void SketchWindowImpl::close()
{
    // The document window learns from this binding's destruction that it is
    // closed; the Qt window goes with the binding.
    delete this;
}

bool SketchWindowImpl::isVisible()
{
    return m_window && m_window->isVisible();
}

SketchWindow::SketchWindow(tnUI::DocumentInstance* instance, Drawing* drawing)
    : DocumentWindow(instance), m_drawing(drawing)
{
    setName(tnString::CString(instance->nameAsChar()));
    auto* window = new QtDocumentWindow;
    m_mainWindow = window;
    window->setWindowTitle(QStringLiteral("%1 - Sketchpad").arg(QString::fromUtf8(instance->nameAsChar())));
    m_canvas = new Canvas(this, drawing);
    window->setCentralWidget(m_canvas);
    m_canvas->setFocus();
    m_tool = new QLabel;
    m_class = new QLabel;
    m_ink = new QLabel;
    m_strokes = new QLabel;
    for (QLabel* label : {m_tool.data(), m_class.data(), m_ink.data(), m_strokes.data()})
        window->statusBar()->addPermanentWidget(label);
    window->resize(640, 480);
    setQtDocumentWindow(window, new SketchWindowImpl(window));

    tnUI::CommandController& controller = instance->getCommandController();
    tnRTB::connect(controller.clientCallSignal, this, &SketchWindow::clientCall);
    tnRTB::connect(controller.commandClassSignal, this, &SketchWindow::classChanged);
    SketchApp& app = SketchApp::instance();
    tnRTB::connect(app.grid()->messageSignal, &signalClient,
                   [this](tnUI::Message&) { m_canvas->setGridShown(SketchApp::instance().grid()->getValue()); });
    for (tnUI::Value* value : {static_cast<tnUI::Value*>(app.inkValue()), static_cast<tnUI::Value*>(app.widthValue())})
        tnRTB::connect(value->messageSignal, &signalClient, [this](tnUI::Message&) { updateStatus(); });
    QObject::connect(drawing, &Drawing::changed, window, [this] { updateStatus(); });
    m_canvas->setGridShown(app.grid()->getValue());
    m_class->setText(QStringLiteral("Class: none"));
    updateStatus();
    window->statusBar()->showMessage(
        QStringLiteral("Right button: marking menu. Middle or Shift+right: menu. Keys: P L E, Ctrl+Z, G, R K B."));
}

SketchWindow::~SketchWindow()
{
    if (m_drawing && m_mainWindow)
        QObject::disconnect(m_drawing, nullptr, m_mainWindow, nullptr);
    if (m_canvas)
        m_canvas->detach();
}

void SketchWindow::realizeWindow()
{
    raiseWindow();
}

bool SketchWindow::canCloseWindow()
{
    return !m_drawing || !m_drawing->isModified();
}

void SketchWindow::showMessage(const QString& text)
{
    if (m_mainWindow)
        m_mainWindow->statusBar()->showMessage(text, 5000);
}

void SketchWindow::clientCall(tnUI::CommandController::CallType type, tnUI::CallInfo& call, bool before)
{
    if (type == tnUI::CommandController::SelectCommand) {
        if (before) {
            if (m_selectDepth++ == 0)
                m_calls.clear();
        } else if (--m_selectDepth == 0) {
            if (!m_calls.isEmpty())
                SketchApp::instance().transcript().note(QStringLiteral("calls: ") + m_calls.join(QStringLiteral(", ")));
            updateStatus();
        }
        return;
    }
    if (!before || m_selectDepth == 0)
        return;
    const tnUI::CommandInstance* command = call.getCommandInstance();
    m_calls.append(QStringLiteral("%1.%2").arg(command ? QString::fromUtf8(command->getName()->asChar()) : QString(),
                                               QString::fromUtf8(tnUI::enumName(type))));
}

void SketchWindow::classChanged(tnUI::CommandClass* commandClass, bool becomesCurrent)
{
    const QString name = QString::fromUtf8(commandClass->nameAsChar());
    if (m_selectDepth > 0)
        m_calls.append(QStringLiteral("class %1 %2").arg(name, becomesCurrent ? "on" : "off"));
    if (m_class)
        m_class->setText(QStringLiteral("Class: %1").arg(becomesCurrent ? name : QStringLiteral("none")));
}

void SketchWindow::updateStatus()
{
    tnUI::DocumentInstance* instance = getDocumentInstance();
    if (!instance || !m_mainWindow)
        return;
    const tnUI::CommandInstance* tool = instance->getCommandController().getCurrentContinuousCommand();
    const SketchApp& app = SketchApp::instance();
    m_tool->setText(QStringLiteral("Tool: %1").arg(tool ? SketchApp::labelOf(tool) : QStringLiteral("none")));
    m_ink->setText(QStringLiteral("Ink: %1, %2 px").arg(app.inkName()).arg(app.width()));
    if (m_drawing)
        m_strokes->setText(QStringLiteral("Strokes: %1%2")
                               .arg(m_drawing->strokes().size())
                               .arg(m_drawing->isModified() ? QStringLiteral(" (unsaved)") : QString()));
}
