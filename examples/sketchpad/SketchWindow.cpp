#include "SketchWindow.h"

#include "SketchApp.h"

#include <tnUI/widgets/WidgetWindowImpl.h>

#include <tnUI/application/Application.h>
#include <tnUI/application/DocumentInstance.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Label.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/LinearValue.h>

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

namespace {

// How long a message stays in the status bar.
constexpr int messageTime = 5000;

// A one-line label that shortens its text in the middle rather than widen
// the window or cut the end off; the whole text is its tooltip.
class ElidedLabel : public QLabel {
public:
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

} // namespace

SketchWindow::SketchWindow(tnUI::DocumentInstance* instance, Drawing* drawing)
    : DocumentWindow(instance), m_drawing(drawing)
{
    setName(tnString::CString(instance->nameAsChar()));
    // The title of the Qt window follows this label.
    const QString title = QStringLiteral("%1 - Sketchpad").arg(QString::fromUtf8(instance->nameAsChar()));
    setLabel(tn::Reference<tnUI::Label>(new tnUI::Label(tnString::IString(title.toStdWString()))));
    auto* window = new QMainWindow;
    m_mainWindow = window;
    m_canvas = new Canvas(this, drawing);
    window->setCentralWidget(m_canvas);
    m_canvas->setFocus();

    // The status bar: messages, then the state, in one row; the hint below.
    // All of it is permanent, so that no message ever replaces the hint.
    auto* status = new QWidget;
    auto* grid = new QGridLayout(status);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(12);
    m_message = new ElidedLabel;
    grid->addWidget(m_message, 0, 0);
    grid->setColumnStretch(0, 1);
    m_tool = new QLabel;
    m_class = new QLabel;
    m_ink = new QLabel;
    m_strokes = new QLabel;
    int column = 1;
    for (QLabel* label : {m_tool.data(), m_class.data(), m_ink.data(), m_strokes.data()})
        grid->addWidget(label, 0, column++);
    SketchApp& app = SketchApp::instance();
    m_hint =
        new QLabel(QStringLiteral("Mouse: left button draws, right button opens the marking menu, middle button or "
                                  "Shift+right the list menu; Esc closes a menu\n"
                                  "Keyboard: M or the Menu key opens the marking menu, Shift+M the list menu; in a "
                                  "menu: arrows or keypad, Tab, Enter, Backspace\n") +
                   app.keyHint());
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    grid->addWidget(m_hint, 1, 0, 1, column);
    window->statusBar()->addPermanentWidget(status, 1);

    // The menu bar, kept in step with the application's menu-bar group, each
    // menu compiled as it opens; a choice is selected through this window,
    // like a choice in the marking menu.
    if (tnUI::CommandGroup* bar = app.getMenuBar())
        m_menuBar = new tnUI::CommandMenuBar(window->menuBar(), bar, [this](tnUI::CommandInstance* command) {
            // The command may close this window.
            const tn::Reference<SketchWindow> hold(this);
            SketchApp::instance().transcript().note(
                QStringLiteral("menu bar: chose %1").arg(SketchApp::labelOf(command)));
            hold->selectCommand(command);
        });
    m_messageTimer = new QTimer(window);
    m_messageTimer->setSingleShot(true);
    QObject::connect(m_messageTimer, &QTimer::timeout, m_message, [label = m_message] {
        label->clear();
        label->setToolTip(QString());
    });

    // Wide enough for the whole hint from the start, with a little air. The
    // size grip is left out: the status bar's size hint does not count it
    // before the window shows.
    window->statusBar()->setSizeGripEnabled(false);
    window->resize(std::max(640, window->statusBar()->sizeHint().width() + 16), 560);
    // Raising, hiding and closing act on the Qt window; closing it closes
    // this window, after canCloseWindow.
    tnUI::WidgetWindowImpl::bind(window, this);

    tnUI::CommandController& controller = instance->getCommandController();
    tnRTB::connect(controller.clientCallSignal, this, &SketchWindow::clientCall);
    tnRTB::connect(controller.commandClassSignal, this, &SketchWindow::classChanged);
    tnRTB::connect(app.grid()->messageSignal, &signalClient,
                   [this](tnUI::Message&) { m_canvas->setGridShown(SketchApp::instance().grid()->getValue()); });
    for (tnUI::Value* value : {static_cast<tnUI::Value*>(app.penColour()), static_cast<tnUI::Value*>(app.penWidth())})
        tnRTB::connect(value->messageSignal, &signalClient, [this](tnUI::Message&) { updateStatus(); });
    QObject::connect(drawing, &Drawing::changed, window, [this] { updateStatus(); });
    m_canvas->setGridShown(app.grid()->getValue());
    m_class->setText(QStringLiteral("Class: none"));
    updateStatus();
}

SketchWindow::~SketchWindow()
{
    if (m_drawing && m_mainWindow)
        QObject::disconnect(m_drawing, nullptr, m_mainWindow, nullptr);
    // The Qt window may outlive this object for a moment: its menus stop
    // choosing through it.
    if (m_menuBar)
        m_menuBar->detach();
    if (m_canvas)
        m_canvas->detach();
}

void SketchWindow::realizeWindow()
{
    raiseWindow();
}

bool SketchWindow::canCloseWindow()
{
    if (m_discarded || !m_drawing || !m_drawing->isModified())
        return true;
    const tnUI::Application* app = tnUI::Application::findInstance();
    if (app && app->isForceExit())
        return true;
    if (m_asking)
        return false;
    m_asking = true;
    const auto asked = qScopeGuard([this] { m_asking = false; });
    Transcript& transcript = SketchApp::instance().transcript();
    transcript.note(QStringLiteral("window: unsaved strokes, the question is asked"));
    switch (askToClose()) {
    case CloseAnswer::Cancel: transcript.note(QStringLiteral("question: Cancel, the window stays open")); return false;
    case CloseAnswer::Save:
        transcript.note(QStringLiteral("question: Save, then close"));
        selectCommand(SketchApp::instance().command("save"));
        // A picture that could not be written keeps its window.
        return !m_drawing || !m_drawing->isModified();
    case CloseAnswer::Discard:
        transcript.note(QStringLiteral("question: Discard, the strokes are dropped"));
        m_discarded = true;
        return true;
    }
    return false;
}

SketchWindow::CloseAnswer SketchWindow::askToClose()
{
    const tnUI::DocumentInstance* instance = getDocumentInstance();
    if (!m_mainWindow || !instance)
        return CloseAnswer::Cancel;
    QMessageBox question(QMessageBox::Question, QStringLiteral("Sketchpad"),
                         QStringLiteral("The drawing \u201c%1\u201d has unsaved strokes.")
                             .arg(QString::fromUtf8(instance->nameAsChar())),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_mainWindow);
    question.setObjectName(QStringLiteral("closeQuestion"));
    question.setInformativeText(QStringLiteral("Save the picture to %1 before closing?")
                                    .arg(QDir::toNativeSeparators(SketchApp::instance().savePath())));
    question.setDefaultButton(QMessageBox::Cancel);
    question.setEscapeButton(QMessageBox::Cancel);
    question.setWindowModality(Qt::WindowModal);
    switch (question.exec()) {
    case QMessageBox::Save: return CloseAnswer::Save;
    case QMessageBox::Discard: return CloseAnswer::Discard;
    default: return CloseAnswer::Cancel;
    }
}

void SketchWindow::showMessage(const QString& text)
{
    if (!m_message || !m_messageTimer)
        return;
    m_message->setText(text);
    m_message->setToolTip(text);
    m_messageTimer->start(messageTime);
}

QString SketchWindow::message() const
{
    return m_message ? m_message->text() : QString();
}

QLabel* SketchWindow::hint() const
{
    return m_hint;
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
    m_ink->setText(QStringLiteral("Ink: %1, %2").arg(app.inkName(), app.widthText()));
    if (m_drawing)
        m_strokes->setText(QStringLiteral("Strokes: %1%2")
                               .arg(m_drawing->strokes().size())
                               .arg(m_drawing->isModified() ? QStringLiteral(" (unsaved)") : QString()));
}
