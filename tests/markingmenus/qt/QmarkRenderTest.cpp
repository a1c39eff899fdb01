// Drawing of marking menus with Qt: each element is painted into a
// transparent image through a QmarkRender and checked by its pixels.
#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkImageItem.h>
#include <tnUI/markingmenus/MarkOptionBoxItem.h>
#include <tnUI/markingmenus/qt/QmarkImage.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkRender.h>
#include <tnUI/markingmenus/qt/QmarkStyledText.h>
#include <tnUI/markingmenus/qt/QmarkTextItem.h>
#include <tnUI/markingmenus/qt/QmarkTooltip.h>
#include <tnUI/markingmenus/qt/QtMarkImageItem.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QtMath>

#include <functional>
#include <memory>
#include <tuple>

namespace {

constexpr int Width = 300;
constexpr int Height = 200;
const QPointF Center(150.0, 100.0);
const tnMarkFont Font("Sans", 0, 12);

QRgb shadow()
{
    return QApplication::palette().color(QPalette::Shadow).rgba();
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
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
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

TEST_F(QmarkRenderTest, DefaultCentreIsADarkGreyDotWithABlackOutline)
{
    const QImage image = paint([](QmarkRender& r) { r.drawDefaultCenter(); });
    const int cy = qRound(Center.y());
    EXPECT_EQ(image.pixel(Center.toPoint()), QColor(Qt::darkGray).rgba());
    int first = 0, last = Width - 1;
    while (first < last && qAlpha(image.pixel(first, cy)) == 0)
        ++first;
    while (last > first && qAlpha(image.pixel(last, cy)) == 0)
        --last;
    // Antialiased: the black outline covers the outermost two pixels on each
    // side of a dot 12 pixels across.
    for (const int x : {first, first + 1, last - 1, last})
        EXPECT_LT(qRed(image.pixel(x, cy)), 64) << x;
    EXPECT_EQ(image.pixel(first + 2, cy), QColor(Qt::darkGray).rgba());
    EXPECT_NEAR(last - first, 13, 1);
    EXPECT_NEAR((first + last) / 2.0, Center.x(), 1.0);
}

TEST_F(QmarkRenderTest, RadialItemsAreFramedListItemsAreNot)
{
    for (const bool inList : {false, true}) {
        SCOPED_TRACE(inList);
        auto item = textItem("Open");
        item->setInOverflow(inList);
        const QRect box = viewBox(*item);
        const QImage image = paint(*item);
        // The frame takes the box's outermost pixels: nothing is drawn
        // outside the box.
        for (const QPoint p : {QPoint(box.left(), box.center().y()), QPoint(box.right(), box.center().y()),
                               QPoint(box.center().x(), box.top()), QPoint(box.center().x(), box.bottom())})
            EXPECT_EQ(image.pixel(p) == shadow(), !inList) << p.x() << "," << p.y();
        EXPECT_TRUE(box.contains(footprint(image)));
    }
}

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
            single[i] = footprint(paint(*items[i]));
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

TEST_F(QmarkRenderTest, StatesMarksAndSeparatorsChangeTheLook)
{
    QmarkMenu submenu;
    using Change = std::function<void(QmarkTextItem&)>;
    const Change none = [](QmarkTextItem&) {};
    const Change inList = [](QmarkTextItem& i) { i.setInOverflow(true); };
    const struct {
        const char* what;
        Change before;
        Change after;
        bool below; // the change shows just below the box
    } cases[] = {
        {"disabled", none, [](QmarkTextItem& i) { i.setState(tnMarkItem::Disabled); }, false},
        {"highlighted", none, [](QmarkTextItem& i) { i.setState(tnMarkItem::Highlighted); }, false},
        {"check mark", [](QmarkTextItem& i) { i.setChecked(false); }, [](QmarkTextItem& i) { i.setChecked(true); },
         false},
        {"radio mark", [](QmarkTextItem& i) { i.setRadioChecked(false); },
         [](QmarkTextItem& i) { i.setRadioChecked(true); }, false},
        {"submenu arrow", none, [&](QmarkTextItem& i) { i.setSubmenu(&submenu); }, false},
        {"separator", inList, [](QmarkTextItem& i) { i.setSeparatorAfter(true); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto item = textItem("Item");
        c.before(*item);
        const QImage before = paint(*item);
        c.after(*item);
        const QImage after = paint(*item);
        EXPECT_NE(before, after);
        EXPECT_TRUE(blank(after, QRect(0, 0, Width, viewBox(*item).top() - 1)));
        if (c.below) {
            const QRect box = viewBox(*item);
            const QRect below(box.left(), box.bottom() + 1, box.width(), 2);
            EXPECT_TRUE(blank(before, below));
            EXPECT_FALSE(blank(after, below));
        }
    }
}

TEST_F(QmarkRenderTest, OptionBoxShowsItsPictureInsideTheOwnersRightEnd)
{
    EXPECT_FALSE(QImage(":/optionBox.png").isNull());
    auto item = textItem("Item");
    item->setOptionBox(new tnMarkOptionBoxItem("", 7, nullptr));
    const QImage withBox = paint(*item);
    const QRect box = viewBox(*item);
    const QRect boxArea(box.right() - box.height() + 1, box.top(), box.height(), box.height());
    const QImage without = paint(*textItem("Item"));
    EXPECT_NE(withBox.copy(boxArea), without.copy(boxArea));
    EXPECT_EQ(footprint(withBox), box);

    // Each drawing state has its own look.
    QImage looks[2];
    for (const int state : {tnMarkItem::Normal, tnMarkItem::Disabled}) {
        item->getOptionBox()->setState(state);
        looks[state] = paint(*item->getOptionBox()).copy(boxArea);
    }
    EXPECT_NE(looks[0], looks[1]);
}

TEST_F(QmarkRenderTest, LabelsKeepClearOfTheOptionBox)
{
    for (const char* label : {"M", "Move", "A rather long label"}) {
        for (const int state : {tnMarkItem::Normal, tnMarkItem::Highlighted, tnMarkItem::Disabled}) {
            SCOPED_TRACE(testing::Message() << label << " " << state);
            // The same item with and without its label, equally wide.
            auto labelled = textItem(label);
            auto bare = textItem("");
            bare->setMarkWidth(labelled->getWidth());
            for (auto* item : {labelled.get(), bare.get()}) {
                item->setOptionBox(new tnMarkOptionBoxItem("", 7, nullptr));
                item->setState(state);
            }
            const QImage with = paint(*labelled);
            const QImage without = paint(*bare);
            const QRect box = viewBox(*labelled);
            ASSERT_EQ(box, viewBox(*bare));
            // The two columns left of the box, inside the frame, show no label.
            const int boxLeft = box.right() + 1 - qRound(labelled->getHeight());
            const QRect gap(boxLeft - 2, box.top() + 1, 2, box.height() - 2);
            EXPECT_EQ(with.copy(gap), without.copy(gap));
            EXPECT_NE(with.copy(box.left(), box.top(), gap.left() - box.left(), box.height()),
                      without.copy(box.left(), box.top(), gap.left() - box.left(), box.height()));
        }
    }
}

TEST_F(QmarkRenderTest, TooltipBoxOverlapsTheItemsLowerRightCorner)
{
    auto item = textItem("Item", "Opens a file");
    auto* tooltip = dynamic_cast<QmarkTooltip*>(item->getToolTip());
    ASSERT_NE(tooltip, nullptr);
    const QImage image = paint([&](QmarkRender& r) {
        const QPainter::RenderHints hints = r.painter()->renderHints();
        const QPen pen = r.painter()->pen();
        item->showToolTip(r);
        EXPECT_EQ(r.painter()->renderHints(), hints);
        EXPECT_EQ(r.painter()->pen(), pen);
    });

    const QRect text = QFontMetrics(QApplication::font())
                           .boundingRect(QRect(), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Opens a file"));
    float left, bottom, right, top, width, height;
    item->getBox(left, bottom, right, top);
    const QRect expected(qRound(Center.x() + right - 5.0), qRound(Center.y() - bottom - 5.0),
                         text.right() - text.left() + 7, text.bottom() - text.top() + 5);
    EXPECT_EQ(tooltip->rect(), expected);
    tooltip->getSize(width, height);
    EXPECT_EQ(QSizeF(width, height), QSizeF(expected.size()));
    EXPECT_EQ(image.pixel(expected.left(), expected.center().y()), QColor(194, 194, 194).rgba());
    EXPECT_EQ(image.pixel(expected.left() + 2, expected.top() + 2), QColor(251, 251, 198).rgba());
    EXPECT_TRUE(blank(image, QRect(0, 0, Width, expected.top() - 1)));

    // The screen of a point on it.
    tnLinear::Range2d bounds;
    tooltip->getScreenBounds({10.0, 10.0}, bounds);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(bounds,
              tnLinear::Range2d({double(screen.left()), double(screen.top())},
                                {double(screen.left() + screen.width()), double(screen.top() + screen.height())}));

    tooltip->setText("");
    EXPECT_TRUE(blank(paint([&](QmarkRender& r) { item->showToolTip(r); }), image.rect()));
}

TEST_F(QmarkRenderTest, TooltipStaysInsideTheScreenAndTheView)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Where the view lies on the screen, where the item is (model), and
    // where the tooltip's box must end up in the view.
    const struct {
        const char* what;
        QPoint viewAt;
        QPointF itemAt;
        QRect bounds;
    } cases[] = {
        {"in the middle", screen.topLeft(), {0.0, 0.0}, QRect(0, 0, Width, Height)},
        {"at the view's right edge", screen.topLeft(), {Width / 2.0 - 40.0, 0.0}, QRect(0, 0, Width, Height)},
        {"at the view's lower right corner",
         screen.topLeft(),
         {Width / 2.0 - 40.0, 12.0 - Height / 2.0},
         QRect(0, 0, Width, Height)},
        {"at the screen's right edge", screen.topRight() - QPoint(199, -10), {40.0, 0.0}, QRect(0, 0, 200, Height)},
        {"at the screen's bottom edge", screen.bottomLeft() - QPoint(-10, 149), {0.0, -40.0}, QRect(0, 0, Width, 150)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        widget.move(c.viewAt);
        auto item = textItem("Item", "A tooltip of some length");
        item->setPosition(tnMarkPosition(static_cast<float>(c.itemAt.x()), static_cast<float>(c.itemAt.y())));
        const auto* tooltip = dynamic_cast<QmarkTooltip*>(item->getToolTip());
        const QImage image = paint([&](QmarkRender& r) { item->showToolTip(r); });
        const QRect rect = tooltip->rect();
        const QRect painted = footprint(image);
        EXPECT_TRUE(c.bounds.contains(painted)) << painted.x() << "," << painted.y();
        // Moved no further than needed: where it does not overlap the item's
        // corner, it touches the edge.
        float left, bottom, right, top;
        item->getBox(left, bottom, right, top);
        EXPECT_TRUE(rect.left() == qRound(Center.x() + right - 5.0) || painted.right() == c.bounds.right());
        EXPECT_TRUE(rect.top() == qRound(Center.y() - bottom - 5.0) || painted.bottom() == c.bounds.bottom());
        EXPECT_EQ(image.pixel(rect.left() + 2, rect.top() + 2), QColor(251, 251, 198).rgba());
    }
}

TEST_F(QmarkRenderTest, PointerLineListBackgroundAndTranslate)
{
    const QImage line = paint([](QmarkRender& r) {
        const QPen pen = r.painter()->pen();
        r.drawPointerLine(0.0f, 0.0f, 40.0f, 0.0f);
        EXPECT_EQ(r.painter()->pen(), pen);
    });
    EXPECT_EQ(line.pixel(Center.toPoint() + QPoint(20, 0)), QColor(Qt::darkGray).rgba());
    EXPECT_EQ(qAlpha(line.pixel(Center.toPoint() + QPoint(20, -3))), 0);

    // The list from (-20, -30) model, 60 x 40: frame just outside it.
    const QImage list = paint([](QmarkRender& r) { r.drawListBackground({-20.0, -30.0}, {60.0, 40.0}); });
    const QRect rect(qRound(Center.x() - 20.0), qRound(Center.y() + 30.0), 60, 40);
    for (const QPoint p : {QPoint(rect.left() - 1, rect.center().y()), QPoint(rect.right() + 1, rect.center().y()),
                           QPoint(rect.center().x(), rect.bottom() + 1)})
        EXPECT_EQ(list.pixel(p), shadow()) << p.x() << "," << p.y();
    EXPECT_TRUE(blank(list, QRect(0, 0, Width, rect.top() - 1)));

    render.setCenter(10.0, 20.0);
    render.translate(5.0f, 5.0f);
    EXPECT_EQ(render.center(), QPointF(15.0, 15.0));
}

TEST_F(QmarkRenderTest, PointerLinePassesBeneathTheItemsDrawnBeforeIt)
{
    // A line across an item to the East, drawn after it.
    auto item = textItem("Item");
    item->setPosition(tnMarkPosition(20.0f, 0.0f));
    const QRect box = viewBox(*item);
    const auto across = [](QmarkRender& r) { r.drawPointerLine(0.0f, 0.0f, 140.0f, 0.0f); };
    const QImage image = paint([&](QmarkRender& r) {
        item->draw(r);
        across(r);
    });
    const QRect clear = box.adjusted(-1, -1, 1, 1);
    EXPECT_EQ(image.copy(clear), paint(*item).copy(clear));
    for (const int x : {clear.left() - 3, clear.right() + 3})
        EXPECT_EQ(image.pixel(x, qRound(Center.y())), QColor(Qt::darkGray).rgba()) << x;

    // A painter bound afresh has drawn no items yet.
    const QImage second = paint([&](QmarkRender& r) {
        item->draw(r);
        r.setPainter(r.painter());
        across(r);
    });
    EXPECT_EQ(second.pixel(box.center().x(), qRound(Center.y())), QColor(Qt::darkGray).rgba());
}

TEST_F(QmarkRenderTest, NothingIsDrawnWithoutAPainter)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    auto item = textItem("Item", "Tip");
    item->setOptionBox(new tnMarkOptionBoxItem("", 7, nullptr));
    render.setCenter(Center.x(), Center.y());
    render.drawDefaultCenter();
    render.drawPointerLine(0.0f, 0.0f, 50.0f, 50.0f);
    render.drawListBackground({0.0, 0.0}, {50.0, 50.0});
    item->draw(render);
    item->showToolTip(render);
    painter.end();
    EXPECT_TRUE(blank(image, image.rect()));
    EXPECT_THROW(QmarkRender(nullptr), tnUI::NullError);
}

TEST(QmarkTextItem, SizeFollowsTheTextOrTheMarkWidth)
{
    const QFontMetrics metrics(QmarkStyledText("", Font).qFont());
    const auto measure = [&](const char* text) {
        return metrics.boundingRect(QRect(), Qt::AlignHCenter | Qt::AlignVCenter, QString::fromUtf8(text));
    };
    const char* longLabel = "A rather long label for a menu item";
    const QRect longText = measure(longLabel);
    const float textWidth = static_cast<float>(longText.width() + 2 * longText.height() + 8);
    const struct {
        const char* label;
        float markWidth;
        float width;
    } cases[] = {
        {"a", 0.0f, 60.0f},
        {longLabel, 0.0f, textWidth},
        {longLabel, 0.995f, 0.995f}, // 0.995 + 0.01 truncates to 1: a mark width
        {longLabel, 0.98f, textWidth},
        {"a", 150.0f, 150.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.label << " " << c.markWidth);
        auto item = textItem(c.label);
        item->setMarkWidth(c.markWidth);
        EXPECT_FLOAT_EQ(item->getWidth(), c.width);
        EXPECT_FLOAT_EQ(item->getHeight(), static_cast<float>(measure(c.label).height() + 2));
    }
}

TEST(QmarkStyledText, FontFollowsTheStyle)
{
    const struct {
        int style;
        bool bold;
        bool italic;
    } cases[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, true, true}, {4, false, false}};
    for (const auto& c : cases) {
        const QFont font = QmarkStyledText("Label", tnMarkFont("Serif", c.style, 17)).qFont();
        EXPECT_EQ(std::tuple(font.bold(), font.italic(), font.pointSize(), font.family().toStdString()),
                  std::tuple(c.bold, c.italic, 17, std::string("Serif")))
            << c.style;
    }

    // The extent follows text changes made through the model.
    QmarkStyledText text("ab", Font);
    float narrow, wide, height;
    text.getExtent(narrow, height);
    text.setText("abcdefgh");
    text.getExtent(wide, height);
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(text.qText(), QStringLiteral("abcdefgh"));
}

class QmarkImageTest : public QmarkRenderTest {
protected:
    tnString::IString write(const char* name, int width, int height, QColor colour = Qt::red)
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(colour);
        const QString path = dir.filePath(QString::fromUtf8(name));
        EXPECT_TRUE(image.save(path));
        return tnString::IString(path.toStdWString());
    }

    QTemporaryDir dir;
};

TEST_F(QmarkImageTest, FactoryLoadsPicturesOrGivesNull)
{
    EXPECT_EQ(tnMarkCreateImage(tnString::IString(dir.filePath("missing.png").toStdWString())), nullptr);
    std::unique_ptr<tnMarkImage> image(tnMarkCreateImage(write("a.png", 12, 8)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(QSize(image->getWidth(), image->getHeight()), QSize(12, 8));

    // Drawn centred at the model point.
    const QImage drawn = paint([&](QmarkRender& r) { r.drawImage(image.get(), 20.0f, 10.0f); });
    const QPoint at = Center.toPoint() + QPoint(20, -10);
    EXPECT_EQ(drawn.pixel(at), QColor(Qt::red).rgba());
    EXPECT_EQ(drawn.pixel(at + QPoint(-6, -4)), QColor(Qt::red).rgba());
    EXPECT_EQ(qAlpha(drawn.pixel(at + QPoint(-7, 0))), 0);
    EXPECT_EQ(qAlpha(drawn.pixel(at + QPoint(6, 0))), 0);
}

// The size and loading rules are the model's; here the pictures come from
// files through the Qt factory.
TEST_F(QmarkImageTest, ImageItemsLoadTheirPicturesFromFiles)
{
    const tnString::IString normal = write("n.png", 20, 10);
    const tnString::IString highlighted = write("h.png", 20, 10, Qt::blue);
    QtMarkImageItem item(normal, highlighted, "", "", 3, tnMarkPosition(), nullptr);
    EXPECT_EQ(item.getWidth(), 25.0f);
    item.setState(tnMarkItem::Highlighted);
    tnMarkPosition at;
    item.getReferencePoint(at);
    EXPECT_EQ(paint(item).pixel(qRound(Center.x() + at.getX()), qRound(Center.y() - at.getY())),
              QColor(Qt::blue).rgba());

    EXPECT_THROW(QtMarkImageItem(normal, write("w.png", 21, 10), "", "", 3, tnMarkPosition(), nullptr),
                 tnMarkBadImageException);
}

} // namespace
