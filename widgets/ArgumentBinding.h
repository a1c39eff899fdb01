#pragma once

#include <tnUI/foundation/Export.h>

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QKeySequence>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>
#include <vector>

class QWidget;

namespace tnUI {

class Argument;
class ButtonArgument;
class EnumArgument;
class Message;
class Value;
struct ArgumentWidgetHost;

/// Makes the control for an argument, with a binding (an ArgumentBinding of
/// the host's own) that keeps it in step, or answers null to leave the
/// argument to the next factory and finally to the built-in controls.
using ArgumentControlFactory =
    std::function<QWidget*(tnUI::Argument* a, const ArgumentWidgetHost& host, QWidget* parent)>;

/// What the host decides for the widgets of its arguments.
struct TNUI_EXPORT ArgumentWidgetHost {
    /// Runs when the button of a button argument is pressed. Without it, a
    /// button whose argument holds an IntValue adds one to it (a press count
    /// the host can listen to); any other button does nothing.
    std::function<void(tnUI::ButtonArgument*)> buttonPressed;
    /// The key that pops the marking menu of an enumeration of the
    /// marking-menu kind; none when empty or unset. The key works while the
    /// window of the widget is active; the menu then pops at the pointer.
    std::function<QKeySequence(const tnUI::EnumArgument*)> menuKey;
    /// The size an image argument asks its supplier for when it requested
    /// none itself, as its picture is first shown.
    QSize imageSize{64, 64};
    /// The host's own controls, asked in order before the built-in ones: for
    /// a kind of argument or value of its own, or in place of a built-in
    /// control (a factory may put ArgumentBinding::createBuiltInWidget beside
    /// its own).
    std::vector<ArgumentControlFactory> controls;
};

/// Keeps one argument and the Qt control made for it in step, both ways: the
/// control follows everything the argument announces (its value, label,
/// tooltip, enabled state, hint and kind), and what the user does in the
/// control is written into the value. A write is guarded, so the messages it
/// causes do not come back into the control that caused them.
///
/// The binding is a child of its widget and goes with it: its connections to
/// the model are cut then, and the references it holds on the argument (and
/// through it on the value) are released. The argument never refers to the
/// widget, so either side may go first.
class TNUI_EXPORT ArgumentBinding : public QObject {
    Q_OBJECT
public:
    /// The control for a: the host's factories first, then the built-in
    /// controls (ArgumentControls.h lists them). Null a gives a separator
    /// line.
    static QWidget* createWidget(tnUI::Argument* a, const ArgumentWidgetHost& host, QWidget* parent = nullptr);
    /// The built-in control for a alone, without the host's factories.
    static QWidget* createBuiltInWidget(tnUI::Argument* a, const ArgumentWidgetHost& host, QWidget* parent = nullptr);
    /// The binding that drives w, or null.
    static ArgumentBinding* bindingOf(const QWidget* w);

    /// The argument's label with its mnemonic ('&' as in Qt), its label as
    /// plain text (for accessible names and tooltips) and its tooltip; empty
    /// without one.
    static QString labelText(const tnUI::Argument* a);
    /// See labelText().
    static QString plainLabelText(const tnUI::Argument* a);
    /// See labelText().
    static QString toolTipText(const tnUI::Argument* a);

    ~ArgumentBinding() override;

    /// The argument the control edits.
    tnUI::Argument* argument() const { return m_argument.get(); }
    /// The control: the widget the layout places.
    QWidget* widget() const { return m_widget; }
    /// Stops following the argument, for a control that is about to go.
    void detach();

    /// Whether the control shows the argument's label itself (a check box, a
    /// button, a titled group); otherwise the layout puts a caption beside it.
    virtual bool showsOwnLabel() const { return false; }
    /// Whether the control spans the caption's column too (a group, a
    /// picture wider than a field).
    virtual bool spansRow() const { return false; }
    /// The caption the layout made for this control. It shows the label with
    /// its mnemonic, names the control as its buddy and is enabled with it.
    void setCaption(QLabel* caption);
    /// See setCaption().
    QLabel* caption() const { return m_caption; }

    /// Whether this control still suits its argument (the hint, kind, value
    /// class or format it was made for). Asked at every message of the
    /// argument: when it answers false, the binding stops following and
    /// announces unfit(), and the layout makes a new control in its place.
    /// A built-in control compares what it was made for with what the
    /// argument asks for now; a host's control always fits unless it says.
    virtual bool stillFits() const;
    /// Shows the argument as it is now, for a change the model does not
    /// announce: setInvertEnabled, the format and step setters, an item's
    /// setValue. Announces unfit() when the control no longer suits.
    void update();

signals:
    /// The control no longer suits its argument (see stillFits).
    void unfit();

protected:
    /// Binds a to widget, as its child, and starts listening to a. A derived
    /// constructor ends with update(), once its control is complete.
    ArgumentBinding(tnUI::Argument* a, QWidget* widget, const ArgumentWidgetHost& host);

    /// Brings the control up to date with the argument. Called after every
    /// message that this binding did not cause, so it must keep what the user
    /// is typing unless the value itself changed.
    virtual void refresh() = 0;
    /// A message of the argument: the enabled state shown again, refresh()
    /// unless this binding is writing, then the label and tooltip. Bindings that
    /// react to particular messages (a list's structure) replace this and
    /// call it.
    virtual void messaged(tnUI::Message& m);
    /// Shows whether the argument is enabled. By default the control and its
    /// caption are enabled or disabled together; a control that shows a
    /// value it may not change replaces this to combine both.
    virtual void showEnabled(bool enabled);
    /// The widget a caption names and focus goes to: the control's focus
    /// proxy when it has one, else the control.
    QWidget* focusControl() const;
    /// The widget a screen reader knows by the argument's label and tooltip:
    /// focusControl(), unless the focus goes to one of several parts named
    /// each by itself (radio buttons), which their container then groups.
    virtual QWidget* accessibleControl() const;
    /// What a screen reader says of the control besides its name: the
    /// argument's tooltip. A control whose look carries the value (a colour
    /// swatch) adds it in words.
    virtual QString accessibleDescription() const;

    /// Runs write with the guard up: the argument's messages meanwhile are
    /// not shown back. The control is refreshed afterwards, since the value
    /// may have been clamped.
    void writing(const std::function<void()>& write);
    /// Whether it is writing.
    bool isWriting() const { return m_writing; }
    /// Whether the argument is enabled, as last shown.
    bool isArgumentEnabled() const { return m_enabled; }

    /// The host's decisions the control follows.
    const ArgumentWidgetHost& host() const { return m_host; }
    /// The receiver side of the control's connections to the model.
    tnRTB::SignalClient& client() { return m_client; }

    /// Whether the user may change v: present and editable.
    static bool isEditable(const tnUI::Value* v);
    /// True when m, or a message that caused it, is of type t and sent by e.
    static bool causedBy(const tnUI::Message& m, int type, const void* e);

private:
    void follow(bool refreshing);
    void showDecoration();
    bool checkFit();

    tn::Reference<tnUI::Argument> m_argument;
    QPointer<QWidget> m_widget;
    QPointer<QLabel> m_caption;
    ArgumentWidgetHost m_host;
    bool m_writing = false;
    bool m_following = true;
    bool m_enabled = true;
    /// What a built-in control was made for (see ArgumentControls.h).
    bool m_builtIn = false;
    int m_kind = 0;
    int m_variant = 0;
    /// Declared last: cut first, before the members the callbacks use.
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
