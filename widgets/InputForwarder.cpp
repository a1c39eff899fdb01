#include "InputForwarder.h"

#include "InputEvents.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/DocumentInstance.h>
#include <tnUI/application/DocumentWindow.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/Error.h>
#include <tnUI/menus/CommandGroup.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabletEvent>
#include <QWheelEvent>

#include <utility>

namespace tnUI {

namespace {

// The first enabled command in group's tree, in the order of its elements,
// whose keybinding is key with exactly these modifiers.
CommandInstance* findIn(const Group& group, KeyName key, int modifiers)
{
    for (int i = 0; i < group.getNumElements(); ++i) {
        const Element* e = group.getElement(i);
        if (e->isGroup()) {
            if (CommandInstance* found = findIn(static_cast<const Group&>(*e), key, modifiers))
                return found;
            continue;
        }
        CommandInstance* command = e->commandToRun();
        const Keybinding* binding = e->getKeybinding();
        if (!binding && command)
            binding = command->getKeybinding();
        if (command && binding && binding->getKey() == key && binding->getModifier() == modifiers && e->getEnabled())
            return command;
    }
    return nullptr;
}

// The answer of the filter for a forwarded event: a widget that died
// meanwhile must not be handed the event.
bool finish(QEvent& e, const QPointer<QWidget>& widget, bool consume)
{
    if (!widget)
        return true;
    if (consume)
        e.accept();
    return consume;
}

} // namespace

InputForwarder::InputForwarder(QObject* parent) : QObject(parent)
{
    m_controller.setCallback<&InputForwarder::_modelLost>(this);
    m_instance.setCallback<&InputForwarder::_modelLost>(this);
}

InputForwarder::InputForwarder(QWidget* widget, DocumentInstance* instance, QObject* parent) : InputForwarder(parent)
{
    attach(widget, instance);
}

InputForwarder::~InputForwarder()
{
    detach();
}

void InputForwarder::attach(QWidget* widget, DocumentInstance* instance)
{
    if (!instance)
        throw NullError();
    attach(widget, &instance->getCommandController());
}

void InputForwarder::attach(QWidget* widget, CommandController* controller)
{
    if (!widget || !controller)
        throw NullError();
    detach();
    m_widget = widget;
    m_controller = controller;
    m_instance = controller->getDocumentInstance();
    m_widgetTracking = widget->hasMouseTracking();
    m_widgetTabletTracking = widget->hasTabletTracking();
    _applyTracking();
    widget->installEventFilter(this);
    // The pointer is not null yet while the widget is destroyed.
    connect(widget, &QObject::destroyed, this, [this] {
        m_widget = nullptr;
        detach();
    });
}

void InputForwarder::detach()
{
    if (m_widget) {
        disconnect(m_widget, nullptr, this, nullptr);
        m_widget->removeEventFilter(this);
        m_widget->setMouseTracking(m_widgetTracking);
        m_widget->setTabletTracking(m_widgetTabletTracking);
        m_widget = nullptr;
    }
    m_controller = nullptr;
    m_instance = nullptr;
    m_mouseHeld = false;
    m_stylusDown = false;
    // Released last: a command may die with its reference.
    const auto waiting = std::exchange(m_waiting, {});
}

void InputForwarder::setHoverMotion(bool hover)
{
    m_hover = hover;
    _applyTracking();
}

void InputForwarder::_applyTracking()
{
    if (!m_widget)
        return;
    m_widget->setMouseTracking(m_hover || m_widgetTracking);
    m_widget->setTabletTracking(m_hover || m_widgetTabletTracking);
}

void InputForwarder::setKeybindings(CommandGroup* group)
{
    m_keybindings = group;
    m_keysFromMenuBar = false;
}

CommandInstance* InputForwarder::findKeybinding(KeyName key, int modifiers) const
{
    const Application* app = Application::findInstance();
    const CommandGroup* group = m_keysFromMenuBar ? (app ? app->getMenuBar() : nullptr) : m_keybindings.get();
    if (!group || key == KeyName::None)
        return nullptr;
    if (CommandInstance* found = findIn(*group, key, modifiers))
        return found;
    // Shift that only makes a symbol is not part of the symbol's binding.
    const bool symbol = key >= KeyName::Comma && key <= KeyName::Plus;
    if (symbol && (modifiers & KeyModifier::Shift))
        return findIn(*group, key, modifiers & ~KeyModifier::Shift);
    return nullptr;
}

void InputForwarder::_modelLost()
{
    m_controller = nullptr;
    m_instance = nullptr;
    const auto waiting = std::exchange(m_waiting, {});
}

bool InputForwarder::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_widget || !m_controller)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: return _mouse(static_cast<QMouseEvent&>(*event));
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease: return _tablet(static_cast<QTabletEvent&>(*event));
    case QEvent::Wheel: return _wheel(static_cast<QWheelEvent&>(*event));
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return _key(static_cast<QKeyEvent&>(*event));
    default: return false;
    }
}

// Each handler holds what the tool may let go of while it runs: this
// forwarder, the widget and the controller may all die in a call out.
template <class E>
void InputForwarder::_forwardPointer(E& translated)
{
    // The tool may let go of this forwarder or of the controller.
    const QPointer<InputForwarder> self(this);
    const tn::Reference<CommandController> controller = tn::keepAlive(m_controller.get());
    if (!controller)
        return;
    controller->forwardEvent(translated);
    // A drag that ended runs the keys that waited for it.
    if (self)
        _runWaiting();
}

bool InputForwarder::_mouse(QMouseEvent& e)
{
    const QPointer<QWidget> widget(m_widget);
    const bool consume = m_consume;
    // Stylus input that Qt or the platform also sends as mouse events
    // arrived as tablet events already.
    const bool fromTablet = tabletDevice(e.pointingDevice()) != TabletEvent::UnknownDevice ||
                            (m_stylusDown && e.source() != Qt::MouseEventNotSynthesized);
    if (fromTablet)
        return finish(e, widget, consume);
    MouseEvent translated = toMouseEvent(e, *m_widget, m_toLocal);
    m_mouseHeld = e.buttons() != Qt::NoButton;
    _forwardPointer(translated);
    return finish(e, widget, consume);
}

bool InputForwarder::_tablet(QTabletEvent& e)
{
    const QPointer<QWidget> widget(m_widget);
    const bool consume = m_consume;
    TabletEvent translated = toTabletEvent(e, *m_widget, m_toLocal);
    m_stylusDown = e.buttons() & Qt::LeftButton;
    _forwardPointer(translated);
    return finish(e, widget, consume);
}

bool InputForwarder::_wheel(QWheelEvent& e)
{
    const QPointer<QWidget> widget(m_widget);
    const bool consume = m_consume;
    WheelEvents translated = toWheelEvents(e, *m_widget, m_toLocal);
    const QPointer<InputForwarder> self(this);
    const tn::Reference<CommandController> controller = tn::keepAlive(m_controller.get());
    for (int i = 0; i < translated.count; ++i) {
        // The second turn only goes where the first went.
        if (!self || m_controller.get() != controller.get())
            break;
        controller->forwardEvent(translated.events[i]);
    }
    return finish(e, widget, consume);
}

bool InputForwarder::_key(QKeyEvent& e)
{
    const QPointer<QWidget> widget(m_widget);
    // Tab and Shift+Tab still move the focus on, so that the keyboard can
    // leave the widget.
    const bool focusKey = (e.key() == Qt::Key_Tab || e.key() == Qt::Key_Backtab) &&
                          !(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool consume = m_consume && !focusKey;
    std::optional<KeyEvent> translated = toKeyEvent(e, *m_widget, m_toLocal);
    if (!translated)
        return finish(e, widget, consume);
    const QPointer<InputForwarder> self(this);
    const tn::Reference<CommandController> controller = tn::keepAlive(m_controller.get());
    if (!controller)
        return finish(e, widget, consume);
    controller->forwardEvent(*translated);
    if (!self || !m_controller || !translated->isPressed() || e.isAutoRepeat())
        return finish(e, widget, consume);
    // The tool has seen the key; its binding now selects a command.
    const tn::Reference<CommandInstance> command(findKeybinding(translated->getKey(), translated->getModifiers()));
    if (!command)
        return finish(e, widget, consume);
    const bool waits = m_waitForDrag && (m_mouseHeld || m_stylusDown);
    emit keybindingPressed(command.get(), waits);
    if (!self)
        return finish(e, widget, consume);
    if (waits)
        m_waiting.push_back(command);
    else
        _select(command.get());
    return finish(e, widget, consume);
}

void InputForwarder::_select(CommandInstance* command)
{
    const tn::Reference<CommandController> controller = tn::keepAlive(m_controller.get());
    if (!controller)
        return;
    DocumentInstance* instance = controller->getDocumentInstance();
    const tn::Reference<DocumentWindow> window = tn::keepAlive(instance ? instance->getDocumentWindow() : nullptr);
    if (window)
        window->selectCommand(command);
    else
        controller->select(nullptr, command);
}

void InputForwarder::_runWaiting()
{
    if (m_mouseHeld || m_stylusDown || m_waiting.empty())
        return;
    // A command may detach or destroy this forwarder: the list is taken
    // first, and the rest is dropped once this forwarder is let go.
    const auto waiting = std::exchange(m_waiting, {});
    const QPointer<InputForwarder> self(this);
    for (const auto& command : waiting) {
        if (!self || !m_controller)
            return;
        _select(command.get());
    }
}

} // namespace tnUI
