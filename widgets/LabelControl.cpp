#include "LabelControl.h"

#include "ColorControl.h"
#include "FontControl.h"

#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/entity/Label.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/FontValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/LinearValue.h>
#include <tnUI/values/TextValue.h>

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace tnUI {

namespace {

// A number as the locale writes it, to six decimals at most.
QString number(double v)
{
    const QLocale locale;
    QString text = locale.toString(v, 'f', 6);
    const QString point = locale.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(locale.zeroDigit()))
            text.chop(locale.zeroDigit().size());
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text;
}

// A real number in its display unit.
QString real(const RealValue& v)
{
    if (!v.isSet())
        return {};
    const char* unit = nullptr;
    if (const auto* linear = dynamic_cast<const LinearValue*>(&v))
        unit = enumName(linear->getDisplayUnit(), true);
    else if (const auto* angle = dynamic_cast<const AngleValue*>(&v))
        unit = enumName(angle->getDisplayUnit(), true);
    const QString text = number(v.evalDisplay());
    return unit ? text + QLatin1Char(' ') + QString::fromUtf8(unit) : text;
}

} // namespace

QWidget* LabelControl::create(Argument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new LabelControl(a, w, host);
    return w;
}

QWidget* LabelControl::createSeparator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString LabelControl::valueText(const Value* value)
{
    if (const auto* flag = dynamic_cast<const BoolValue*>(value))
        return !flag->isSet() ? QString() : flag->getValue() ? QStringLiteral("On") : QStringLiteral("Off");
    if (const auto* integer = dynamic_cast<const IntValue*>(value))
        return integer->isSet() ? QLocale().toString(integer->getValue()) : QString();
    if (const auto* r = dynamic_cast<const RealValue*>(value))
        return real(*r);
    if (const auto* text = dynamic_cast<const TextValue*>(value))
        return QString::fromStdWString(text->getValue()->asString().str());
    if (const auto* colour = dynamic_cast<const ColorValue*>(value)) {
        const QColor c = ColorControl::colourOf(colour);
        return c.isValid() ? c.name(c.alpha() < 255 ? QColor::HexArgb : QColor::HexRgb) : QString();
    }
    if (const auto* vector = dynamic_cast<const RealValueArray*>(value)) {
        QStringList parts;
        for (int i = 0; i < vector->size(); ++i)
            parts.append(real(*vector->getValue(i)));
        return parts.join(QStringLiteral(", "));
    }
    if (const auto* font = dynamic_cast<const FontValue*>(value))
        return FontControl::describe(*font);
    return {};
}

LabelControl::LabelControl(Argument* a, QWidget* w, const ArgumentWidgetHost& host) : ArgumentBinding(a, w, host)
{
    const auto* caption = dynamic_cast<const LabelArgument*>(a);
    m_ownLabel = caption && !caption->getValue();
    m_label = new QLabel(w);
    m_label->setWordWrap(true);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!m_ownLabel && value()) {
        // The value is read-only text, which the keyboard reaches too.
        m_swatch = new QLabel(w);
        m_swatch->hide();
        layout->addWidget(m_swatch);
        m_label->setTextFormat(Qt::PlainText);
        m_label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // Tab reaches it too, not only a click.
        m_label->setFocusPolicy(Qt::StrongFocus);
        w->setFocusProxy(m_label);
    }
    layout->addWidget(m_label, 1);
    if (caption) {
        const int code = caption->getAlignment();
        m_label->setAlignment(code == 0 ? Qt::AlignLeft : code == 1 ? Qt::AlignRight : Qt::AlignHCenter);
        int width = 0;
        int height = 0;
        caption->getSize(width, height);
        m_label->setMinimumSize(std::max(width, 0), std::max(height, 0));
    }
    update();
}

const Value* LabelControl::value() const
{
    const auto* item = dynamic_cast<const ArgumentItem*>(argument());
    return item ? item->getValue() : nullptr;
}

void LabelControl::refresh()
{
    if (m_ownLabel) {
        m_label->setText(labelText(argument()));
        return;
    }
    const Value* shown = value();
    const QString text = valueText(shown);
    m_label->setText(text);
    showSwatch(ColorControl::colourOf(dynamic_cast<const ColorValue*>(shown)));
}

QString LabelControl::accessibleDescription() const
{
    // A screen reader reads the caption's label as the name: the value
    // comes with the tooltip.
    const QString tip = toolTipText(argument());
    if (m_ownLabel)
        return tip;
    const QString text = m_label->text();
    return tip.isEmpty() ? text : text + QStringLiteral(". ") + tip;
}

void LabelControl::showSwatch(const QColor& colour)
{
    if (!m_swatch || colour == m_swatchColour)
        return;
    m_swatchColour = colour;
    m_swatch->setVisible(colour.isValid());
    if (!colour.isValid())
        return;
    const int side = m_label->fontMetrics().height();
    QPixmap swatch(side, side);
    swatch.fill(m_swatch->palette().color(QPalette::Base));
    QPainter painter(&swatch);
    painter.fillRect(swatch.rect(), colour);
    painter.setPen(m_swatch->palette().color(QPalette::WindowText));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    m_swatch->setPixmap(swatch);
}

} // namespace tnUI
