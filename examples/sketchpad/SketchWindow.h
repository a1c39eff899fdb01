#pragma once

#include <tnUI/application/DocumentWindow.h>
#include <tnUI/application/ToolkitImpl.h>
#include <tnUI/commands/CommandController.h>

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include "Canvas.h"

class QLabel;
class QTimer;

// The Qt window of a document (the widget class that the library's document
// window refers to): the canvas, and a status bar with messages, the current
// tool, the command class in force, the ink and the number of strokes, and
// below them a hint with the mouse buttons and every key. Closing it from the
// window system asks the application to close its windows, so that unsaved
// strokes can refuse.
class QtDocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    QtDocumentWindow() = default;

protected:
    void closeEvent(QCloseEvent* event) override;
};

// The binding of a document window to its Qt window. Closing destroys this
// object, which tells the document window that it is closed; the Qt window
// goes with it.
class SketchWindowImpl : public tnUI::ToolkitWindowImpl {
public:
    explicit SketchWindowImpl(QtDocumentWindow* window);
    ~SketchWindowImpl() override;

    void raise() override;
    void hide() override;
    void close() override;
    bool isVisible() override;

private:
    QPointer<QtDocumentWindow> m_window;
};

// The document window of a drawing.
class SketchWindow : public tnUI::DocumentWindow {
public:
    enum class CloseAnswer { Save, Discard, Cancel };

    SketchWindow(tnUI::DocumentInstance* instance, Drawing* drawing);
    ~SketchWindow() override;

    // Shows the Qt window.
    void realizeWindow() override;
    // Refuses while the drawing has strokes that were neither saved nor
    // discarded.
    bool canCloseWindow() override;
    // Asks, over this window, what becomes of the unsaved strokes; Cancel is
    // the default answer.
    CloseAnswer askToClose();
    // The unsaved strokes no longer keep the window open.
    void discardChanges() { m_discarded = true; }

    Canvas* canvas() const { return m_canvas; }
    QtDocumentWindow* mainWindow() const { return m_mainWindow; }
    // Shows text in the status bar for a few seconds.
    void showMessage(const QString& text);
    // The message shown now, empty once it has timed out.
    QString message() const;
    // The hint with the mouse buttons and the keys.
    QLabel* hint() const;

private:
    void clientCall(tnUI::CommandController::CallType type, tnUI::CallInfo& call, bool before);
    void classChanged(tnUI::CommandClass* commandClass, bool becomesCurrent);
    void updateStatus();

    QPointer<Drawing> m_drawing;
    QPointer<QtDocumentWindow> m_mainWindow;
    QPointer<Canvas> m_canvas;
    QPointer<QLabel> m_tool;
    QPointer<QLabel> m_class;
    QPointer<QLabel> m_ink;
    QPointer<QLabel> m_strokes;
    QPointer<QLabel> m_message;
    QPointer<QLabel> m_hint;
    QPointer<QTimer> m_messageTimer;
    bool m_discarded = false;
    // The calls into commands made by the selection under way.
    QStringList m_calls;
    int m_selectDepth = 0;
};
