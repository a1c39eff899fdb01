#include "QmarkRender.h"

#include "QmarkImage.h"
#include "QmarkStyledText.h"
#include "QmarkTextItem.h"

#include "../../entity/Error.h"
#include "../MarkOptionBoxItem.h"
#include "../MarkTextItem.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QWidget>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// Pixels left free between the pointer line and an item's frame.
constexpr int lineClearance = 1;
// Pixels left free between an item's label and its option box.
constexpr int labelClearance = 2;

// Styles draw menus unantialiased, on whole pixels; the view paints with
// antialiasing for its strokes. Switches it off for the lifetime of this.
class StyleHints {
public:
    explicit StyleHints(QPainter* painter) : m_painter(painter), m_hints(painter->renderHints())
    {
        painter->setRenderHint(QPainter::Antialiasing, false);
    }
    ~StyleHints() { m_painter->setRenderHints(m_hints, true); }
    StyleHints(const StyleHints&) = delete;
    StyleHints& operator=(const StyleHints&) = delete;

private:
    QPainter* m_painter;
    QPainter::RenderHints m_hints;
};

// The option-box picture in the palette's colours, made on first use for
// each pair of colours and released with the application, while its pixmaps
// can still be freed. The picture is grey, drawn black on white: each grey
// becomes the colour as far from text towards base, so a light palette's
// black on white shows it as drawn.
const QIcon& optionBoxIcon(const QColor& text, const QColor& base)
{
    static QIcon icon;
    static QRgb colours[2] = {0, 0};
    static bool loaded = false;
    if (!loaded || colours[0] != text.rgba() || colours[1] != base.rgba()) {
        if (!loaded)
            qAddPostRoutine([] {
                icon = QIcon();
                loaded = false;
            });
        QImage image = QImage(QStringLiteral(":/optionBox.png")).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(line[x]);
                const auto channel = [grey](int from, int to) { return from + (to - from) * grey / 255; };
                line[x] = qRgba(channel(text.red(), base.red()), channel(text.green(), base.green()),
                                channel(text.blue(), base.blue()), qAlpha(line[x]));
            }
        }
        icon = QIcon(QPixmap::fromImage(image));
        colours[0] = text.rgba();
        colours[1] = base.rgba();
        loaded = true;
    }
    return icon;
}

QIcon::Mode iconMode(int drawingState)
{
    switch (drawingState) {
    case tnMarkOptionBoxItem::DrawHighlighted: return QIcon::Selected;
    case tnMarkOptionBoxItem::DrawOwnerHighlighted: return QIcon::Active;
    case tnMarkOptionBoxItem::DrawDisabled: return QIcon::Disabled;
    default: return QIcon::Normal;
    }
}

} // namespace

QmarkRender::QmarkRender(QWidget* widget)
    : m_widget(widget), m_pointerPen(QBrush(Qt::SolidPattern), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin)
{
    if (!widget)
        throw tnUI::NullError();
}

QmarkRender::~QmarkRender() = default;

void QmarkRender::forgetPictures()
{
    m_pictures.clear();
}

QRect QmarkRender::canvas() const
{
    return m_canvas.isNull() ? QRect(m_widget->mapToGlobal(QPoint(0, 0)), m_widget->size()) : m_canvas;
}

void QmarkRender::setPainter(QPainter* painter)
{
    m_painter = painter;
    m_drawn.clear();
    m_bounds = QRect();
    m_clip = painter && painter->hasClipping() ? painter->clipBoundingRect().toAlignedRect() : QRect();
}

void QmarkRender::drawPointerLine(float x1, float y1, float x2, float y2)
{
    if (!m_painter)
        return;
    const QPointF from = _toView(x1, y1);
    const QPointF to = _toView(x2, y2);
    const int reach = qCeil(m_pointerPen.widthF()) + 1;
    const QRect area = QRectF(from, to).normalized().toAlignedRect().adjusted(-reach, -reach, reach, reach);
    if (!_reaches(area))
        return;
    m_painter->save();
    if (!m_drawn.empty()) {
        // The line passes beneath the items and lists: it is cut out of their
        // boxes, with a pixel to spare so that it never touches a frame.
        QRegion clip(area);
        for (const QRect& box : m_drawn)
            clip -= box.adjusted(-lineClearance, -lineClearance, lineClearance, lineClearance);
        m_painter->setClipRegion(clip, Qt::IntersectClip);
    }
    QPen pen = m_pointerPen;
    pen.setColor(_lineColor());
    m_painter->setPen(pen);
    m_painter->drawLine(from, to);
    m_painter->restore();
}

void QmarkRender::drawListBackground(const tnLinear::Point2& topLeft, const tnLinear::Vector2& size)
{
    if (!m_painter)
        return;
    const QPointF corner = _toView(topLeft.x, topLeft.y);
    const QRect rect(qRound(corner.x()), qRound(corner.y()), qRound(size.x), qRound(size.y));
    const QRect framed = rect.adjusted(-1, -1, 1, 1);
    m_drawn.push_back(framed);
    if (!_reaches(framed))
        return;
    const StyleHints hints(m_painter);

    QStyleOptionMenuItem option;
    option.initFrom(m_widget);
    option.rect = rect;
    _drawPanel(option);
    m_widget->style()->drawControl(QStyle::CE_MenuItem, &option, m_painter, m_widget);
    _drawFrame(framed, option.palette.color(QPalette::Shadow));
}

void QmarkRender::drawDefaultCenter()
{
    // The ellipse's pen and antialiasing reach past its 6-pixel radius.
    constexpr int reach = 8;
    if (!m_painter || !_reaches(QRect(m_center.toPoint() - QPoint(reach, reach), QSize(2 * reach, 2 * reach))))
        return;
    const QPen pen = m_painter->pen();
    const QBrush brush = m_painter->brush();
    m_painter->setPen(m_widget->palette().color(QPalette::WindowText));
    m_painter->setBrush(_lineColor());
    m_painter->drawEllipse(m_center, 6.0, 6.0);
    m_painter->setPen(pen);
    m_painter->setBrush(brush);
}

void QmarkRender::drawImage(tnMarkImage* image, float x, float y)
{
    const auto* qimage = dynamic_cast<const QmarkImage*>(image);
    if (!m_painter || !qimage)
        return;
    const QPointF center = _toView(x, y);
    const QImage& picture = qimage->image();
    const QPoint corner(qRound(center.x() - picture.width() / 2.0), qRound(center.y() - picture.height() / 2.0));
    // Measured in the picture's own pixels, as drawImage places it.
    const QRect rect(corner, picture.size());
    m_drawn.push_back(rect);
    if (_reaches(rect))
        m_painter->drawImage(corner, picture);
}

void QmarkRender::drawTextItem(tnMarkTextItem* item, float x, float y)
{
    if (!m_painter || !item)
        return;
    const QRect box = _itemBox(x, y, item->getWidth(), item->getHeight());
    m_drawn.push_back(box);
    // A separator takes the two pixels below the box.
    if (!_reaches(item->hasSeparatorAfter() ? box.adjusted(0, 0, 0, 2) : box))
        return;
    // A radial item covers its box alone, so it is kept as a picture for
    // each look it takes (its label, check mark and state).
    const auto* text = dynamic_cast<const QmarkStyledText*>(item->getStyledText());
    if (text && !item->isInOverflow() && !item->hasSeparatorAfter()) {
        const int look = item->getState() * 2 + (item->isChecked() ? 1 : 0);
        _drawKept(item, look, text->qText(), box, [this, item, &box] { _drawTextItem(item, box); });
    } else {
        _drawTextItem(item, box);
    }
}

void QmarkRender::_drawTextItem(tnMarkTextItem* item, const QRect& box)
{
    // Radial items stand alone: the style's panel fills the box and a frame
    // is drawn over its outermost pixels. List items sit on the list's frame.
    const bool framed = !item->isInOverflow();
    const StyleHints hints(m_painter);

    QStyleOptionMenuItem option;
    option.initFrom(m_widget);
    option.rect = box;
    QSize label;
    if (const auto* text = dynamic_cast<const QmarkStyledText*>(item->getStyledText())) {
        option.text = text->qText();
        option.font = text->qFont();
        float width, height;
        text->getExtent(width, height);
        label = QSize(static_cast<int>(width), static_cast<int>(height));
    } else {
        option.text = QString::fromStdWString(item->getLabel().str());
        option.font = m_widget->font();
    }
    option.fontMetrics = QFontMetrics(option.font);
    option.menuItemType = item->getSubmenu() ? QStyleOptionMenuItem::SubMenu : QStyleOptionMenuItem::Normal;
    if (item->isRadio())
        option.checkType = QStyleOptionMenuItem::Exclusive;
    else if (item->isCheckable())
        option.checkType = QStyleOptionMenuItem::NonExclusive;
    else
        option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.checked = item->isChecked();
    if (item->getState() == tnMarkItem::Highlighted)
        option.state |= QStyle::State_Selected;
    else if (item->getState() == tnMarkItem::Disabled)
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    QStyle* style = m_widget->style();
    if (const auto* qItem = dynamic_cast<const QmarkTextItem*>(item); qItem && !qItem->icon().isNull()) {
        // As QMenu lays out its icons: the check column as wide as a small
        // icon and a margin, the disabled icon for a disabled item.
        option.icon = qItem->icon();
        option.maxIconWidth = style->pixelMetric(QStyle::PM_SmallIconSize, &option, m_widget) + 4;
        if (item->getState() == tnMarkItem::Disabled)
            option.state &= ~QStyle::State_Enabled;
    }
    if (framed)
        _drawPanel(option);

    // Item widths leave one text height for the check column, which some
    // styles draw wider; a style that would elide a label the box holds gets
    // the shortfall back from the shortcut column, which items never use.
    const int needed = style->sizeFromContents(QStyle::CT_MenuItem, &option, label, m_widget).width();
    option.reservedShortcutWidth = std::min(0, box.width() - needed);
    const tnMarkOptionBoxItem* optionBox = item->getOptionBox();
    if (!optionBox) {
        style->drawControl(QStyle::CE_MenuItem, &option, m_painter, m_widget);
    } else {
        // The style's label would start after its check column and run into
        // the option box at the right end. The style draws the panel and the
        // marks; the label, in the style's colours, ends a little short of
        // the box, leaving the check column all the room the width gives.
        const QString text = option.text;
        option.text.clear();
        style->drawControl(QStyle::CE_MenuItem, &option, m_painter, m_widget);
        const int boxLeft = box.left() + box.width() - qRound(optionBox->getWidth());
        const int left = box.left() + (framed ? 1 : 0);
        const QRect area(left, box.top(), boxLeft - labelClearance - left, box.height());
        const int mnemonic = style->styleHint(QStyle::SH_UnderlineShortcut, &option, m_widget) ? Qt::TextShowMnemonic
                                                                                               : Qt::TextHideMnemonic;
        const int flags = static_cast<int>(Qt::AlignRight | Qt::AlignVCenter) | Qt::TextSingleLine | mnemonic;
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        m_painter->save();
        m_painter->setFont(option.font);
        style->drawItemText(m_painter, area, flags, option.palette, item->getState() != tnMarkItem::Disabled,
                            option.fontMetrics.elidedText(text, Qt::ElideRight, area.width(), mnemonic),
                            selected ? QPalette::HighlightedText : QPalette::Text);
        m_painter->restore();
    }

    if (framed)
        _drawFrame(box, option.palette.color(QPalette::Shadow));

    if (item->hasSeparatorAfter()) {
        option.rect = QRect(box.left(), box.bottom() + 1, box.width(), 2);
        option.menuItemType = QStyleOptionMenuItem::Separator;
        option.checkType = QStyleOptionMenuItem::NotCheckable;
        option.checked = false;
        option.text.clear();
        option.state &= ~QStyle::State_Selected;
        option.reservedShortcutWidth = 0;
        style->drawControl(QStyle::CE_MenuItem, &option, m_painter, m_widget);
    }
}

void QmarkRender::drawOptionBox(tnMarkOptionBoxItem* box, float x, float y)
{
    if (!m_painter || !box)
        return;
    const QRect rect = _itemBox(x, y, box->getWidth(), box->getHeight());
    m_drawn.push_back(rect);
    if (_reaches(rect))
        _drawKept(box, box->getDrawingState(), QString(), rect, [this, box, &rect] { _drawOptionBox(box, rect); });
}

void QmarkRender::_drawOptionBox(tnMarkOptionBoxItem* box, const QRect& rect)
{
    const int drawingState = box->getDrawingState();
    const StyleHints hints(m_painter);

    // The box sits in its owner's right end: a radial owner's frame goes
    // round both, so the box's panel stays inside it. The picture is painted
    // in the whole box, where it keeps its own size.
    const tnMarkMenuItem* owner = box->getOwner();
    QStyleOptionMenuItem option;
    option.initFrom(m_widget);
    option.rect = owner && !owner->isInOverflow() ? rect.adjusted(0, 1, -1, -1) : rect;
    if (drawingState == tnMarkOptionBoxItem::DrawHighlighted)
        option.state |= QStyle::State_Selected;
    else if (drawingState == tnMarkOptionBoxItem::DrawDisabled)
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    m_widget->style()->drawControl(QStyle::CE_MenuItem, &option, m_painter, m_widget);
    const QPalette& palette = m_widget->palette();
    optionBoxIcon(palette.color(QPalette::Active, QPalette::Text), palette.color(QPalette::Active, QPalette::Base))
        .paint(m_painter, rect, Qt::AlignCenter, iconMode(drawingState));
}

QColor QmarkRender::mix(const QColor& a, const QColor& b, double share)
{
    const auto channel = [share](int from, int to) { return qRound(from + (to - from) * share); };
    return {channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()),
            channel(a.alpha(), b.alpha())};
}

QColor QmarkRender::_lineColor() const
{
    const QPalette& palette = m_widget->palette();
    return mix(palette.color(QPalette::Window), palette.color(QPalette::WindowText), 0.5);
}

void QmarkRender::translate(float dx, float dy)
{
    m_center += QPointF(dx, -dy);
}

QPointF QmarkRender::_toView(double x, double y) const
{
    return {m_center.x() + x, m_center.y() - y};
}

QRect QmarkRender::_itemBox(float x, float y, float width, float height) const
{
    // Nearest whole pixels, so that boxes a pixel apart in the model stay
    // apart on screen; a half pixel goes outward, so the box covers the item.
    const QPointF center = _toView(x, y);
    const int left = qCeil(center.x() - width / 2.0 - 0.5);
    const int top = qCeil(center.y() - height / 2.0 - 0.5);
    const int right = qFloor(center.x() + width / 2.0 + 0.5);
    const int bottom = qFloor(center.y() + height / 2.0 + 0.5);
    return {left, top, right - left, bottom - top};
}

void QmarkRender::_drawPanel(const QStyleOptionMenuItem& option)
{
    // The view's background is see-through and the menu-item panels of some
    // styles only paint the highlight: lay the style's menu background first.
    m_widget->style()->drawPrimitive(QStyle::PE_PanelMenu, &option, m_painter, m_widget);
}

void QmarkRender::_drawFrame(const QRect& rect, const QColor& color)
{
    // Filled rather than stroked, so that it stays on whole pixels whatever
    // the painter's antialiasing and device pixel ratio.
    m_painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), color);
    m_painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
    m_painter->fillRect(QRect(rect.left(), rect.top() + 1, 1, rect.height() - 2), color);
    m_painter->fillRect(QRect(rect.right(), rect.top() + 1, 1, rect.height() - 2), color);
}

bool QmarkRender::_reaches(const QRect& rect)
{
    m_bounds |= rect;
    return m_clip.isNull() || m_clip.intersects(rect);
}

void QmarkRender::_drawKept(const void* owner, int look, const QString& text, const QRect& area,
                            const std::function<void()>& draw)
{
    // Pictures are kept at one device pixel to the pixel only, moved by
    // whole pixels at most: otherwise the style places its lines in a
    // picture otherwise than on the screen.
    const QTransform& transform = m_painter->transform();
    const bool wholePixels = transform.type() <= QTransform::TxTranslate &&
                             transform.dx() == std::round(transform.dx()) &&
                             transform.dy() == std::round(transform.dy());
    if (m_painter->device()->devicePixelRatio() != 1.0 || !wholePixels) {
        draw();
        return;
    }
    const auto kept = std::find_if(m_pictures.begin(), m_pictures.end(), [&](const Picture& picture) {
        return picture.owner == owner && picture.look == look && picture.pixmap.size() == area.size() &&
               picture.text == text;
    });
    if (kept != m_pictures.end()) {
        m_painter->drawPixmap(area.topLeft(), kept->pixmap);
        return;
    }
    QPixmap pixmap(area.size());
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHints(m_painter->renderHints());
        painter.setFont(m_painter->font());
        painter.setPen(m_painter->pen());
        painter.setBrush(m_painter->brush());
        painter.translate(-area.topLeft());
        QPainter* const target = m_painter;
        m_painter = &painter;
        draw();
        m_painter = target;
    }
    m_painter->drawPixmap(area.topLeft(), pixmap);
    m_pictures.push_back({owner, look, text, std::move(pixmap)});
}
