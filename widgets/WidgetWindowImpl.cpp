#include "WidgetWindowImpl.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/DocumentWindow.h>
#include <tnUI/application/UtilityWindow.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>

#include <QEvent>

namespace tnUI {

WidgetWindowImpl* WidgetWindowImpl::bind(QWidget* widget, DocumentWindow* window)
{
    if (!widget || !window)
        throw NullError();
    if (window->getToolkitImpl())
        throw DuplicateError();
    auto* impl = new WidgetWindowImpl(widget, window);
    window->setQtDocumentWindow(window->getQtDocumentWindow(), impl);
    return impl;
}

WidgetWindowImpl* WidgetWindowImpl::bind(QWidget* widget, UtilityWindow* window)
{
    if (!widget || !window)
        throw NullError();
    if (window->getToolkitImpl())
        throw DuplicateError();
    auto* impl = new WidgetWindowImpl(widget, window);
    window->setQtUtilityWindow(window->getQtUtilityWindow(), impl);
    return impl;
}

QWidget* WidgetWindowImpl::widgetOf(const Window* window)
{
    const auto* impl = window ? dynamic_cast<const WidgetWindowImpl*>(window->getToolkitImpl()) : nullptr;
    return impl ? impl->widget() : nullptr;
}

WidgetWindowImpl::WidgetWindowImpl(QWidget* widget, Window* window)
    : m_widget(widget), m_window(window), m_widgetDeletesOnClose(widget->testAttribute(Qt::WA_DeleteOnClose))
{
    m_window.setCallback<&WidgetWindowImpl::_windowLost>(this);
    // A widget that closed is gone, and with it the window: see the
    // destroyed connection.
    widget->setAttribute(Qt::WA_DeleteOnClose);
    widget->installEventFilter(this);
    // The pointer is not null yet while the widget is destroyed.
    connect(widget, &QObject::destroyed, this, [this] {
        m_widget = nullptr;
        delete this;
    });
    tnRTB::connect(window->messageSignal, &m_client, [this](Message& m) {
        const Window* w = m_window.get();
        const Label* label = w ? w->getLabel() : nullptr;
        if ((m.getType() == Message::Label && m.getEntity() == w) || (label && m.entityPresent(label)))
            _updateTitle();
    });
    _updateTitle();
}

WidgetWindowImpl::~WidgetWindowImpl()
{
    // Cut before the base tells the window: its listeners may delete the
    // widget or send messages.
    m_client.disconnectAll();
    m_window = nullptr;
    if (m_widget) {
        disconnect(m_widget, nullptr, this, nullptr);
        m_widget->removeEventFilter(this);
        m_widget->setAttribute(Qt::WA_DeleteOnClose, m_widgetDeletesOnClose);
    }
}

void WidgetWindowImpl::raise()
{
    if (!m_widget)
        return;
    if (m_widget->isMinimized())
        m_widget->setWindowState(m_widget->windowState() & ~Qt::WindowMinimized);
    m_widget->show();
    m_widget->raise();
    m_widget->activateWindow();
}

void WidgetWindowImpl::hide()
{
    if (m_widget)
        m_widget->hide();
}

void WidgetWindowImpl::close()
{
    // A widget in the middle of its destruction is as good as closed.
    if (!m_widget) {
        delete this;
        return;
    }
    // The close event's handlers may let go of this binding.
    const QPointer<WidgetWindowImpl> self(this);
    m_closing = true;
    const bool closed = m_widget->close();
    if (!self)
        return;
    m_closing = false;
    if (closed) {
        // Asked from within the widget's own close event (a host that hands
        // its closing to the application), Qt answers yes at once and leaves
        // the widget as it is: the closing is carried out here.
        if (m_widget && m_widget->isVisible()) {
            m_widget->hide();
            m_widget->deleteLater();
        }
        delete this;
        return;
    }
    // The widget refused, like a document window that cannot close: an exit
    // that was asked for does not happen.
    if (Application* app = Application::findInstance())
        app->cancelExit();
}

bool WidgetWindowImpl::isVisible()
{
    return m_widget && m_widget->isVisible();
}

bool WidgetWindowImpl::eventFilter(QObject* watched, QEvent* event)
{
    // A close from outside the model asks the document window first.
    if (event->type() != QEvent::Close || watched != m_widget || m_closing || !m_window ||
        !m_window->isDocumentWindow())
        return false;
    const tn::Reference<DocumentWindow> window = tn::keepAlive(static_cast<DocumentWindow*>(m_window.get()));
    if (!window)
        return false;
    const QPointer<QWidget> widget(m_widget);
    const QPointer<WidgetWindowImpl> self(this);
    const bool canClose = window->canCloseWindow();
    // The host may have deleted the widget while it answered: nothing must
    // receive the event then.
    if (!widget)
        return true;
    if (canClose || !self)
        return false;
    event->ignore();
    return true;
}

void WidgetWindowImpl::_updateTitle()
{
    const Label* label = m_window ? m_window->getLabel() : nullptr;
    if (m_widget && label)
        m_widget->setWindowTitle(QString::fromStdWString(label->asString().str()));
}

void WidgetWindowImpl::_windowLost()
{
    delete this;
}

} // namespace tnUI
