#include "NumberControl.h"

#include "StepSpinBox.h"

#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/entity/Label.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/LinearValue.h>

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tnUI {

namespace {

// A field's bounds when its value has none: wide enough for any practical
// number, narrow enough that the field is not sized for a huge number.
constexpr double kFieldLimit = 1e12;
// The most positions a slider is given; a finer step is coarsened to fit.
constexpr double kMaxPositions = 1e6;
// The positions of a gauge over its range.
constexpr int kGaugePositions = 1000;

// v's range in display units, within the field's limits; true when both
// bounds are given and within them.
bool displayRange(const Value* v, double& min, double& max)
{
    const auto* real = dynamic_cast<const RealValue*>(v);
    const auto* integer = dynamic_cast<const IntValue*>(v);
    const tnLinear::Range1d range = real ? real->getRange() : integer ? integer->getRange() : tnLinear::Range1d();
    const double limit = integer ? static_cast<double>(INT_MAX) : kFieldLimit;
    min = integer ? static_cast<double>(INT_MIN) : -limit;
    max = limit;
    if (range.isUnbounded())
        return false;
    double low = real ? real->toDisplay(range.getMin()) : range.getMin();
    double high = real ? real->toDisplay(range.getMax()) : range.getMax();
    if (low > high)
        std::swap(low, high);
    const bool bounded = low >= min && high <= max;
    // Within the limits; fmin and fmax also take a NaN bound as the limit.
    const double lowest = min;
    min = std::fmax(lowest, std::fmin(low, max));
    max = std::fmax(lowest, std::fmin(high, max));
    return bounded;
}

} // namespace

// A gauge's bar. Assistive technology reads it as the number it shows, in
// its range, rather than as the position of the bar.
class GaugeBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

    double number = 0.0;
    double min = 0.0;
    double max = 0.0;
};

namespace {

class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(GaugeBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                : QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? bar()->text() : QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return bar()->number; }
    // The user cannot change a gauge.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return bar()->max; }
    QVariant minimumValue() const override { return bar()->min; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    GaugeBar* bar() const { return static_cast<GaugeBar*>(widget()); }
};

QAccessibleInterface* gaugeAccessible(const QString&, QObject* object)
{
    auto* bar = dynamic_cast<GaugeBar*>(object);
    return bar ? new GaugeAccessible(bar) : nullptr;
}

} // namespace

void NumberField::show(const ValueArgument* a, const Value* v, const QString& unit, bool editable)
{
    StepSpinBox* spin = m_spin;
    // Only what changed is set: every setter of a spin box but the steps
    // writes its text again, which would lose the user's typing.
    const QSignalBlocker block(spin);
    const int places = decimals(a, v);
    if (spin->decimals() != places)
        spin->setDecimals(places);
    double number = 0.0;
    const bool set = displayNumber(v, number);
    double min = 0.0;
    double max = 0.0;
    m_bounded = displayRange(v, min, max);
    if (set) {
        // A number beyond the field's limits is still shown as it is.
        min = std::min(min, number);
        max = std::max(max, number);
    }
    if (min != m_min || max != m_max || !m_ranged) {
        spin->setRange(min, max);
        m_min = min;
        m_max = max;
        m_ranged = true;
    }
    const double given = a->getStep() > 0.0 ? a->getStep() : std::pow(10.0, -places);
    const double step = dynamic_cast<const IntValue*>(v) ? std::max(1.0, std::round(given)) : given;
    if (spin->singleStep() != step)
        spin->setSingleStep(step);
    spin->setLargeStep(a->getLargeStep());
    // An unset value shows nothing, not even its unit.
    const QString wanted = set ? suffix(unit) : QString();
    if (spin->suffix() != wanted)
        spin->setSuffix(wanted);
    if (!set) {
        if (!spin->text().isEmpty())
            spin->clear();
    } else if (!m_showsNumber || std::abs(spin->value() - number) > 0.5 * std::pow(10.0, -places)) {
        spin->setValue(number);
    }
    m_showsNumber = set;
    const bool readOnly = !set || !editable;
    if (spin->isReadOnly() != readOnly) {
        spin->setReadOnly(readOnly);
        spin->setButtonSymbols(readOnly ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows);
    }
}

void NumberField::write(const ValueArgument* a, Value* v, double display)
{
    double current = 0.0;
    if (!v || !v->getEditable() || !displayNumber(v, current))
        return;
    if (a->getDisplayFormat() == ValueArgument::Int)
        display = std::round(display);
    if (auto* real = dynamic_cast<RealValue*>(v))
        real->setDisplayValue(display);
    else if (auto* integer = dynamic_cast<IntValue*>(v))
        integer->setValue(static_cast<int>(
            std::lround(std::clamp(display, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)))));
}

QString NumberField::labelUnit(const ValueArgument* a)
{
    const Label* label = a->getUnitLabel();
    return label ? QString::fromStdWString(label->asString().str()) : QString();
}

QString NumberField::valueUnit(const Value* v)
{
    if (const auto* length = dynamic_cast<const LinearValue*>(v))
        return QString::fromUtf8(enumName(length->getDisplayUnit(), true));
    if (const auto* angle = dynamic_cast<const AngleValue*>(v))
        return angle->getDisplayUnit() == AngleUnit::Radian ? QStringLiteral("rad") : QStringLiteral("\u00B0");
    return {};
}

QString NumberField::suffix(const QString& unit)
{
    if (unit.isEmpty() || unit.startsWith(QChar(0x00B0)))
        return unit;
    return QLatin1Char(' ') + unit;
}

int NumberField::decimals(const ValueArgument* a, const Value* v)
{
    if (dynamic_cast<const IntValue*>(v))
        return 0;
    switch (a->getDisplayFormat()) {
    case ValueArgument::Int: return 0;
    case ValueArgument::Real: return std::clamp(a->getDisplayPrecision(), 0, 12);
    default: return 2;
    }
}

bool NumberField::displayNumber(const Value* v, double& number)
{
    if (const auto* real = dynamic_cast<const RealValue*>(v); real && real->isSet())
        number = real->evalDisplay();
    else if (const auto* integer = dynamic_cast<const IntValue*>(v); integer && integer->isSet())
        number = integer->getValue();
    else
        return false;
    return std::isfinite(number);
}

QWidget* NumberControl::create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new NumberControl(a, w, host);
    return w;
}

NumberControl::NumberControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    if (a->getArgumentControlHint() == EArgumentControlHint::Gauge) {
        static const bool accessible = (QAccessible::installFactory(gaugeAccessible), true);
        Q_UNUSED(accessible);
        m_gauge = new GaugeBar(w);
        m_gauge->setTextVisible(true);
        w->setFocusProxy(m_gauge);
        layout->addWidget(m_gauge, 1);
        update();
        return;
    }
    auto* spin = new StepSpinBox(w);
    m_field = NumberField(spin);
    w->setFocusProxy(spin);
    // The value is written when the typing is done (Return or leaving the
    // field), not at every key.
    spin->setKeyboardTracking(false);
    spin->setAlignment(Qt::AlignRight);
    layout->addWidget(spin);
    connect(spin, &QDoubleSpinBox::valueChanged, this, [this](double display) {
        writing([this, display] { NumberField::write(m_argument, m_argument->getValue(), display); });
    });
    // The slider takes the room beside the field while it shows; the
    // stretch after it takes the room otherwise.
    m_slider = new QSlider(Qt::Horizontal, w);
    m_slider->setMinimumWidth(10 * w->fontMetrics().averageCharWidth());
    layout->addWidget(m_slider, 1);
    layout->addStretch(0);
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        const double display =
            position == m_slider->maximum() ? m_field.maximum() : m_field.minimum() + position * m_sliderStep;
        writing([this, display] { NumberField::write(m_argument, m_argument->getValue(), display); });
    });
    update();
}

void NumberControl::refresh()
{
    const Value* v = m_argument->getValue();
    QString unit = NumberField::labelUnit(m_argument);
    if (unit.isEmpty())
        unit = NumberField::valueUnit(v);
    if (m_gauge) {
        showGauge(v, unit);
        return;
    }
    m_field.show(m_argument, v, unit, isEditable(v));
    showSlider(v);
}

void NumberControl::showGauge(const Value* v, const QString& unit)
{
    double number = 0.0;
    if (!NumberField::displayNumber(v, number)) {
        // Below the range: the bar shows no progress and no text.
        m_gauge->reset();
        return;
    }
    double min = 0.0;
    double max = 0.0;
    const bool bounded = displayRange(v, min, max) && max > min;
    m_gauge->number = number;
    m_gauge->min = bounded ? min : number;
    m_gauge->max = bounded ? max : number;
    if (bounded) {
        m_gauge->setRange(0, kGaugePositions);
        m_gauge->setValue(
            static_cast<int>(std::lround((std::clamp(number, min, max) - min) / (max - min) * kGaugePositions)));
    } else {
        // Without a range the bar stays empty and shows the number alone.
        m_gauge->setRange(0, 1);
        m_gauge->setValue(0);
    }
    // The bar's own text replaces %v, %m and %p: the text is given whole.
    m_gauge->setFormat(m_gauge->locale().toString(number, 'f', NumberField::decimals(m_argument, v)) +
                       NumberField::suffix(unit));
}

void NumberControl::showSlider(const Value* v)
{
    const double span = m_field.maximum() - m_field.minimum();
    const bool shown = m_field.bounded() && span > 0.0 &&
                       (m_argument->getArgumentControlHint() == EArgumentControlHint::Slider || inSliderGroup());
    m_slider->setVisible(shown);
    if (!shown)
        return;
    const QSignalBlocker block(m_slider);
    const StepSpinBox* spin = m_field.spin();
    m_sliderStep = std::max(spin->singleStep() > 0.0 ? spin->singleStep() : span / 100.0, span / kMaxPositions);
    m_slider->setRange(0, static_cast<int>(std::lround(span / m_sliderStep)));
    const double page = spin->largeStep() > 0.0 ? spin->largeStep() : 10.0 * m_sliderStep;
    m_slider->setPageStep(std::max(1, static_cast<int>(std::lround(page / m_sliderStep))));
    double number = 0.0;
    if (NumberField::displayNumber(v, number))
        m_slider->setValue(static_cast<int>(std::lround((number - m_field.minimum()) / m_sliderStep)));
    m_slider->setEnabled(m_field.showsNumber() && !spin->isReadOnly());
    m_slider->setAccessibleName(plainLabelText(m_argument));
}

bool NumberControl::inSliderGroup() const
{
    for (const QWidget* p = widget() ? widget()->parentWidget() : nullptr; p; p = p->parentWidget())
        if (p->property("tnuiSliders").toBool())
            return true;
    return false;
}

} // namespace tnUI
