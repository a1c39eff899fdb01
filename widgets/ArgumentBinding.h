#pragma once

#include <tnUI/foundation/Export.h>

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>

#include <QLabel>
class QWidget;

namespace tnUI {

class Argument;
class ButtonArgument;
class EnumArgument;
class Message;

// What the host decides for the widgets of its arguments.
struct TNUI_EXPORT ArgumentWidgetHost {
    // Runs when the button of a button argument is pressed. Without it, a
    // button whose argument holds an IntValue adds one to it (a press count
    // the host can listen to); any other button does nothing.
    std::function<void(tnUI::ButtonArgument*)> buttonPressed;
    // The key that pops the marking menu of an enumeration of the
    // marking-menu kind; none when empty or unset. The key works while the
    // window of the widget is active; the menu then pops at the pointer.
    std::function<QKeySequence(const tnUI::EnumArgument*)> menuKey;
    // The size an image argument asks its supplier for, when its widget is
    // first shown.
    QSize imageSize{64, 64};
};

// Keeps one argument and the Qt widget made for it in step, both ways: the
// widget follows the argument's messages (its value's changes, its label,
// tooltip and enabled state), and what the user does in the widget is
// written into the value. A write is guarded, so the messages it causes do
// not come back into the widget that caused them.
//
// The binding is a child of its widget and goes with it: its connections to
// the model are cut then, and the references it holds on the argument (and
// through it on the value) are released. The argument never refers to the
// widget, so either side may go first.
class TNUI_EXPORT ArgumentBinding : public QObject {
    // For qobject_cast and findChild, which tell bindings from other children.
    Q_OBJECT
public:
    // The widget for a, made with its binding: the one place that maps each
    // kind of argument to a widget. Value arguments over a real or integer
    // value give a number field (and a slider with the Slider hint), over a
    // flag a check box, over a colour a colour button; enumerations give
    // a drop-down list (Popup), a list box (ListBox), toggle buttons side by
    // side (Segmented), radio buttons (Radio), or a button that pops a
    // marking menu (MarkingMenu); buttons a push button, labels a caption, images a
    // picture, groups a box laying their arguments out in their number of
    // columns, nested groups included. Null a gives a separator line; a kind
    // the table does not know gives a caption with its label.
    static QWidget* createWidget(tnUI::Argument* a, const ArgumentWidgetHost& host, QWidget* parent = nullptr);
    // The binding that drives w, or null.
    static ArgumentBinding* bindingOf(const QWidget* w);

    ~ArgumentBinding() override;

    tnUI::Argument* argument() const { return m_argument.get(); }
    QWidget* widget() const { return m_widget; }
    // Stops following the argument, for a widget that is about to go.
    void detach();

protected:
    // Binds a to widget, as its child, and starts listening to a.
    ArgumentBinding(tnUI::Argument* a, QWidget* widget, const ArgumentWidgetHost& host);

    // Brings the widget up to date with the argument.
    virtual void refresh() = 0;
    // A message of the argument; refreshes unless this binding is writing.
    virtual void messaged(tnUI::Message& m);
    // Runs write with the guard up: the argument's messages meanwhile are
    // not shown back. The widget is refreshed afterwards, since the value
    // may have been clamped.
    void writing(const std::function<void()>& write);
    bool isWriting() const { return m_writing; }

    // The caption shown beside the control, if the widget has one; it takes
    // the argument's label.
    void setCaption(QLabel* caption) { m_caption = caption; }
    // The label and the tooltip shown again.
    void showDecoration();

    const ArgumentWidgetHost& host() const { return m_host; }
    tnRTB::SignalClient& client() { return m_client; }

    // The argument's label or tooltip as text; empty without one.
    static QString labelText(const tnUI::Argument* a);
    static QString toolTipText(const tnUI::Argument* a);

private:
    tn::Reference<tnUI::Argument> m_argument;
    QPointer<QWidget> m_widget;
    QPointer<QLabel> m_caption;
    ArgumentWidgetHost m_host;
    bool m_writing = false;
    // Declared last: cut first, before the members the callbacks use.
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
