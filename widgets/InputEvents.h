#pragma once

#include <tnUI/foundation/Export.h>

#include <tnUI/foundation/Event.h>
#include <tnUI/foundation/KeyName.h>

#include <QTransform>
#include <Qt>

#include <optional>

class QKeyEvent;
class QMouseEvent;
class QPointingDevice;
class QTabletEvent;
class QWheelEvent;
class QWidget;

namespace tnUI {

// Translations of Qt's input events into the library's, for a host that
// hands a widget's input to a command controller itself (InputForwarder does
// it for any widget).
//
// Each event is placed three ways: local, in the coordinates of the widget
// that received it, mapped through toLocal (for tools that work in
// coordinates of their own, such as a zoomed drawing's); in the widget's
// top-level window; and on the screen.

/// The KeyModifier bits of Qt's modifiers; the keypad flag is not one.
TNUI_EXPORT int keyModifiers(Qt::KeyboardModifiers modifiers);
/// The key of a Qt key code. The keypad flag tells the keypad's digits and
/// operators from the main keyboard's; Shift+Tab is Tab. None for a key the
/// table has no name for.
TNUI_EXPORT KeyName keyName(int qtKey, Qt::KeyboardModifiers modifiers);
/// Left, Middle, Right, Back, Forward, and the further buttons after
/// Forward in the order of Qt's extra buttons; NoButton for none.
TNUI_EXPORT MouseEvent::Button mouseButton(Qt::MouseButton button);
/// The MouseEvent::ButtonMask bits of the buttons held.
TNUI_EXPORT int mouseButtonMask(Qt::MouseButtons buttons);
/// A tablet device's kind: a stylus that reports rotation is a
/// RotationStylus; UnknownDevice for null or a device that is no tablet's.
TNUI_EXPORT TabletEvent::DeviceType tabletDevice(const QPointingDevice* device);
TNUI_EXPORT TabletEvent::PointerType tabletPointer(const QPointingDevice* device);

/// A press (click count 1, or 2 for a double click) of the event's button, a
/// drag with the first button held, a motion with none, or the end of a press
/// (ButtonUp; the buttons still held are in the mask).
TNUI_EXPORT MouseEvent toMouseEvent(const QMouseEvent& e, const QWidget& widget,
                                    const QTransform& toLocal = QTransform());

/// A press or release of the tip (the left button) is a Press or Release; any
/// other tablet event is a Drag while the tip is down and a Motion otherwise.
/// A barrel button (middle or right) down sets the side-button flag. Tilt and
/// rotation are in degrees, pressure from 0 to 1; the serial number is the
/// device's unique id, 0 when it has none.
TNUI_EXPORT TabletEvent toTabletEvent(const QTabletEvent& e, const QWidget& widget,
                                      const QTransform& toLocal = QTransform());

/// The wheel events of one Qt wheel event: a vertical turn, then a horizontal
/// one, each only when it is not zero.
struct WheelEvents {
    /// The events, the first count of them valid.
    WheelEvent events[2];
    /// How many events there are, 0 to 2.
    int count = 0;
};

/// A turn reaches the library in eighths of a degree, as Qt's angle delta
/// measures it: a high-resolution wheel's small steps arrive as they are, not
/// rounded to notches. An event with a pixel delta only (a touchpad whose
/// platform gives no angle) counts eighthsPerPixel eighths per pixel.
TNUI_EXPORT WheelEvents toWheelEvents(const QWheelEvent& e, const QWidget& widget,
                                      const QTransform& toLocal = QTransform());
/// A notch (120) for 60 pixels: what Qt's views scroll for a notch, three
/// lines of twenty pixels.
inline constexpr int eighthsPerPixel = 2;

/// A key going down or up, at the pointer's position (a key event has none of
/// its own). An auto-repeated press is a press; an auto-repeated release is
/// nothing, since the key is still held.
TNUI_EXPORT std::optional<KeyEvent> toKeyEvent(const QKeyEvent& e, const QWidget& widget,
                                               const QTransform& toLocal = QTransform());

} // namespace tnUI
