#include "ColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <algorithm>

namespace tnUI {

ColorButton::ColorButton(QWidget* parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleDescription(colourText());
    connect(this, &QToolButton::clicked, this, &ColorButton::choose);
}

void ColorButton::setColour(const QColor& c)
{
    if (c == m_colour)
        return;
    m_colour = c;
    setAccessibleDescription(colourText());
    update();
}

QString ColorButton::colourText() const
{
    if (!m_colour.isValid())
        return QStringLiteral("none");
    return m_colour.name(m_colour.alpha() < 255 ? QColor::HexArgb : QColor::HexRgb);
}

QSize ColorButton::sizeHint() const
{
    // Grows with the font, so that the swatch stays as tall as a field.
    const int height = std::max(QToolButton::sizeHint().height(), fontMetrics().height() + 10);
    return {2 * height, height};
}

void ColorButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    const QRect swatch = rect().adjusted(5, 5, -5, -5);
    if (m_colour.isValid()) {
        // A checkerboard under a translucent colour, so that it shows as one.
        if (m_colour.alpha() < 255) {
            painter.fillRect(swatch, palette().color(QPalette::Base));
            const int cell = std::max(4, swatch.height() / 4);
            painter.setClipRect(swatch);
            for (int y = swatch.top(); y <= swatch.bottom(); y += cell)
                for (int x = swatch.left() + ((y - swatch.top()) / cell % 2) * cell; x <= swatch.right(); x += 2 * cell)
                    painter.fillRect(x, y, cell, cell, palette().color(QPalette::Mid));
            painter.setClipping(false);
        }
        // The colour itself even when disabled: the swatch stays readable.
        painter.fillRect(swatch, m_colour);
    }
    // Two frames from the palette, one light and one dark on any theme, so
    // that a swatch of the window's own colour still stands out.
    painter.setPen(palette().color(QPalette::Base));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(swatch.adjusted(-1, -1, 0, 0));
}

void ColorButton::choose()
{
    // The dialog runs its own event loop, in which this button, and the
    // dialog with it, may go: both are watched.
    const QPointer<ColorButton> self(this);
    const QPointer<QColorDialog> dialog = new QColorDialog(m_colour.isValid() ? m_colour : QColor(Qt::white), this);
    dialog->setOption(QColorDialog::ShowAlphaChannel, m_alphaShown);
    if (!m_title.isEmpty())
        dialog->setWindowTitle(m_title);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!self || !dialog)
        return;
    const QColor chosen = dialog->selectedColor();
    delete dialog.data();
    if (!accepted || !chosen.isValid() || chosen == m_colour)
        return;
    setColour(chosen);
    emit colourChosen(chosen);
}

} // namespace tnUI
