// Elements painted through a QmarkRender into transparent images, by pixel.
#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkOptionBoxItem.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkRender.h>
#include <tnUI/markingmenus/qt/QmarkTextItem.h>
#include <tnUI/markingmenus/qt/QmarkTooltip.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QtMath>

#include <functional>
#include <memory>

namespace {

constexpr int Width = 300;
constexpr int Height = 200;
const QPointF Center(150.0, 100.0);
const tnMarkFont Font("Sans", 0, 12);

QRgb shadow()
{
    return QApplication::palette().color(QPalette::Shadow).rgba();
}

// The pointer line's colour: halfway between the window and its text.
QRgb lineColor()
{
    const QPalette palette = QApplication::palette();
    return QmarkRender::mix(palette.color(QPalette::Window), palette.color(QPalette::WindowText), 0.5).rgba();
}

// The view pixels an item's box covers: each edge at the nearest pixel
// boundary, a half pixel going outward.
QRect viewBox(const tnMarkItem& item)
{
    float left, bottom, right, top;
    item.getBox(left, bottom, right, top);
    const int l = qCeil(Center.x() + left - 0.5);
    const int t = qCeil(Center.y() - top - 0.5);
    return {l, t, qFloor(Center.x() + right + 0.5) - l, qFloor(Center.y() - bottom + 0.5) - t};
}

// The device pixels holding anything drawn.
QRect footprint(const QImage& image)
{
    QRect painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                painted |= QRect(x, y, 1, 1);
    return painted;
}

bool blank(const QImage& image, const QRect& area)
{
    return footprint(image.copy(area)).isNull();
}

std::unique_ptr<QmarkTextItem> textItem(const char* label, const char* tooltip = "")
{
    return std::make_unique<QmarkTextItem>(label, tooltip, 1, tnMarkPosition(0.0f, 0.0f), nullptr, Font);
}

class QmarkRenderTest : public ::testing::Test {
protected:
    // The view stands for the screen: the image is as large.
    QmarkRenderTest() { widget.resize(Width, Height); }

    // Paints with the renderer bound to a transparent image, centred in it,
    // antialiased as the view paints; ratio device pixels to the pixel.
    QImage paint(const std::function<void(QmarkRender&)>& draw, int ratio = 1)
    {
        QImage image(Width * ratio, Height * ratio, QImage::Format_ARGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        render.setCenter(Center.x(), Center.y());
        render.setPainter(&painter);
        draw(render);
        render.setPainter(nullptr);
        return image;
    }
    QImage paint(tnMarkItem& item, int ratio = 1)
    {
        return paint([&item](QmarkRender& r) { item.draw(r); }, ratio);
    }

    QWidget widget;
    QmarkRender render{&widget};
};

// Eight items around a centre 35 pixels away, two with radio marks and one
// highlighted, as a pop-up menu lays them out in fonts up to the sketchpad's.
TEST_F(QmarkRenderTest, NeighbouringRadialItemsNeverTouchAtAnyPixelRatio)
{
    const char* labels[] = {"Erase", "Line", "Pen", "Black ink", "Red ink", "Grid", "Clear", "Undo"};
    for (const int points : {7, 8, 9}) {
        SCOPED_TRACE(points);
        const tnMarkFont font(QApplication::font().family().toStdWString(), 0, points);
        QmarkMenu menu;
        menu.setRadius(35.0f);
        tnMarkMenuItem* items[8];
        for (int i = 0; i < 8; ++i)
            items[i] = menu.addTextItem(labels[i], "", i, 2 * i, font, nullptr);
        items[3]->setRadioChecked(true);
        items[4]->setRadioChecked(false);
        items[1]->setState(tnMarkItem::Highlighted);

        QRect single[8];
        for (int i = 0; i < 8; ++i) {
            // Nothing is drawn outside the box.
            single[i] = footprint(paint(*items[i]));
            EXPECT_TRUE(viewBox(*items[i]).contains(single[i])) << labels[i];
            // At two device pixels to the pixel, the same pixels, finer,
            // with a crisp frame.
            const QImage fine = paint(*items[i], 2);
            const QRect doubled(single[i].topLeft() * 2, single[i].size() * 2);
            EXPECT_EQ(footprint(fine), doubled) << labels[i];
            for (const QPoint p : {doubled.topLeft(), doubled.bottomRight() - QPoint(1, 1)})
                EXPECT_EQ(fine.pixel(p), shadow()) << labels[i];
        }
        for (int i = 0; i < 8; ++i)
            EXPECT_FALSE(single[i].adjusted(-1, -1, 1, 1).intersects(single[(i + 1) % 8]))
                << labels[i] << " touches " << labels[(i + 1) % 8];
    }
}

// The box shows its picture, one per drawing state, in the square at the
// right end of its owner; labels keep clear of it.
TEST_F(QmarkRenderTest, OptionBoxAtTheOwnersRightEndAndLabelsClearOfIt)
{
    EXPECT_FALSE(QImage(":/optionBox.png").isNull());
    for (const char* label : {"M", "Move", "A rather long label"}) {
        QImage boxLooks[3];
        for (const int state : {tnMarkItem::Normal, tnMarkItem::Highlighted, tnMarkItem::Disabled}) {
            SCOPED_TRACE(testing::Message() << label << " " << state);
            // The same item with and without its label, equally wide, and
            // without a box.
            auto labelled = textItem(label);
            auto bare = textItem("");
            auto plain = textItem(label);
            bare->setMarkWidth(labelled->getWidth());
            for (auto* item : {labelled.get(), bare.get()}) {
                item->setOptionBox(new tnMarkOptionBoxItem("", 7, nullptr));
                item->setState(state);
            }
            plain->setState(state);
            const QImage with = paint(*labelled);
            const QImage without = paint(*bare);
            const QRect box = viewBox(*labelled);
            ASSERT_EQ(box, viewBox(*bare));
            EXPECT_EQ(footprint(with), box);
            const QRect boxArea(box.right() - box.height() + 1, box.top(), box.height(), box.height());
            EXPECT_NE(with.copy(boxArea), paint(*plain).copy(boxArea));
            boxLooks[state] = with.copy(boxArea);
            // The two columns left of the box, inside the frame, show no label.
            const QRect gap(boxArea.left() - 2, box.top() + 1, 2, box.height() - 2);
            EXPECT_EQ(with.copy(gap), without.copy(gap));
            const QRect labelArea(box.left(), box.top(), gap.left() - box.left(), box.height());
            EXPECT_NE(with.copy(labelArea), without.copy(labelArea));
        }
        EXPECT_NE(boxLooks[tnMarkItem::Normal], boxLooks[tnMarkItem::Disabled]) << label;
    }
}

// A tooltip overlaps its item's lower right corner by 5 pixels and is moved
// no further than needed to stay inside the screen and the view.
TEST_F(QmarkRenderTest, TooltipBesideTheItemInsideTheScreenAndTheView)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString tip = QStringLiteral("A tooltip of some length");
    const QRect text = QFontMetrics(QApplication::font()).boundingRect(QRect(), Qt::AlignCenter, tip);
    const QSize size(text.right() - text.left() + 7, text.bottom() - text.top() + 5);
    // Where the view lies on the screen, where the item is (model), and
    // where the tooltip's box must end up in the view.
    const struct {
        const char* what;
        QPoint viewAt;
        QPointF itemAt;
        QRect bounds;
    } cases[] = {
        {"in the middle", screen.topLeft(), {0.0, 0.0}, QRect(0, 0, Width, Height)},
        {"at the screen's right edge", screen.topRight() - QPoint(199, -10), {40.0, 0.0}, QRect(0, 0, 200, Height)},
        {"at the screen's bottom edge", screen.bottomLeft() - QPoint(-10, 149), {0.0, -40.0}, QRect(0, 0, Width, 150)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        widget.move(c.viewAt);
        auto item = textItem("Item", tip.toUtf8().constData());
        item->setPosition(tnMarkPosition(static_cast<float>(c.itemAt.x()), static_cast<float>(c.itemAt.y())));
        auto* tooltip = dynamic_cast<QmarkTooltip*>(item->getToolTip());
        ASSERT_NE(tooltip, nullptr);
        const QImage image = paint([&](QmarkRender& r) { item->showToolTip(r); });
        const QRect rect = tooltip->rect();
        const QRect painted = footprint(image);
        EXPECT_TRUE(c.bounds.contains(painted)) << painted.x() << "," << painted.y();
        float left, bottom, right, top;
        item->getBox(left, bottom, right, top);
        const QPoint beside(qRound(Center.x() + right - 5.0), qRound(Center.y() - bottom - 5.0));
        EXPECT_TRUE(rect.left() == beside.x() || painted.right() == c.bounds.right());
        EXPECT_TRUE(rect.top() == beside.y() || painted.bottom() == c.bounds.bottom());
        EXPECT_EQ(rect.size(), size);
        const QPalette palette = widget.palette();
        EXPECT_EQ(
            image.pixel(rect.left(), rect.center().y()),
            QmarkRender::mix(palette.color(QPalette::ToolTipBase), palette.color(QPalette::ToolTipText), 0.25).rgba());
        EXPECT_EQ(image.pixel(rect.left() + 2, rect.top() + 2), palette.color(QPalette::ToolTipBase).rgba());
        tooltip->setText("");
        EXPECT_TRUE(blank(paint([&](QmarkRender& r) { item->showToolTip(r); }), image.rect()));
    }
}

// The pointer line passes beneath the items drawn before it with the same
// painter.
TEST_F(QmarkRenderTest, PointerLinePassesBeneathTheItemsDrawnBeforeIt)
{
    auto item = textItem("Item");
    item->setPosition(tnMarkPosition(20.0f, 0.0f));
    const QRect box = viewBox(*item);
    const QImage image = paint([&](QmarkRender& r) {
        item->draw(r);
        const QPen pen = r.painter()->pen();
        r.drawPointerLine(0.0f, 0.0f, 140.0f, 0.0f);
        EXPECT_EQ(r.painter()->pen(), pen);
    });
    const QRect clear = box.adjusted(-1, -1, 1, 1);
    EXPECT_EQ(image.copy(clear), paint(*item).copy(clear));
    for (const int x : {clear.left() - 3, clear.right() + 3})
        EXPECT_EQ(image.pixel(x, qRound(Center.y())), lineColor()) << x;
    EXPECT_EQ(qAlpha(image.pixel(clear.left() - 3, qRound(Center.y()) - 3)), 0);
    // A painter bound afresh has drawn no items yet.
    const QImage second = paint([&](QmarkRender& r) {
        item->draw(r);
        r.setPainter(r.painter());
        r.drawPointerLine(0.0f, 0.0f, 140.0f, 0.0f);
    });
    EXPECT_EQ(second.pixel(box.center().x(), qRound(Center.y())), lineColor());

    EXPECT_THROW(QmarkRender(nullptr), tnUI::NullError);
}

} // namespace
