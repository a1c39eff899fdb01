#pragma once

#include <tnUI/foundation/Export.h>

#include <tnUI/application/ToolkitImpl.h>
#include <tnUI/entity/WatchedPointer.h>
#include <tnUI/foundation/Signal.h>

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tnUI {

class DocumentWindow;
class UtilityWindow;
class Window;

/// The toolkit implementation of a window over any widget, a QMainWindow or a
/// dialog as well as a plain QWidget. Raise shows the widget, restores it when
/// minimized and brings it to the front; hide hides it; isVisible is the
/// widget's; the widget's title is the window's label, as it changes (a
/// window without label leaves the title to the host).
///
/// Closing: the window counts as closed when this object is destroyed, and
/// this object is destroyed when the widget closes, whoever closes it:
///   - the model (closeWindow, Application::closeAllWindows) closes the
///     widget, unless its close event is ignored: then the window stays open
///     and a pending exit request is withdrawn, as when a document window
///     refuses (closeAllWindows goes on with the other windows);
///   - the user, or close(), when the widget accepts its close event. A
///     document window is asked canCloseWindow() first, and its refusal keeps
///     the widget open.
/// While bound the widget is deleted when it closes (Qt::WA_DeleteOnClose),
/// and its deletion closes the window.
///
/// Either side may go first. When the window dies without closing, or when
/// this object is deleted by the host, the widget is let go as it is (the
/// host's again, with its own WA_DeleteOnClose setting).
class TNUI_EXPORT WidgetWindowImpl : public QObject, public ToolkitWindowImpl {
    Q_OBJECT
public:
    /// Binds widget to window: an implementation that lives as long as the
    /// binding. NullError for a null widget or window; DuplicateError when
    /// the window has an implementation already. The widget the window
    /// stores for the host (getQtDocumentWindow) is left as it is.
    static WidgetWindowImpl* bind(QWidget* widget, DocumentWindow* window);
    /// The same for a utility window.
    static WidgetWindowImpl* bind(QWidget* widget, UtilityWindow* window);
    /// The widget bound to window, or null.
    static QWidget* widgetOf(const Window* window);

    ~WidgetWindowImpl() override;

    /// The widget bound; null once it has died.
    QWidget* widget() const { return m_widget; }
    /// The model's window; null once it has died.
    Window* window() const { return m_window.get(); }

    void raise() override;
    void hide() override;
    void close() override;
    bool isVisible() override;

protected:
    /// A close of the widget from outside the model asks the document window first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WidgetWindowImpl(QWidget* widget, Window* window);

    void _updateTitle();
    void _windowLost();

    QPointer<QWidget> m_widget;
    WatchedPointer<Window> m_window;
    /// The model is closing the widget: it asked the document window already.
    bool m_closing = false;
    bool m_widgetDeletesOnClose = false;
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
