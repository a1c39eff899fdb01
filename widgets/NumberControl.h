#pragma once

#include "ArgumentBinding.h"
#include "StepSpinBox.h"

#include <QPointer>

class QSlider;

namespace tnUI {

class GaugeBar;
class Value;
class ValueArgument;

// One number field over a real or integer value of a value argument, in
// display units with the unit as suffix: the part the number control and
// the vector control share.
class NumberField {
public:
    explicit NumberField(StepSpinBox* spin) : m_spin(spin) {}

    StepSpinBox* spin() const { return m_spin; }
    // Shows v as a asks: decimals, range, steps and unit. The number is set
    // only when it differs from the one shown, so that what the user is
    // typing survives other changes. An unset value leaves the field empty;
    // it is read-only then, and when editable is false.
    void show(const ValueArgument* a, const Value* v, const QString& unit, bool editable);
    // Whether the last value shown was set and its range bounded, and the
    // range in display units.
    bool showsNumber() const { return m_showsNumber; }
    bool bounded() const { return m_bounded; }
    double minimum() const { return m_min; }
    double maximum() const { return m_max; }

    // Writes a display number into v, rounded as a's format asks; nothing
    // when v is unset or not editable.
    static void write(const ValueArgument* a, Value* v, double display);
    // The text of a's unit label; empty without one.
    static QString labelUnit(const ValueArgument* a);
    // The display unit of a length or an angle; empty for another value.
    static QString valueUnit(const Value* v);
    // The suffix for a unit: a space and the unit; a degree sign follows
    // the number directly.
    static QString suffix(const QString& unit);
    // The decimals a number of v is shown with in a's format.
    static int decimals(const ValueArgument* a, const Value* v);
    // v's number in display units; false when v is not a set real or
    // integer value.
    static bool displayNumber(const Value* v, double& number);

private:
    QPointer<StepSpinBox> m_spin;
    bool m_showsNumber = false;
    bool m_bounded = false;
    bool m_ranged = false;
    double m_min = 0.0;
    double m_max = 0.0;
};

// A real or integer value: a number field, with a slider over a bounded
// range for the Slider hint or inside a group of sliders (a widget above it
// whose dynamic property "tnuiSliders" is true, read at every refresh); or,
// for the Gauge hint, a bar that shows the value in its range, which the
// user cannot change.
class NumberControl : public ArgumentBinding {
public:
    static QWidget* create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent);

protected:
    void refresh() override;

private:
    NumberControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host);
    void showGauge(const Value* v, const QString& unit);
    void showSlider(const Value* v);
    bool inSliderGroup() const;

    ValueArgument* m_argument;
    NumberField m_field{nullptr};
    QPointer<QSlider> m_slider;
    QPointer<GaugeBar> m_gauge;
    // The number one slider position stands for.
    double m_sliderStep = 1.0;
};

} // namespace tnUI
