#pragma once

#include "../MarkRender.h"

#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class QColor;
class QPainter;
class QRect;
class QStyleOptionMenuItem;
class QWidget;

// Draws marking menus with a QPainter in the look of the widget's style and
// the colours of its palette: items are the style's menu-item panels; the
// pointer line and the centre take the colour halfway between the window and
// its text, which stands out on light and dark palettes alike. Model points (relative to the menu
// centre, y up) map to the view pixel (centre.x + x, centre.y - y). Nothing is
// drawn while no painter is bound.
//
// Everything stays on whole logical pixels, so a painter with a device pixel
// ratio draws the same picture, only finer. A radial item is drawn inside the
// pixels of its own box, its frame on the box's outermost pixels, so that
// items whose boxes do not meet never touch. The pointer line runs beneath
// everything drawn since the painter was bound: it is cut out of those boxes.
//
// A painter that clips when it is bound (a paint of part of the view) gets
// only what reaches into its clip's bounding rectangle: the style is not run
// for items wholly outside it, though their boxes still count for the
// pointer line and bounds().
//
// Radial items and option boxes are drawn once for each look they take and
// kept as pictures, so that a repaint lays pictures instead of running the
// style; on a painter with one device pixel to the pixel, moved by whole
// pixels at most. A popup starts by forgetting them, so that changes made
// between popups show.
class QmarkRender : public tnMarkRender {
public:
    // widget supplies the style and the palette; it is not owned. A null
    // widget raises tnUI::NullError.
    explicit QmarkRender(QWidget* widget);
    ~QmarkRender() override;

    // Binds the painter for one paint; null unbinds it. Either way the boxes
    // drawn so far and the bounds are forgotten.
    void setPainter(QPainter* painter);
    // Forgets the kept pictures of items.
    void forgetPictures();
    // The view pixels of everything drawn since the painter was bound,
    // including what lay outside its clip.
    QRect bounds() const { return m_bounds; }
    QPainter* painter() const { return m_painter; }
    QWidget* widget() const { return m_widget; }
    // The global rectangle whose top-left corner the render's pixel (0, 0)
    // shows at; tooltips stay inside it. Null (the default): the widget's.
    void setCanvas(const QRect& canvas) { m_canvas = canvas; }
    QRect canvas() const;
    // The menu centre in view pixels.
    void setCenter(double x, double y) { m_center = QPointF(x, y); }
    QPointF center() const { return m_center; }

    void drawPointerLine(float x1, float y1, float x2, float y2) override;
    void drawListBackground(const tnLinear::Point2& topLeft, const tnLinear::Vector2& size) override;
    void drawDefaultCenter() override;
    void drawImage(tnMarkImage* image, float x, float y) override;
    void drawTextItem(tnMarkTextItem* item, float x, float y) override;
    void drawOptionBox(tnMarkOptionBoxItem* box, float x, float y) override;
    void translate(float dx, float dy) override;

    // The colour share of the way from a to b.
    static QColor mix(const QColor& a, const QColor& b, double share);

private:
    // The pointer line's and the centre's colour.
    QColor _lineColor() const;
    // The view pixel of the model point (x, y).
    QPointF _toView(double x, double y) const;
    // The pixels a width x height box centred at the model point covers:
    // each edge goes to the nearest pixel boundary, a half pixel away from
    // the centre.
    QRect _itemBox(float x, float y, float width, float height) const;
    void _drawTextItem(tnMarkTextItem* item, const QRect& box);
    void _drawOptionBox(tnMarkOptionBoxItem* box, const QRect& rect);
    // Lays the picture kept for owner in this look and text over area, drawn
    // by draw into a new one first where none is kept.
    void _drawKept(const void* owner, int look, const QString& text, const QRect& area,
                   const std::function<void()>& draw);
    void _drawPanel(const QStyleOptionMenuItem& option);
    // A one-pixel outline on the outermost pixels of rect.
    void _drawFrame(const QRect& rect, const QColor& color);
    // Adds rect to the bounds; false when it lies outside the clip, so that
    // drawing it can be skipped.
    bool _reaches(const QRect& rect);

    QPainter* m_painter = nullptr;
    QWidget* m_widget;
    QPointF m_center;
    // The pointer line's shape; its colour comes from the palette.
    QPen m_pointerPen;
    // The pixels of the items and lists drawn while this painter is bound.
    std::vector<QRect> m_drawn;
    // The bounding rectangle of the painter's clip when bound; null when it
    // did not clip.
    QRect m_clip;
    QRect m_bounds;
    QRect m_canvas;
    struct Picture {
        const void* owner;
        int look;
        QString text;
        QPixmap pixmap;
    };
    std::vector<Picture> m_pictures;
};
