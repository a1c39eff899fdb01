#include "ToggleControl.h"

#include "SwitchButton.h"

#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/IntValue.h>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace tnUI {

QWidget* ToggleControl::create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new ToggleControl(a, w, host);
    return w;
}

ToggleControl::ToggleControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    switch (a->getArgumentControlHint()) {
    case EArgumentControlHint::Switch:
        m_button = new SwitchButton(w);
        m_switch = true;
        break;
    case EArgumentControlHint::PushButton:
        m_button = new QPushButton(w);
        m_button->setCheckable(true);
        break;
    default: m_button = new QCheckBox(w); break;
    }
    w->setFocusProxy(m_button);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    layout->addStretch(1);
    // Only the user's clicks: setChecked below does not come back here.
    connect(m_button, &QAbstractButton::clicked, this, [this](bool on) { writing([this, on] { write(on); }); });
    update();
}

void ToggleControl::refresh()
{
    if (!m_switch)
        m_button->setText(labelText(m_argument));
    const Value* value = m_argument->getValue();
    const auto* flag = dynamic_cast<const BoolValue*>(value);
    const auto* integer = dynamic_cast<const IntValue*>(value);
    m_button->setChecked(flag ? flag->isSet() && flag->getValue() : integer && integer->isSet() && integer->getValue());
}

void ToggleControl::showEnabled(bool enabled)
{
    ArgumentBinding::showEnabled(enabled);
    m_button->setEnabled(isEditable(m_argument->getValue()));
}

void ToggleControl::write(bool on)
{
    Value* value = m_argument->getValue();
    if (!isEditable(value))
        return;
    if (auto* flag = dynamic_cast<BoolValue*>(value))
        flag->setValue(on);
    else if (auto* integer = dynamic_cast<IntValue*>(value))
        integer->setValue(on ? 1 : 0);
}

} // namespace tnUI
