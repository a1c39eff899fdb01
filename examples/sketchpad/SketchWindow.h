#pragma once

#include <tnUI/application/DocumentWindow.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/widgets/CommandMenuBar.h>

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include "Canvas.h"

class QLabel;
class QTimer;

// The document window of a drawing, bound to a Qt main window: the canvas, a
// menu bar compiled from the application's menu-bar group, and a status bar
// with messages, the current tool, the command class in force, the ink and
// the number of strokes, and below them a hint with the mouse buttons and
// every key.
class SketchWindow : public tnUI::DocumentWindow {
public:
    SketchWindow(tnUI::DocumentInstance* instance, Drawing* drawing);
    ~SketchWindow() override;

    // Shows the Qt window.
    void realizeWindow() override;
    // While the drawing has strokes that were neither saved nor discarded,
    // whoever closes the window (the user, Quit, the application), asks what
    // becomes of them: Save saves and closes, unless the picture could not be
    // written; Discard closes; Cancel keeps the window open. An exit the
    // application forces closes at once.
    bool canCloseWindow() override;

    Canvas* canvas() const { return m_canvas; }
    QMainWindow* mainWindow() const { return m_mainWindow; }
    // The binding that keeps the menu bar in step with the application's
    // menu-bar group; null once the main window is gone.
    tnUI::CommandMenuBar* menuBarBinding() const { return m_menuBar; }
    // Shows text in the status bar for a few seconds.
    void showMessage(const QString& text);
    // The message shown now, empty once it has timed out.
    QString message() const;
    // The hint with the mouse buttons and the keys.
    QLabel* hint() const;

private:
    enum class CloseAnswer { Save, Discard, Cancel };

    // Asks, over this window, what becomes of the unsaved strokes; Cancel is
    // the default answer.
    CloseAnswer askToClose();
    void clientCall(tnUI::CommandController::CallType type, tnUI::CallInfo& call, bool before);
    void classChanged(tnUI::CommandClass* commandClass, bool becomesCurrent);
    void updateStatus();

    QPointer<Drawing> m_drawing;
    QPointer<QMainWindow> m_mainWindow;
    QPointer<tnUI::CommandMenuBar> m_menuBar;
    QPointer<Canvas> m_canvas;
    QPointer<QLabel> m_tool;
    QPointer<QLabel> m_class;
    QPointer<QLabel> m_ink;
    QPointer<QLabel> m_strokes;
    QPointer<QLabel> m_message;
    QPointer<QLabel> m_hint;
    QPointer<QTimer> m_messageTimer;
    bool m_discarded = false;
    // The question is up: it runs an event loop, in which the window may be
    // asked to close again.
    bool m_asking = false;
    // The calls into commands made by the selection under way.
    QStringList m_calls;
    int m_selectDepth = 0;
};
