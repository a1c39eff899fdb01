#pragma once

// The table of built-in controls: which control shows which argument. The
// choice is one function, so that a control can tell when the argument it
// was made for now asks for another (a new hint, kind or value class).

class QWidget;

namespace tnUI {

class Argument;
struct ArgumentWidgetHost;

enum class ControlKind {
    Caption,      // an argument of a kind no control shows: its label, and its value
    Label,        // a label argument: its label, and its value when it has one
    Button,       // a button argument: a push button
    DoneButton,   // the DoneButton hint: a default button that commits first
    Image,        // an image argument, or an image value: its picture
    Group,        // a group of any kind and hint (GroupControl)
    Choices,      // an enumeration of any kind (ChoiceControl)
    CheckBox,     // a flag, or an integer in the Bool format
    Switch,       // the Switch hint on a flag
    ToggleButton, // the PushButton hint on a flag: a checkable button
    Text,         // a text value: a line edit
    Vector,       // a vector value: a field per component (RVEC hints)
    Color,        // a colour value: a colour button
    Font,         // a font value: a font chooser
    Number,       // a real or integer value: a field, a slider or a gauge
};

// What a built-in control is made for. Two signatures differ exactly when the
// control of one cannot show the argument as the other asks.
struct ControlSignature {
    ControlKind kind = ControlKind::Caption;
    // The hint, enumeration kind, group kind and value class that matter
    // for kind, packed; 0 when none does.
    int variant = 0;

    bool operator==(const ControlSignature&) const = default;
};

// The built-in control a shows as now.
ControlSignature builtInSignature(const Argument* a);

} // namespace tnUI
