#include "InputEvents.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QWheelEvent>
#include <QWidget>

#include <bit>
#include <utility>

namespace tnUI {

namespace {

tnLinear::Point2 point(const QPointF& p)
{
    return tnLinear::Point2(p.x(), p.y());
}

// The three positions of an event received by widget at local.
struct Positions {
    tnLinear::Point2 local;
    tnLinear::Point2 window;
    tnLinear::Point2 screen;
};

Positions positions(const QWidget& widget, const QPointF& local, const QPointF& global, const QTransform& toLocal)
{
    return {point(toLocal.map(local)), point(widget.mapTo(widget.window(), local)), point(global)};
}

KeyName offset(KeyName first, int steps)
{
    return static_cast<KeyName>(static_cast<int>(first) + steps);
}

} // namespace

int keyModifiers(Qt::KeyboardModifiers modifiers)
{
    int bits = KeyModifier::NoModifier;
    if (modifiers & Qt::ShiftModifier)
        bits |= KeyModifier::Shift;
    if (modifiers & Qt::ControlModifier)
        bits |= KeyModifier::Ctrl;
    if (modifiers & Qt::AltModifier)
        bits |= KeyModifier::Alt;
    if (modifiers & Qt::MetaModifier)
        bits |= KeyModifier::Meta;
    return bits;
}

KeyName keyName(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return offset(KeyName::A, qtKey - Qt::Key_A);
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return offset(keypad ? KeyName::Keypad0 : KeyName::Digit0, qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return offset(KeyName::F1, qtKey - Qt::Key_F1);
    // The keys whose name does not depend on the keypad flag.
    static constexpr std::pair<int, KeyName> table[] = {
        {Qt::Key_Left, KeyName::Left},
        {Qt::Key_Right, KeyName::Right},
        {Qt::Key_Up, KeyName::Up},
        {Qt::Key_Down, KeyName::Down},
        {Qt::Key_Home, KeyName::Home},
        {Qt::Key_End, KeyName::End},
        {Qt::Key_PageUp, KeyName::PageUp},
        {Qt::Key_PageDown, KeyName::PageDown},
        {Qt::Key_Insert, KeyName::Insert},
        {Qt::Key_Delete, KeyName::Delete},
        {Qt::Key_Backspace, KeyName::Backspace},
        {Qt::Key_Space, KeyName::Space},
        {Qt::Key_Tab, KeyName::Tab},
        {Qt::Key_Backtab, KeyName::Tab},
        {Qt::Key_Return, KeyName::Return},
        {Qt::Key_Enter, KeyName::Enter},
        {Qt::Key_Escape, KeyName::Escape},
        {Qt::Key_Comma, KeyName::Comma},
        {Qt::Key_Semicolon, KeyName::Semicolon},
        {Qt::Key_Apostrophe, KeyName::Quote},
        {Qt::Key_BracketLeft, KeyName::BracketLeft},
        {Qt::Key_BracketRight, KeyName::BracketRight},
        {Qt::Key_Backslash, KeyName::Backslash},
        {Qt::Key_Equal, KeyName::Equal},
        {Qt::Key_QuoteLeft, KeyName::Grave},
        {Qt::Key_Asterisk, KeyName::KeypadMultiply},
        {Qt::Key_Shift, KeyName::Shift},
        {Qt::Key_Control, KeyName::Control},
        {Qt::Key_Alt, KeyName::Alt},
        {Qt::Key_AltGr, KeyName::Alt},
        {Qt::Key_Meta, KeyName::Meta},
        {Qt::Key_Super_L, KeyName::Meta},
        {Qt::Key_Super_R, KeyName::Meta},
        {Qt::Key_CapsLock, KeyName::CapsLock},
        {Qt::Key_NumLock, KeyName::NumLock},
        {Qt::Key_ScrollLock, KeyName::ScrollLock},
        {Qt::Key_Print, KeyName::Print},
        {Qt::Key_SysReq, KeyName::Print},
        {Qt::Key_Pause, KeyName::Pause},
        {Qt::Key_Menu, KeyName::Menu},
    };
    switch (qtKey) {
    case Qt::Key_Period: return keypad ? KeyName::KeypadDecimal : KeyName::Period;
    case Qt::Key_Slash: return keypad ? KeyName::KeypadDivide : KeyName::Slash;
    case Qt::Key_Minus: return keypad ? KeyName::KeypadMinus : KeyName::Minus;
    case Qt::Key_Plus: return keypad ? KeyName::KeypadPlus : KeyName::Plus;
    default: break;
    }
    for (const auto& [qt, name] : table) {
        if (qt == qtKey)
            return name;
    }
    return KeyName::None;
}

MouseEvent::Button mouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::NoButton: return MouseEvent::NoButton;
    case Qt::LeftButton: return MouseEvent::Left;
    case Qt::RightButton: return MouseEvent::Right;
    case Qt::MiddleButton: return MouseEvent::Middle;
    default:
        // Back, Forward and the extra buttons follow Qt's bit order, which
        // from Back on is the library's.
        return static_cast<MouseEvent::Button>(MouseEvent::Back + std::countr_zero(static_cast<unsigned>(button)) -
                                               std::countr_zero(static_cast<unsigned>(Qt::BackButton)));
    }
}

int mouseButtonMask(Qt::MouseButtons buttons)
{
    // Qt's bits from Back on are the library's; left, right and middle are
    // ordered differently.
    int mask = static_cast<int>(buttons.toInt() & ~unsigned(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton));
    if (buttons & Qt::LeftButton)
        mask |= MouseEvent::LeftMask;
    if (buttons & Qt::MiddleButton)
        mask |= MouseEvent::MiddleMask;
    if (buttons & Qt::RightButton)
        mask |= MouseEvent::RightMask;
    return mask;
}

TabletEvent::DeviceType tabletDevice(const QPointingDevice* device)
{
    switch (device ? device->type() : QInputDevice::DeviceType::Unknown) {
    case QInputDevice::DeviceType::Stylus:
        return device->capabilities() & QInputDevice::Capability::Rotation ? TabletEvent::RotationStylus
                                                                           : TabletEvent::Stylus;
    case QInputDevice::DeviceType::Airbrush: return TabletEvent::Airbrush;
    case QInputDevice::DeviceType::Puck: return TabletEvent::Puck;
    default: return TabletEvent::UnknownDevice;
    }
}

TabletEvent::PointerType tabletPointer(const QPointingDevice* device)
{
    switch (device ? device->pointerType() : QPointingDevice::PointerType::Unknown) {
    case QPointingDevice::PointerType::Pen: return TabletEvent::Pen;
    case QPointingDevice::PointerType::Eraser: return TabletEvent::Eraser;
    case QPointingDevice::PointerType::Cursor: return TabletEvent::Cursor;
    default: return TabletEvent::UnknownPointer;
    }
}

MouseEvent toMouseEvent(const QMouseEvent& e, const QWidget& widget, const QTransform& toLocal)
{
    MouseEvent::Button button = MouseEvent::NoButton;
    int clicks = 0;
    switch (e.type()) {
    case QEvent::MouseButtonPress:
        button = mouseButton(e.button());
        clicks = 1;
        break;
    case QEvent::MouseButtonDblClick:
        button = mouseButton(e.button());
        clicks = 2;
        break;
    case QEvent::MouseButtonRelease: button = MouseEvent::ButtonUp; break;
    default:
        // A drag names the first button held, in Qt's order.
        if (const auto held = static_cast<unsigned>(e.buttons().toInt()))
            button = mouseButton(static_cast<Qt::MouseButton>(1U << std::countr_zero(held)));
        break;
    }
    const Positions p = positions(widget, e.position(), e.globalPosition(), toLocal);
    return MouseEvent(p.local, p.window, p.screen, button, clicks, keyModifiers(e.modifiers()),
                      mouseButtonMask(e.buttons()));
}

TabletEvent toTabletEvent(const QTabletEvent& e, const QWidget& widget, const QTransform& toLocal)
{
    const bool tip = e.button() == Qt::LeftButton;
    TabletEvent::Type type = e.buttons() & Qt::LeftButton ? TabletEvent::Drag : TabletEvent::Motion;
    switch (e.type()) {
    case QEvent::TabletPress:
        if (tip)
            type = TabletEvent::Press;
        break;
    case QEvent::TabletRelease:
        if (tip)
            type = TabletEvent::Release;
        break;
    case QEvent::TabletEnterProximity: type = TabletEvent::Enter; break;
    case QEvent::TabletLeaveProximity: type = TabletEvent::Leave; break;
    default: break;
    }
    const QPointingDevice* device = e.pointingDevice();
    const qint64 id = device ? device->uniqueId().numericId() : -1;
    const Positions p = positions(widget, e.position(), e.globalPosition(), toLocal);
    return TabletEvent(type, tabletDevice(device), tabletPointer(device), p.local, p.window, p.screen,
                       tnLinear::Vector2(e.xTilt(), e.yTilt()), e.pressure(), e.rotation(),
                       bool(e.buttons() & (Qt::MiddleButton | Qt::RightButton)), keyModifiers(e.modifiers()),
                       id < 0 ? 0 : static_cast<int>(id));
}

WheelEvents toWheelEvents(const QWheelEvent& e, const QWidget& widget, const QTransform& toLocal)
{
    // Qt gives the angle wherever the platform can; a pixel delta alone is
    // turned into an angle.
    QPoint delta = e.angleDelta();
    if (delta.isNull())
        delta = e.pixelDelta() * eighthsPerPixel;
    const Positions p = positions(widget, e.position(), e.globalPosition(), toLocal);
    const int modifiers = keyModifiers(e.modifiers());
    WheelEvents result;
    if (delta.y() != 0)
        result.events[result.count++] =
            WheelEvent(p.local, p.window, p.screen, delta.y(), WheelEvent::Vertical, modifiers);
    if (delta.x() != 0)
        result.events[result.count++] =
            WheelEvent(p.local, p.window, p.screen, delta.x(), WheelEvent::Horizontal, modifiers);
    return result;
}

std::optional<KeyEvent> toKeyEvent(const QKeyEvent& e, const QWidget& widget, const QTransform& toLocal)
{
    const bool pressed = e.type() == QEvent::KeyPress;
    if (!pressed && e.isAutoRepeat())
        return std::nullopt;
    const QPoint global = QCursor::pos(widget.screen());
    const Positions p = positions(widget, widget.mapFromGlobal(QPointF(global)), global, toLocal);
    return KeyEvent(keyName(e.key(), e.modifiers()), keyModifiers(e.modifiers()), pressed, p.local, p.window, p.screen);
}

} // namespace tnUI
