#include "SwitchButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace tnUI {

namespace {

// Room around the track for the focus frame.
constexpr int kMargin = 3;

} // namespace

SwitchButton::SwitchButton(QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QRect SwitchButton::trackRect() const
{
    // As tall as a line of text, a little less than twice as wide.
    const int height = fontMetrics().height();
    return {kMargin, (this->height() - height) / 2, height * 9 / 5, height};
}

QSize SwitchButton::sizeHint() const
{
    const QRect track = trackRect();
    QSize size(track.width() + 2 * kMargin, track.height() + 2 * kMargin);
    if (!text().isEmpty()) {
        const QSize label = fontMetrics().size(Qt::TextShowMnemonic, text());
        size.rwidth() += fontMetrics().averageCharWidth() + label.width();
        size.rheight() = std::max(size.height(), label.height());
    }
    return size;
}

QSize SwitchButton::minimumSizeHint() const
{
    return sizeHint();
}

void SwitchButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The option's palette is in the colour group of the switch's state
    // (disabled, inactive window).
    QStyleOption option;
    option.initFrom(this);
    const QPalette& palette = option.palette;
    const bool on = isChecked();
    const QRectF track = QRectF(trackRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    painter.setPen(QPen(palette.color(on ? QPalette::Highlight : QPalette::Mid), 1.0));
    painter.setBrush(palette.color(on ? QPalette::Highlight : QPalette::Button));
    painter.drawRoundedRect(track, radius, radius);
    const qreal inset = std::max<qreal>(2.0, track.height() / 8);
    const qreal knob = track.height() - 2 * inset;
    const qreal x = on ? track.right() - inset - knob : track.left() + inset;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.color(on ? QPalette::HighlightedText : QPalette::ButtonText));
    painter.drawEllipse(QRectF(x, track.top() + inset, knob, knob));
    if (!text().isEmpty()) {
        const QRect label = rect().adjusted(trackRect().right() + fontMetrics().averageCharWidth(), 0, 0, 0);
        style()->drawItemText(&painter, label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette,
                              isEnabled(), text(), QPalette::WindowText);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = trackRect().adjusted(-2, -2, 2, 2);
        focus.backgroundColor = palette.color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace tnUI
