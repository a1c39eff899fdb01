#include "ColorControl.h"

#include "ColorButton.h"

#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/values/ColorValue.h>

#include <QHBoxLayout>

#include <algorithm>

namespace tnUI {

QWidget* ColorControl::create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new ColorControl(a, w, host);
    return w;
}

ColorControl::ColorControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    m_button = new ColorButton(w);
    // A colour value always has an alpha channel.
    m_button->setAlphaShown(true);
    w->setFocusProxy(m_button);
    layout->addWidget(m_button);
    layout->addStretch(1);
    QObject::connect(m_button, &ColorButton::colourChosen, this,
                     [this](const QColor& c) { writing([this, c] { write(c); }); });
    update();
}

ColorValue* ColorControl::colour() const
{
    return dynamic_cast<ColorValue*>(m_argument->getValue());
}

QColor ColorControl::colourOf(const ColorValue* value)
{
    if (!value)
        return {};
    for (int i = 0; i < value->size(); ++i)
        if (!value->getValue(i)->isSet())
            return {};
    double channels[4];
    value->evalBytes(channels);
    float clamped[4];
    for (int i = 0; i < 4; ++i)
        clamped[i] = static_cast<float>(std::clamp(channels[i], 0.0, 1.0));
    return QColor::fromRgbF(clamped[0], clamped[1], clamped[2], clamped[3]);
}

void ColorControl::refresh()
{
    m_button->setColour(colourOf(colour()));
    m_button->setDialogTitle(plainLabelText(m_argument));
}

QString ColorControl::accessibleDescription() const
{
    // The colour first, then the tooltip.
    const QString tip = toolTipText(m_argument);
    return tip.isEmpty() ? m_button->colourText() : m_button->colourText() + QStringLiteral(". ") + tip;
}

void ColorControl::showEnabled(bool enabled)
{
    ArgumentBinding::showEnabled(enabled);
    // The button is the only way to change the colour: a colour that may not
    // change disables it, and the swatch still shows it.
    m_button->setEnabled(enabled && isEditable(colour()));
}

void ColorControl::write(const QColor& c)
{
    ColorValue* value = colour();
    if (!isEditable(value))
        return;
    if (value->getType() == ColorValue::Max255)
        value->setInternalValue(c.red(), c.green(), c.blue(), c.alpha());
    else
        value->setInternalValue(c.redF(), c.greenF(), c.blueF(), c.alphaF());
}

} // namespace tnUI
