#pragma once

#include <tnUI/application/ToolkitImpl.h>
#include <tnUI/application/UtilityWindow.h>

#include <tnUI/widgets/ArgumentPaneWidget.h>

#include <QPointer>
#include <QWidget>

namespace tnUI {
class Argument;
class DocumentWindow;
class WidgetArgumentPane;
} // namespace tnUI

// The Qt window of a utility window (the widget class that the library's
// utility window refers to): a tool window showing one pane's widget.
// Closing it from the window system closes the utility window.
class QtUtilityWindow : public QWidget {
public:
    QtUtilityWindow();

    // Called when the window system closes the window; null: nothing.
    void setImpl(tnUI::ToolkitWindowImpl* impl) { m_impl = impl; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    tnUI::ToolkitWindowImpl* m_impl = nullptr;
};

// The binding of a utility window to its Qt window. Closing destroys this
// object, which tells the utility window that it is closed; the Qt window
// goes with it.
class ToolWindowImpl : public tnUI::ToolkitWindowImpl {
public:
    explicit ToolWindowImpl(QtUtilityWindow* window);
    ~ToolWindowImpl() override;

    void raise() override;
    void hide() override;
    void close() override;
    bool isVisible() override;

private:
    QPointer<QtUtilityWindow> m_window;
};

// The tool-options window of a document window: an argument pane showing
// the program's tool options, beside the document window.
class ToolOptionsWindow : public tnUI::UtilityWindow {
public:
    ToolOptionsWindow(tnUI::DocumentWindow* documentWindow, tnUI::Argument* options);

    QtUtilityWindow* qtWindow() const { return m_window; }
    tnUI::ArgumentPaneWidget* paneWidget() const { return m_paneWidget; }

private:
    QPointer<QtUtilityWindow> m_window;
    QPointer<tnUI::ArgumentPaneWidget> m_paneWidget;
};
