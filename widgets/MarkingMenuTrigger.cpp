#include "MarkingMenuTrigger.h"

#include "QMenuMarkingMenu.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/DocumentInstance.h>
#include <tnUI/application/DocumentWindow.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/menus/CommandGroup.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QShortcut>
#include <QStyleHints>
#include <QWidget>

#include <optional>
#include <typeinfo>
#include <utility>

namespace tnUI {

namespace {

// The model window setWidgetWindow gave a widget: a child of the widget,
// which forgets the window when it is destroyed.
class WindowTag : public QObject {
    Q_OBJECT
public:
    explicit WindowTag(QWidget* widget) : QObject(widget) {}

    WatchedPointer<Window> window;
};

QWidget* required(QWidget* widget)
{
    if (!widget)
        throw NullError();
    return widget;
}

// The event a trigger posts itself to pop its menu.
QEvent::Type popUpEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

WindowTag* tagOf(const QWidget* widget)
{
    return widget->findChild<WindowTag*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

MarkingMenuTrigger::MarkingMenuTrigger(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
    : QObject(required(widget)), m_widget(widget), m_button(button), m_modifiers(modifiers)
{
    // Exactly one button.
    const auto bits = static_cast<unsigned>(button);
    if (bits == 0 || (bits & (bits - 1)) != 0)
        throw ImplError();
    // On the application, to see presses on the widget's children too.
    if (!qApp)
        throw ImplError();
    qApp->installEventFilter(this);
    m_holdTimer.setSingleShot(true);
    connect(&m_holdTimer, &QTimer::timeout, this, [this] {
        // Held still: the menu pops where the finger is, the finger down.
        const std::unique_ptr<QMouseEvent> press = std::move(m_heldPress);
        if (press && _ready()) {
            m_pressed = true;
            _popUpLater(press->globalPosition().toPoint(), true);
        }
    });
}

MarkingMenuTrigger::MarkingMenuTrigger(QWidget* widget, CommandGroup* group, Qt::MouseButton button,
                                       Qt::KeyboardModifiers modifiers)
    : MarkingMenuTrigger(widget, button, modifiers)
{
    if (!group)
        throw NullError();
    m_popUp = new PopUpMenu(group);
}

MarkingMenuTrigger::MarkingMenuTrigger(QWidget* widget, QMenu* menu, Qt::MouseButton button,
                                       Qt::KeyboardModifiers modifiers)
    : MarkingMenuTrigger(widget, button, modifiers)
{
    m_menu = new QMenuMarkingMenu(menu, this);
}

MarkingMenuTrigger::~MarkingMenuTrigger()
{
    delete m_shortcut;
}

void MarkingMenuTrigger::_passHeldPress()
{
    m_holdTimer.stop();
    const std::unique_ptr<QMouseEvent> press = std::move(m_heldPress);
    if (!press || !m_heldFor)
        return;
    // Delivered as it came, not held again.
    m_passing = press.get();
    QCoreApplication::sendEvent(m_heldFor, press.get());
    m_passing = nullptr;
}

void MarkingMenuTrigger::setChosen(Chosen chosen)
{
    m_chosen = std::move(chosen);
}

void MarkingMenuTrigger::setKey(const QKeySequence& key)
{
    delete m_shortcut;
    m_key = key;
    if (key.isEmpty() || !m_widget)
        return;
    m_shortcut = new QShortcut(key, m_widget);
    m_shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(m_shortcut, &QShortcut::activated, this, [this] {
        if (m_widget)
            _popUpLater(_keyPoint(), false);
    });
}

QPoint MarkingMenuTrigger::_keyPoint() const
{
    const QPoint pointer = QCursor::pos();
    const bool over = m_widget->rect().contains(m_widget->mapFromGlobal(pointer));
    return over ? pointer : m_widget->mapToGlobal(m_widget->rect().center());
}

void MarkingMenuTrigger::popUp(const QPoint& global)
{
    if (!_ready())
        return;
    if (m_menu) {
        m_menu->exec(global);
        return;
    }
    // The menu runs its own event loop, in which the host may let go of
    // anything: the menu is held, this trigger guarded.
    const tn::Reference<PopUpMenu> menu(m_popUp);
    const QPointer<MarkingMenuTrigger> self(this);
    const tn::Reference<CommandInstance> chosen(menu->show(global.x(), global.y()));
    if (!self || !m_widget || !chosen)
        return;
    if (m_chosen) {
        const Chosen callback = m_chosen;
        callback(chosen.get());
        return;
    }
    if (const tn::Reference<Window> window(m_windowGiven ? m_window.get() : findWindow(m_widget)); window)
        window->selectCommand(chosen.get());
}

void MarkingMenuTrigger::setWidgetWindow(QWidget* widget, Window* window)
{
    if (!widget)
        throw NullError();
    WindowTag* tag = tagOf(widget);
    if (!tag && !window)
        return;
    if (!tag)
        tag = new WindowTag(widget);
    tag->window = window;
}

Window* MarkingMenuTrigger::findWindow(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const WindowTag* tag = tagOf(w); tag && tag->window)
            return tag->window;
    }
    const Application* app = Application::findInstance();
    const DocumentInstance* instance = app ? app->getActiveDocumentInstance() : nullptr;
    return instance ? instance->getDocumentWindow() : nullptr;
}

bool MarkingMenuTrigger::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TabletPress: {
        m_pressed = false;
        auto* press = static_cast<QSinglePointEvent*>(event);
        const QPointingDevice* device = press->pointingDevice();
        if (event->type() == QEvent::MouseButtonPress && m_button != Qt::LeftButton && !m_heldPress &&
            event != m_passing && device && device->type() == QInputDevice::DeviceType::TouchScreen &&
            press->button() == Qt::LeftButton && press->modifiers() == m_modifiers && _covers(watched) && _ready()) {
            // A finger: held back until it is clear whether it stays put.
            m_heldPress.reset(static_cast<QMouseEvent*>(press->clone()));
            m_heldFor = watched;
            m_holdTimer.start(QGuiApplication::styleHints()->mousePressAndHoldInterval());
            return true;
        }
        if (press->button() != m_button || press->buttons() != m_button || press->modifiers() != m_modifiers ||
            !_covers(watched) || !_ready())
            return false;
        // Accepted, a pen's press is not made into a mouse press too.
        press->accept();
        m_pressed = true;
        _popUpLater(press->globalPosition().toPoint(), true);
        return true;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        // A held finger that lifts or moves away goes to its widget.
        if (m_heldPress && watched == m_heldFor &&
            (event->type() == QEvent::MouseButtonRelease ||
             (event->type() == QEvent::MouseMove &&
              (static_cast<QMouseEvent*>(event)->globalPosition() - m_heldPress->globalPosition()).manhattanLength() >=
                  QGuiApplication::styleHints()->startDragDistance())))
            _passHeldPress();
        // The rest of a press whose menu has not begun yet is the menu's. A
        // release before it chooses nothing, as a press and release in
        // place does.
        if (!m_waitingForPress || !_covers(watched))
            return false;
        if ((event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::TabletRelease) &&
            static_cast<QSinglePointEvent*>(event)->button() == m_button)
            m_waiting = m_waitingForPress = false;
        event->accept();
        return true;
    case QEvent::ContextMenu:
        // The keyboard's Menu key.
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard && _covers(watched) &&
            _ready()) {
            _popUpLater(_keyPoint(), false);
            return true;
        }
        if (!m_pressed || static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Mouse ||
            !_covers(watched))
            return false;
        m_pressed = false;
        return true;
    default: return false;
    }
}

bool MarkingMenuTrigger::_ready() const
{
    return m_widget && m_widget->isVisible() && m_widget->isEnabled() && (m_popUp || (m_menu && m_menu->menu())) &&
           !QmarkMenuView::findView();
}

bool MarkingMenuTrigger::_covers(const QObject* watched) const
{
    if (!m_widget || !watched->isWidgetType())
        return false;
    const auto* w = static_cast<const QWidget*>(watched);
    return w == m_widget || m_widget->isAncestorOf(w);
}

void MarkingMenuTrigger::_popUpLater(const QPoint& global, bool fromPress)
{
    // Not inside the event that asks for it: Qt goes on delivering that
    // event to the widget afterwards, and the host may delete the widget
    // while the menu runs.
    if (!m_waiting)
        QCoreApplication::postEvent(this, new QEvent(popUpEventType()));
    m_waiting = true;
    m_waitingForPress = fromPress;
    m_waitingForKey = !fromPress;
    m_waitingAt = global;
}

bool MarkingMenuTrigger::event(QEvent* event)
{
    if (event->type() != popUpEventType())
        return QObject::event(event);
    m_waitingForPress = false;
    if (!std::exchange(m_waiting, false))
        return true;
    // Nothing may be thrown through Qt's event delivery.
    try {
        std::optional<QmarkMenuView::KeyboardOpening> opening;
        if (std::exchange(m_waitingForKey, false))
            opening.emplace();
        popUp(QPoint(m_waitingAt));
    } catch (const Error& e) {
        qWarning("tnUI: the marking menu's choice failed: %s", typeid(e).name());
    }
    return true;
}

} // namespace tnUI

#include "MarkingMenuTrigger.moc"
