#pragma once

#include "../MarkRender.h"

#include <QFont>
#include <QRect>
#include <QString>

class QmarkRender;

// A tooltip drawn in the palette's tooltip colours, its frame a mix of the
// two, overlapping the
// lower-right corner of its item by 5 pixels each way, or moved back inside
// the screen and the view where that would reach beyond them. A tooltip with
// empty text is neither laid out nor drawn.
class QmarkTooltip : public tnTooltip {
public:
    // Takes the application font for its text.
    explicit QmarkTooltip(const tnString::IString& text);
    // Takes the application font again, as it is now.
    void readApplicationFont();
    ~QmarkTooltip() override;

    // The size of the box as last laid out; (0, 0) before.
    void getSize(float& width, float& height) const override;
    void setText(const tnString::IString& text) override;
    // Lays the box out beside itemBox (model coordinates) around the
    // renderer's centre and draws it. Draws only through a QmarkRender with a
    // painter bound.
    void draw(tnMarkRender& render, const tnLinear::Range2d& itemBox) override;
    // The geometry of the screen holding p, else of the primary screen; an
    // empty range without any screen.
    void getScreenBounds(const tnLinear::Point2& p, tnLinear::Range2d& bounds) const override;

    // The box in view pixels as last laid out.
    const QRect& rect() const { return m_rect; }
    const QFont& font() const { return m_font; }

    // The factory the marking-menu items create their tooltips through.
    static tnTooltip* create(const tnString::IString& text);

private:
    // Moves the laid-out box back inside the part of the render's view that
    // lies on the screen.
    void _keepInside(const QmarkRender& render);

    QFont m_font;
    QString m_text;
    QRect m_rect;
};
