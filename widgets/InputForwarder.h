#pragma once

#include <tnUI/foundation/Export.h>

// Complete for the signal's argument, whose type Qt must know.
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/WatchedPointer.h>
#include <tnUI/foundation/KeyName.h>
#include <tnUI/foundation/ReferenceCount.h>

#include <QObject>
#include <QPointer>
#include <QTransform>
#include <QWidget>

#include <vector>

class QKeyEvent;
class QMouseEvent;
class QTabletEvent;
class QWheelEvent;

namespace tnUI {

class CommandController;
class CommandGroup;
class DocumentInstance;

/// Hands all the input of a widget to a command controller, the way a host's
/// canvas would: mouse presses, double clicks, motions and releases, wheel
/// turns, tablet events and key presses and releases, translated as
/// InputEvents.h says, in the widget's coordinates (or those of
/// setLocalTransform). It is an event filter on the widget, so the widget
/// needs no code of its own; a filter the host installs later sees the events
/// first and may keep some (a button that pops a menu) for itself.
///
/// A key press that matches a keybinding also selects its command, after the
/// current tool has seen the key, as a menu choice would: through the
/// document window, or on the controller when there is none. The keybindings
/// are those of the application's menu bar unless setKeybindings chose a
/// group; an auto-repeated press selects nothing again, and a disabled
/// command is passed over. The widget needs a focus policy to get keys; Tab
/// and Shift+Tab reach the tool and still move the focus on, so that the
/// keyboard can leave the widget.
///
/// Drags: Qt keeps sending a drag's events to the widget where it began, also
/// outside it, and so they reach the controller. A mouse event that Qt or the
/// platform makes from tablet input is not delivered: the tablet event it
/// stands for was.
///
/// The forwarder watches both sides: it stops when the widget, the document
/// instance or the controller dies, and lets go of the widget when it is
/// destroyed or detached. It holds no reference on the controller or the
/// instance.
class TNUI_EXPORT InputForwarder : public QObject {
    Q_OBJECT
public:
    /// Attached to nothing; see attach().
    explicit InputForwarder(QObject* parent = nullptr);
    /// Attached to widget and instance's controller at once.
    InputForwarder(QWidget* widget, DocumentInstance* instance, QObject* parent = nullptr);
    ~InputForwarder() override;

    /// Forwards widget's input to instance's controller, detaching first.
    /// NullError for a null widget or instance.
    void attach(QWidget* widget, DocumentInstance* instance);
    /// The same to a controller of its own, such as the application's.
    void attach(QWidget* widget, CommandController* controller);
    /// Stops forwarding and restores the widget's tracking; commands waiting
    /// for the end of a drag are dropped.
    void detach();

    /// The widget whose input is forwarded; null while detached.
    QWidget* widget() const { return m_widget; }
    /// The controller the events go to; null while detached.
    CommandController* controller() const { return m_controller.get(); }

    /// Whether forwarded events stop here, accepted (the default), or go on
    /// to the widget's own handlers too.
    void setConsumeEvents(bool consume) { m_consume = consume; }
    /// See setConsumeEvents().
    bool consumesEvents() const { return m_consume; }
    /// Whether the widget tracks the pointer, and the stylus in proximity, so
    /// that motions without a button reach tools that ask for every motion
    /// (the default). The widget's own setting comes back on detach.
    void setHoverMotion(bool hover);
    /// See setHoverMotion().
    bool hoverMotion() const { return m_hover; }
    /// Maps the widget's coordinates to the local positions of the events;
    /// the window and screen positions stay as they are.
    void setLocalTransform(const QTransform& toLocal) { m_toLocal = toLocal; }
    /// See setLocalTransform().
    const QTransform& localTransform() const { return m_toLocal; }
    /// The group whose keybindings select commands, its sub-groups included:
    /// a command instance's own keybinding counts when its element has none.
    /// Null selects nothing by key. Until it is set, the application's menu
    /// bar, whichever it is at the time of the key.
    void setKeybindings(CommandGroup* group);
    /// Whether a command whose key comes during a drag waits for the drag's
    /// end (all mouse buttons and the stylus up), so that the tool finishes
    /// it undisturbed. Off by default: the command is selected at once, under
    /// the controller's rules for a selection in the middle of a drag (a
    /// momentary command ends the drag for the tool).
    void setKeybindingsWaitForDrag(bool wait) { m_waitForDrag = wait; }
    /// See setKeybindingsWaitForDrag().
    bool keybindingsWaitForDrag() const { return m_waitForDrag; }

    /// The command of the keybinding (modifiers as KeyModifier bits) that a
    /// key press selects, or null. Shift held for a symbol, such as "+" on
    /// many keyboards, still matches a binding without it.
    CommandInstance* findKeybinding(KeyName key, int modifiers) const;

signals:
    /// A key press matched command's keybinding; waits tells that it is put
    /// off until the end of the drag. Emitted before the command is
    /// selected.
    void keybindingPressed(tnUI::CommandInstance* command, bool waits);

protected:
    /// Forwards the widget's input events.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void _applyTracking();
    void _modelLost();
    bool _mouse(QMouseEvent& e);
    bool _tablet(QTabletEvent& e);
    bool _wheel(QWheelEvent& e);
    bool _key(QKeyEvent& e);
    /// Selects command through the document window, or on the controller.
    void _select(CommandInstance* command);
    /// Selects the commands that waited, once no drag is under way.
    void _runWaiting();
    /// Hands a mouse or tablet event to the controller, then runs what waited
    /// for a drag to end.
    template <class E>
    void _forwardPointer(E& translated);

    QPointer<QWidget> m_widget;
    WatchedPointer<CommandController> m_controller;
    WatchedPointer<DocumentInstance> m_instance;
    tn::Reference<CommandGroup> m_keybindings;
    bool m_keysFromMenuBar = true;
    bool m_consume = true;
    bool m_hover = true;
    bool m_waitForDrag = false;
    QTransform m_toLocal;
    /// The widget's own tracking, restored on detach.
    bool m_widgetTracking = false;
    bool m_widgetTabletTracking = false;
    /// A drag is under way with the mouse or the stylus.
    bool m_mouseHeld = false;
    bool m_stylusDown = false;
    std::vector<tn::Reference<CommandInstance>> m_waiting;
};

} // namespace tnUI
