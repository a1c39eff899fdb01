#include "ColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace tnUI {

ColorButton::ColorButton(QWidget* parent) : QToolButton(parent)
{
    connect(this, &QToolButton::clicked, this, &ColorButton::choose);
}

void ColorButton::setColour(const QColor& c)
{
    if (c == m_colour)
        return;
    m_colour = c;
    setAccessibleDescription(c.name(QColor::HexArgb));
    update();
}

QSize ColorButton::sizeHint() const
{
    return {48, 24};
}

void ColorButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    // The swatch over a checkerboard, so that a translucent colour shows.
    const QRect swatch = rect().adjusted(5, 5, -5, -5);
    painter.fillRect(swatch, QBrush(Qt::white));
    painter.fillRect(swatch, QBrush(Qt::lightGray, Qt::Dense4Pattern));
    painter.fillRect(swatch, isEnabled() ? m_colour : palette().color(QPalette::Disabled, QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void ColorButton::choose()
{
    // The dialog runs its own event loop, in which this button may go.
    const QPointer<ColorButton> self(this);
    const QColor chosen = QColorDialog::getColor(m_colour, this, toolTip(), QColorDialog::ShowAlphaChannel);
    if (!self || !chosen.isValid() || chosen == m_colour)
        return;
    setColour(chosen);
    emit colourChosen(chosen);
}

} // namespace tnUI
