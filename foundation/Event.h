#pragma once

#include "Export.h"

#include "KeyName.h"
#include "Linear.h"

namespace tnUI {

/// The modifier keys held during an input event, as a bit set.
class TNUI_EXPORT KeyModifier {
public:
    /// The modifier bits.
    enum EModifier : int {
        NoModifier = 0,
        Shift = 1,
        Ctrl = 2,
        Alt = 4,
        Meta = 8,
    };
};

/// Root of the input events that a host builds from its toolkit's input.
class TNUI_EXPORT Event {
public:
    Event() = default;
    /// A copy of the given one.
    Event(const Event&) = default;
    /// Assigns a copy of the given one.
    Event& operator=(const Event&) = default;
    virtual ~Event();
};

/// An event at a pointer position, given three ways: on the screen, in the
/// window, and local to the pane or widget that received it.
class TNUI_EXPORT PositionEvent : public Event {
public:
    PositionEvent() = default;
    /// An event at the three positions.
    PositionEvent(const tnLinear::Point2& local, const tnLinear::Point2& window, const tnLinear::Point2& screen)
        : m_local(local), m_window(window), m_screen(screen)
    {}
    /// A copy of the given one.
    PositionEvent(const PositionEvent&) = default;
    /// Assigns a copy of the given one.
    PositionEvent& operator=(const PositionEvent&) = default;
    ~PositionEvent() override;

    /// The position on the screen.
    const tnLinear::Point2& getScreenXY() const { return m_screen; }
    /// The position in the window.
    const tnLinear::Point2& getWindowXY() const { return m_window; }
    /// The position in the pane or widget that received the event.
    const tnLinear::Point2& getLocalXY() const { return m_local; }

private:
    tnLinear::Point2 m_local;
    tnLinear::Point2 m_window;
    tnLinear::Point2 m_screen;
};

/// A mouse press, drag, release or plain motion. The button says which it is:
///
///     button             clicks  meaning            isPress  isButtonHeld  isButtonActive
///     NoButton (0)       any     motion, no button  no       no            no
///     ButtonUp (1)       any     a press ends       no       no            yes
///     Left, Middle, ...  >= 1    a press begins     yes      yes           yes
///     Left, Middle, ...  <= 0    drag, button held  no       yes           yes
///
/// Any int is a valid Button: values past Forward stand for further buttons,
/// negative values, like NoButton, for none.
///
/// The three integers are the click count (1 for a single press, 2 for a
/// double click, 0 for anything that is not a press), the modifier keys
/// (KeyModifier bits) and the buttons down after the event (ButtonMask bits).
class TNUI_EXPORT MouseEvent : public PositionEvent {
public:
    /// Which button, or what the event is when none (see the table above).
    enum Button : int {
        NoButton = 0,
        ButtonUp = 1,
        Left = 2,
        Middle = 3,
        Right = 4,
        Back = 5,
        Forward = 6,
    };
    /// The bit of a button in getButtons(): 1 << (button - Left).
    enum ButtonMask : int {
        LeftMask = 1,
        MiddleMask = 2,
        RightMask = 4,
        BackMask = 8,
        ForwardMask = 16,
    };

    MouseEvent() = default;
    /// An event with all its fields.
    MouseEvent(const tnLinear::Point2& local, const tnLinear::Point2& window, const tnLinear::Point2& screen,
               Button button, int clicks, int modifiers, int buttons)
        : PositionEvent(local, window, screen), m_button(button), m_clicks(clicks), m_modifiers(modifiers),
          m_buttons(buttons)
    {}
    /// A copy of the given one.
    MouseEvent(const MouseEvent&) = default;
    /// Assigns a copy of the given one.
    MouseEvent& operator=(const MouseEvent&) = default;
    ~MouseEvent() override;

    /// The button.
    Button getButton() const { return m_button; }
    /// The click count.
    int getClickCount() const { return m_clicks; }
    /// The modifiers.
    int getModifiers() const { return m_modifiers; }
    /// The buttons.
    int getButtons() const { return m_buttons; }

    /// The event begins a press.
    virtual bool isPress() const;
    /// A button is held during the event (a press or a drag).
    virtual bool isButtonHeld() const;
    /// The event concerns a button: a press, a drag or the end of a press.
    virtual bool isButtonActive() const;

private:
    Button m_button = NoButton;
    int m_clicks = 0;
    int m_modifiers = 0;
    int m_buttons = 0;
};

/// A stylus (or other tablet device) event:
///
///     type            meaning                          isPress isButtonHeld isRelease
///     Press (0)       the tip touches down              yes     yes          no
///     Drag (1)        moves with the tip down           no      yes          no
///     Motion (2)      moves in proximity, nothing held  no      no           no
///     Release (3)     the tip lifts                     no      no           yes
///     Enter (4)       the device comes into proximity   no      no           no
///     Leave (5)       the device leaves proximity       no      no           no
///
/// The flag tells whether a side (barrel) button of the stylus is down; the
/// two integers are the modifier keys (KeyModifier bits) and the device's
/// serial number (0 when unknown).
class TNUI_EXPORT TabletEvent : public PositionEvent {
public:
    /// What the device did (see the table above).
    enum Type : int {
        Press = 0,
        Drag = 1,
        Motion = 2,
        Release = 3,
        Enter = 4,
        Leave = 5,
    };
    /// The kind of device.
    enum DeviceType : int {
        UnknownDevice = 0,
        NoDevice = 1,
        Stylus = 2,
        Airbrush = 3,
        Puck = 4,
        RotationStylus = 5,
    };
    /// Which end of the device.
    enum PointerType : int {
        UnknownPointer = 0,
        Pen = 1,
        Eraser = 2,
        Cursor = 3,
    };

    /// A motion of no device.
    TabletEvent() = default;
    /// An event with all its fields.
    TabletEvent(Type type, DeviceType device, PointerType pointer, const tnLinear::Point2& local,
                const tnLinear::Point2& window, const tnLinear::Point2& screen, const tnLinear::Vector2& tilt,
                double pressure, double rotation, bool sideButton, int modifiers, int serial)
        : PositionEvent(local, window, screen), m_type(type), m_device(device), m_pointer(pointer), m_tilt(tilt),
          m_pressure(pressure), m_rotation(rotation), m_sideButton(sideButton), m_modifiers(modifiers), m_serial(serial)
    {}
    /// A copy of the given one.
    TabletEvent(const TabletEvent&) = default;
    /// Assigns a copy of the given one.
    TabletEvent& operator=(const TabletEvent&) = default;
    ~TabletEvent() override;

    /// The type.
    Type getType() const { return m_type; }
    /// The device.
    DeviceType getDevice() const { return m_device; }
    /// The pointer type.
    PointerType getPointerType() const { return m_pointer; }
    /// Tip pressure, 0 (none) to 1 (full).
    double getPressure() const { return m_pressure; }
    /// Rotation of the stylus about its axis, in degrees.
    double getRotation() const { return m_rotation; }
    /// Tilt towards x and y, in degrees from the vertical.
    const tnLinear::Vector2& getTilt() const { return m_tilt; }
    /// Whether it is side button down.
    bool isSideButtonDown() const { return m_sideButton; }
    /// The modifiers.
    int getModifiers() const { return m_modifiers; }
    /// The serial.
    int getSerial() const { return m_serial; }

    /// Whether it is press.
    virtual bool isPress() const;
    /// Whether it is button held.
    virtual bool isButtonHeld() const;
    /// Whether it is release.
    virtual bool isRelease() const;

private:
    Type m_type = Motion;
    DeviceType m_device = NoDevice;
    PointerType m_pointer = UnknownPointer;
    tnLinear::Vector2 m_tilt;
    double m_pressure = 0.0;
    double m_rotation = 0.0;
    bool m_sideButton = false;
    int m_modifiers = 0;
    int m_serial = 0;
};

/// A turn of the mouse wheel: delta is in eighths of a degree (one notch of a
/// common wheel is 120), positive away from the user.
class TNUI_EXPORT WheelEvent : public PositionEvent {
public:
    /// The wheel's direction.
    enum Orientation : int {
        Vertical = 0,
        Horizontal = 1,
    };

    WheelEvent() = default;
    /// An event with all its fields.
    WheelEvent(const tnLinear::Point2& local, const tnLinear::Point2& window, const tnLinear::Point2& screen, int delta,
               Orientation orientation, int modifiers)
        : PositionEvent(local, window, screen), m_delta(delta), m_orientation(orientation), m_modifiers(modifiers)
    {}
    /// A copy of the given one.
    WheelEvent(const WheelEvent&) = default;
    /// Assigns a copy of the given one.
    WheelEvent& operator=(const WheelEvent&) = default;
    ~WheelEvent() override;

    /// The delta.
    int getDelta() const { return m_delta; }
    /// The orientation.
    Orientation getOrientation() const { return m_orientation; }
    /// The modifiers.
    int getModifiers() const { return m_modifiers; }

private:
    int m_delta = 0;
    Orientation m_orientation = Vertical;
    int m_modifiers = 0;
};

/// A key going down or up, with the pointer position at that moment.
class TNUI_EXPORT KeyEvent : public PositionEvent {
public:
    KeyEvent() = default;
    /// An event with all its fields.
    KeyEvent(KeyName key, int modifiers, bool pressed, const tnLinear::Point2& local, const tnLinear::Point2& window,
             const tnLinear::Point2& screen)
        : PositionEvent(local, window, screen), m_key(key), m_modifiers(modifiers), m_pressed(pressed)
    {}
    /// A copy of the given one.
    KeyEvent(const KeyEvent&) = default;
    /// Assigns a copy of the given one.
    KeyEvent& operator=(const KeyEvent&) = default;
    ~KeyEvent() override;

    /// The key.
    KeyName getKey() const { return m_key; }
    /// The modifiers.
    int getModifiers() const { return m_modifiers; }
    /// Whether it is pressed.
    bool isPressed() const { return m_pressed; }
    /// Whether it is released.
    bool isReleased() const { return !m_pressed; }

private:
    KeyName m_key = KeyName::None;
    int m_modifiers = 0;
    bool m_pressed = true;
};

} // namespace tnUI
