#pragma once

#include <tnUI/foundation/Export.h>

// Complete for menuMarkingMenu, which hands out a QPointer's target.
#include "QMenuMarkingMenu.h"

#include <tnUI/application/Window.h>
#include <tnUI/entity/WatchedPointer.h>
#include <tnUI/foundation/ReferenceCount.h>

#include <QKeySequence>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class QMenu;
class QMouseEvent;
class QShortcut;
class QWidget;

namespace tnUI {

class CommandGroup;
class CommandInstance;
class PopUpMenu;

/// A marking menu on a widget: a press of one mouse button, or of a pen with
/// that button (with exactly the given keyboard modifiers, and no other
/// button held) anywhere over the widget or its children pops the menu where
/// the pointer is; the press, the rest of it until the menu begins and the
/// context-menu event that follows it go no further. The menu begins once Qt
/// is done delivering the press, so that nothing of Qt's refers to the widget
/// while it runs. Other buttons, other modifiers, and presses while the
/// widget is hidden or disabled pass on untouched. A key, if the host gives
/// one (setKey), pops the menu too while the widget or a child has the
/// focus, and so does the keyboard's Menu key (a context-menu request from
/// the keyboard): at the pointer when it is over the widget, else at the
/// widget's centre, with the items shown and the first highlighted for the
/// keyboard (QmarkMenuView::KeyboardOpening).
///
/// A finger works as the mouse does where the trigger's button is the left
/// one. For another button, which a finger cannot press, a finger held still
/// over the widget for the press-and-hold time
/// (QStyleHints::mousePressAndHoldInterval) pops the menu there, and the
/// finger then works the menu; a finger that moves or lifts sooner goes to
/// the widget as it would have, its press delivered late.
///
/// The menu is either a command group's (its PopUpMenu, which follows the
/// group's changes) or a QMenu's (QMenuMarkingMenu, which triggers the
/// chosen action). A command chosen from a group's menu goes to the host's
/// callback when there is one (setChosen), else it is selected through the
/// model window (Window::selectCommand): the one the host gave (setWindow),
/// or else the one found for the widget (findWindow).
///
/// The trigger is a child of its widget and goes with it; deleting it
/// detaches the menu. It holds the command group, not the window: the host
/// may let go of the group, the window, the QMenu or the widget in any order,
/// also while the menu is open; a menu whose widget went while it ran
/// chooses nothing.
class TNUI_EXPORT MarkingMenuTrigger : public QObject {
    Q_OBJECT
public:
    /// Receives the command chosen.
    using Chosen = std::function<void(tnUI::CommandInstance*)>;

    /// Pops group's marking menu. A null widget or group raises NullError, a
    /// button that is not exactly one button ImplError, and a group whose
    /// icons cannot be shown tnMarkBadImageException (see PopUpMenu).
    MarkingMenuTrigger(QWidget* widget, tnUI::CommandGroup* group, Qt::MouseButton button = Qt::RightButton,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    /// Pops menu as a marking menu (QMenuMarkingMenu). A null widget or menu
    /// raises NullError, a button that is not exactly one button ImplError.
    MarkingMenuTrigger(QWidget* widget, QMenu* menu, Qt::MouseButton button = Qt::RightButton,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    ~MarkingMenuTrigger() override;

    /// The widget the menu pops on; null once it has died.
    QWidget* widget() const { return m_widget; }
    /// The mouse button that pops the menu.
    Qt::MouseButton button() const { return m_button; }
    /// The modifiers the press needs, exactly.
    Qt::KeyboardModifiers modifiers() const { return m_modifiers; }
    /// The group's pop-up menu; null for a QMenu's trigger.
    tnUI::PopUpMenu* popUpMenu() const { return m_popUp.get(); }
    /// The QMenu's marking menu; null for a group's trigger.
    QMenuMarkingMenu* menuMarkingMenu() const { return m_menu; }

    /// The window the chosen commands are selected through; null (the
    /// default) finds one for the widget at each choice. Once the window
    /// given is destroyed, nothing is selected.
    void setWindow(tnUI::Window* window)
    {
        m_window = window;
        m_windowGiven = window != nullptr;
    }
    /// The window given to setWindow(), or null.
    tnUI::Window* window() const { return m_window.get(); }
    /// Takes the chosen commands instead of the window; an empty function
    /// gives them back to the window.
    void setChosen(Chosen chosen);
    /// The key that pops the menu; an empty sequence (the default) for none.
    void setKey(const QKeySequence& key);
    /// See setKey().
    QKeySequence key() const { return m_key; }

    /// Pops the menu at the global point, as a press there does, and returns
    /// when the user is done; nothing happens while the widget is hidden or
    /// disabled, or while a marking menu is running. The library's errors
    /// raised in selecting the command pass to the caller (a press or the key
    /// reports them as warnings instead). The trigger may be deleted
    /// meanwhile; the widget too, unless this is called from within the
    /// delivery of one of its events, which Qt goes on with afterwards.
    void popUp(const QPoint& global);

    /// Makes window the model window of widget and of its children, found by
    /// findWindow; null takes it back. The widget keeps it until the window
    /// is destroyed. A null widget raises NullError.
    static void setWidgetWindow(QWidget* widget, tnUI::Window* window);
    /// The model window of widget: the one given to it or to the nearest of
    /// its parents with setWidgetWindow, else the document window of the
    /// application's active document instance; null for none.
    static tnUI::Window* findWindow(const QWidget* widget);

protected:
    /// Watches the widget and its children for the button and the key.
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Pops the menu a press or the key asked for.
    bool event(QEvent* event) override;

private:
    MarkingMenuTrigger(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    /// Whether a press may pop the menu now.
    bool _ready() const;
    /// Whether an event for watched is over the widget.
    bool _covers(const QObject* watched) const;
    /// popUp once the event that asks for it is delivered, the library's
    /// errors reported as warnings; fromPress: the button is held, else a
    /// key asked for it.
    void _popUpLater(const QPoint& global, bool fromPress);
    /// Where a key pops the menu: at the pointer when it is over the widget,
    /// else at the widget's centre.
    QPoint _keyPoint() const;
    /// Delivers the held press to its widget after all.
    void _passHeldPress();

    QPointer<QWidget> m_widget;
    Qt::MouseButton m_button;
    Qt::KeyboardModifiers m_modifiers;
    tn::Reference<tnUI::PopUpMenu> m_popUp;
    QPointer<QMenuMarkingMenu> m_menu;
    WatchedPointer<tnUI::Window> m_window;
    bool m_windowGiven = false;
    Chosen m_chosen;
    QKeySequence m_key;
    QPointer<QShortcut> m_shortcut;
    /// A press popped the menu: the context-menu event that follows it is
    /// this trigger's.
    bool m_pressed = false;
    /// A popup at m_waitingAt is to begin; from a press whose button is still
    /// held.
    bool m_waiting = false;
    bool m_waitingForPress = false;
    /// The waiting popup was asked for by a key.
    bool m_waitingForKey = false;
    QPoint m_waitingAt;
    /// A finger's press held back while it may become a press-and-hold, and
    /// the widget it was for.
    std::unique_ptr<QMouseEvent> m_heldPress;
    QPointer<QObject> m_heldFor;
    QTimer m_holdTimer;
    /// The held press while it is delivered late.
    const QEvent* m_passing = nullptr;
};

} // namespace tnUI
