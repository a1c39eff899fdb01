#include "VectorControl.h"

#include "StepSpinBox.h"

#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/entity/Name.h>
#include <tnUI/values/RealValueArray.h>

#include <QHBoxLayout>
#include <QLabel>

namespace tnUI {

namespace {

// A component's caption: its own name, unless it is the one the array gave
// it ("<array>.<index>"); else X, Y, Z, W, or its number in a longer array.
QString componentName(const RealValueArray* array, int i)
{
    const Name* own = array->getValue(i)->getName();
    const Name* whole = array->getName();
    QString name = own ? QString::fromUtf8(own->asChar()) : QString();
    if (!name.isEmpty() && (!whole || name != QStringLiteral("%1.%2").arg(QString::fromUtf8(whole->asChar())).arg(i)))
        return name;
    return array->size() <= 4 ? QString(QLatin1Char("XYZW"[i])) : QString::number(i + 1);
}

} // namespace

QWidget* VectorControl::create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new VectorControl(a, w, host);
    return w;
}

VectorControl::VectorControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    m_row = new QWidget(w);
    auto* fields = new QHBoxLayout(m_row);
    fields->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_row);
    w->setFocusProxy(m_row);
    update();
}

VectorControl::~VectorControl() = default;

bool VectorControl::showsComponentsOf(const RealValueArray* array) const
{
    if (!array)
        return m_components.empty();
    if (static_cast<size_t>(array->size()) != m_components.size())
        return false;
    for (size_t i = 0; i < m_components.size(); ++i)
        if (m_components[i].value.get() != array->getValue(static_cast<int>(i)))
            return false;
    return true;
}

void VectorControl::refresh()
{
    const auto* array = dynamic_cast<const RealValueArray*>(m_argument->getValue());
    if (!showsComponentsOf(array))
        build(array);
    if (!array)
        return;
    const bool tracking = m_argument->getArgumentControlHint() == EArgumentControlHint::RVEC;
    const QString label = NumberField::labelUnit(m_argument);
    for (Component& c : m_components) {
        const QString own = NumberField::valueUnit(c.value.get());
        c.field.show(m_argument, c.value.get(), own.isEmpty() ? label : own,
                     array->getEditable() && c.value->getEditable());
        c.field.spin()->setKeyboardTracking(tracking);
    }
}

void VectorControl::build(const RealValueArray* array)
{
    // The old fields may be running the write that got here: they go once
    // control is back in the event loop. Focus stays at its place.
    int focused = -1;
    auto* fields = static_cast<QHBoxLayout*>(m_row->layout());
    m_row->setFocusProxy(nullptr);
    for (size_t i = 0; i < m_components.size(); ++i) {
        for (QWidget* old : {static_cast<QWidget*>(m_components[i].field.spin()),
                             static_cast<QWidget*>(m_components[i].caption.data())}) {
            if (!old)
                continue;
            if (old->hasFocus())
                focused = static_cast<int>(i);
            disconnect(old, nullptr, this, nullptr);
            fields->removeWidget(old);
            old->hide();
            old->deleteLater();
        }
    }
    m_components.clear();
    const int n = array ? array->size() : 0;
    m_components.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        auto* caption = new QLabel(componentName(array, i), m_row);
        auto* spin = new StepSpinBox(m_row);
        caption->setBuddy(spin);
        spin->setAccessibleName(caption->text());
        spin->setAlignment(Qt::AlignRight);
        fields->addWidget(caption);
        fields->addWidget(spin, 1);
        const auto index = static_cast<size_t>(i);
        connect(spin, &QDoubleSpinBox::valueChanged, this,
                [this, index](double display) { writing([this, index, display] { write(index, display); }); });
        m_components.push_back({tn::Reference<const RealValue>(array->getValue(i)), NumberField(spin), caption});
    }
    if (n > 0)
        m_row->setFocusProxy(m_components.front().field.spin());
    if (focused >= 0 && focused < n)
        m_components[static_cast<size_t>(focused)].field.spin()->setFocus();
}

void VectorControl::write(size_t i, double display)
{
    // Only into the component the field was made for.
    auto* array = dynamic_cast<RealValueArray*>(m_argument->getValue());
    if (!array || !array->getEditable() || i >= m_components.size() || static_cast<int>(i) >= array->size() ||
        array->getValue(static_cast<int>(i)) != m_components[i].value.get())
        return;
    const tn::Reference<RealValue> component(array->getValue(static_cast<int>(i)));
    NumberField::write(m_argument, component.get(), display);
}

} // namespace tnUI
