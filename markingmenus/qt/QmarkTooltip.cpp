#include "QmarkTooltip.h"

#include "QmarkRender.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <QtMath>

namespace {

// Without a QGuiApplication there is no application font to ask for.
QFont applicationFont()
{
    return qGuiApp ? QGuiApplication::font() : QFont();
}

// How much of the text colour the frame takes.
constexpr double frameShare = 0.25;

} // namespace

QmarkTooltip::QmarkTooltip(const tnString::IString& text)
    : tnTooltip(text), m_font(applicationFont()), m_text(QString::fromStdWString(text.str()))
{}

QmarkTooltip::~QmarkTooltip() = default;

void QmarkTooltip::readApplicationFont()
{
    m_font = applicationFont();
}

void QmarkTooltip::getSize(float& width, float& height) const
{
    width = static_cast<float>(m_rect.width());
    height = static_cast<float>(m_rect.height());
}

void QmarkTooltip::setText(const tnString::IString& text)
{
    tnTooltip::setText(text);
    m_text = QString::fromStdWString(text.str());
}

void QmarkTooltip::draw(tnMarkRender& render, const tnLinear::Range2d& itemBox)
{
    auto* qrender = dynamic_cast<QmarkRender*>(&render);
    if (m_text.isEmpty() || !qrender || !qrender->painter())
        return;
    QPainter* painter = qrender->painter();

    // Overlap the item's lower-right corner by 5 pixels each way; the box is
    // the text's inclusive bounding rectangle grown by (7, 5).
    const QRect text = QFontMetrics(m_font).boundingRect(QRect(), Qt::AlignHCenter | Qt::AlignVCenter, m_text);
    const QPointF center = qrender->center();
    const int left = qRound(center.x() + itemBox.getMax().x - 5.0);
    const int top = qRound(center.y() - itemBox.getMin().y - 5.0);
    m_rect = QRect(left, top, text.right() - text.left() + 7, text.bottom() - text.top() + 5);
    _keepInside(*qrender);

    painter->save();
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    const QPalette palette = qrender->widget()->palette();
    painter->setPen(QPen(
        QmarkRender::mix(palette.color(QPalette::ToolTipBase), palette.color(QPalette::ToolTipText), frameShare), 2.0));
    painter->setBrush(palette.color(QPalette::ToolTipBase));
    painter->drawRect(m_rect);
    painter->setPen(palette.color(QPalette::ToolTipText));
    painter->setFont(m_font);
    painter->drawText(m_rect, Qt::AlignCenter, m_text);
    painter->restore();
}

void QmarkTooltip::_keepInside(const QmarkRender& render)
{
    // The render's pixels that are on the screen holding the tooltip's
    // corner: the screen for a marking menu's view, the picture when painting
    // into an image the size of a widget.
    const QRect canvas = render.canvas();
    const QPoint origin = canvas.topLeft();
    tnLinear::Range2d screen;
    getScreenBounds({static_cast<double>(origin.x() + m_rect.left()), static_cast<double>(origin.y() + m_rect.top())},
                    screen);
    QRect bounds(QPoint(0, 0), canvas.size());
    if (!screen.isEmpty()) {
        const QRect onScreen(QPoint(qFloor(screen.getMin().x), qFloor(screen.getMin().y)) - origin,
                             QPoint(qCeil(screen.getMax().x) - 1, qCeil(screen.getMax().y) - 1) - origin);
        bounds &= onScreen;
    }
    // The frame's pen reaches a pixel beyond the box.
    bounds.adjust(1, 1, -1, -1);
    if (bounds.isEmpty())
        return;
    // A far edge beyond the bounds is brought back first; the near edge wins
    // when the tooltip is larger than the bounds, so its text starts inside.
    if (m_rect.right() > bounds.right())
        m_rect.moveRight(bounds.right());
    if (m_rect.bottom() > bounds.bottom())
        m_rect.moveBottom(bounds.bottom());
    if (m_rect.left() < bounds.left())
        m_rect.moveLeft(bounds.left());
    if (m_rect.top() < bounds.top())
        m_rect.moveTop(bounds.top());
}

void QmarkTooltip::getScreenBounds(const tnLinear::Point2& p, tnLinear::Range2d& bounds) const
{
    const QScreen* screen = QGuiApplication::screenAt(QPoint(static_cast<int>(p.x), static_cast<int>(p.y)));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        bounds.setEmpty();
        return;
    }
    const QRect geometry = screen->geometry();
    bounds.set({static_cast<double>(geometry.left()), static_cast<double>(geometry.top())},
               {static_cast<double>(geometry.left() + geometry.width()),
                static_cast<double>(geometry.top() + geometry.height())});
}

tnTooltip* QmarkTooltip::create(const tnString::IString& text)
{
    return new QmarkTooltip(text);
}
