// Marking menus in the application's palette and font, read at each popup.
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/markingmenus/qt/QmarkRender.h>
#include <tnUI/markingmenus/qt/QmarkTextItem.h>
#include <tnUI/markingmenus/qt/QmarkTooltip.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <set>

namespace {

const char* const Labels[] = {"Select objects",     "Move the selection",   "Rotate by degrees", "Scale to fit",
                              "Create a new shape", "Delete the selection", "Snap to the grid",  "Group them all"};

QPalette darkPalette()
{
    const QColor window(0x2b, 0x2b, 0x2b);
    const QColor text(0xe0, 0xe0, 0xe0);
    QPalette palette(text, window, window.lighter(150), window.darker(150), window.darker(120), text, Qt::white,
                     window.darker(120), window);
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x7f, 0xd8));
    palette.setColor(QPalette::ToolTipBase, QColor(0x3c, 0x3f, 0x41));
    palette.setColor(QPalette::ToolTipText, text);
    return palette;
}

// Eight items, all around, in the application's font; Move highlighted.
std::unique_ptr<QmarkMenu> eightItems()
{
    auto menu = std::make_unique<QmarkMenu>();
    for (int i = 0; i < 8; ++i)
        menu->addTextItem(Labels[i], Labels[i], i, 2 * i, tnMarkFont(), nullptr);
    menu->addOptionBox(9, "Options", nullptr);
    return menu;
}

bool overlap(const tnLinear::Range2d& a, const tnLinear::Range2d& b)
{
    return a.getMin().x < b.getMax().x && b.getMin().x < a.getMax().x && a.getMin().y < b.getMax().y &&
           b.getMin().y < a.getMax().y;
}

int lightness(QRgb rgb)
{
    return qGray(rgb);
}

// The application's palette and font, put back after each test.
class QmarkThemeTest : public testing::Test {
protected:
    ~QmarkThemeTest() override
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }
    static void setPointSize(int points)
    {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
    }

    QPalette m_palette = QApplication::palette();
    QFont m_font = QApplication::font();
};

// Under a dark palette the panel, the labels, the tooltip, the pointer line
// and the centre take the palette's colours, and stand out on its window.
TEST_F(QmarkThemeTest, DrawsInTheApplicationsPalette)
{
    QApplication::setPalette(darkPalette());
    const QPalette palette = QApplication::palette();
    const QColor window = palette.color(QPalette::Window);
    QWidget view;
    view.resize(600, 400);
    auto menu = eightItems();
    menu->setAlwaysShowCenter(true);
    readApplicationFont(*menu);
    tnMarkMenu::setGesturePhase(false);
    auto* east = dynamic_cast<tnMarkMenuItem*>(menu->itemAt(0));
    const tnLinear::Range2d box = east->getBox();
    const float pointer[] = {static_cast<float>(box.getMin().x) - 10.0f, 0.0f};
    east->setState(tnMarkItem::Highlighted);

    QImage image(600, 400, QImage::Format_ARGB32);
    image.fill(window);
    QPainter painter(&image);
    QmarkRender render(&view);
    render.setCenter(300, 200);
    render.setPainter(&painter);
    menu->draw(render, true);
    render.drawPointerLine(0.0f, 0.0f, pointer[0], pointer[1]);
    east->showToolTip(render);
    render.setPainter(nullptr);
    painter.end();

    // The highlighted panel and the pixels of its label.
    const QPoint eastLeft(300 + qRound(box.getMin().x) + 3, 200);
    EXPECT_EQ(image.pixel(eastLeft), palette.color(QPalette::Highlight).rgba());
    std::set<QRgb> colours;
    for (int x = 300 + qRound(box.getMin().x); x < 300 + qRound(box.getMax().x); ++x)
        colours.insert(image.pixel(x, 200));
    EXPECT_TRUE(colours.count(palette.color(QPalette::HighlightedText).rgba()));
    // A normal item's panel is dark with light text.
    const tnLinear::Range2d west = menu->itemAt(4)->getBox();
    const int westY = 200 - qRound((west.getMin().y + west.getMax().y) / 2.0);
    int lightest = 0;
    for (int x = 300 + qRound(west.getMin().x) + 2; x < 300 + qRound(west.getMax().x) - 2; ++x)
        lightest = std::max(lightest, lightness(image.pixel(x, westY)));
    EXPECT_LT(lightness(image.pixel(300 + qRound(west.getMin().x) + 2, westY)), 80);
    EXPECT_GT(lightest, 180);
    // The tooltip's base, and its text somewhere in it.
    const auto* tooltip = dynamic_cast<const QmarkTooltip*>(east->getToolTip());
    const QRect tip = tooltip->rect();
    EXPECT_EQ(image.pixel(tip.left() + 2, tip.top() + 2), palette.color(QPalette::ToolTipBase).rgba());
    lightest = 0;
    for (int x = tip.left() + 2; x < tip.right() - 2; ++x)
        lightest = std::max(lightest, lightness(image.pixel(x, tip.center().y())));
    EXPECT_GT(lightest, 180);
    // The pointer line and the centre stand out on the window.
    EXPECT_GT(std::abs(lightness(image.pixel(300 + qRound(pointer[0] / 2), 200)) - lightness(window.rgba())), 60);
    EXPECT_GT(std::abs(lightness(image.pixel(300, 200)) - lightness(window.rgba())), 60);
    tnMarkMenu::setGesturePhase(true);
}

// Labels take the application's font: the larger it is, the taller the boxes
// and the farther out the items, and no two boxes ever overlap.
TEST_F(QmarkThemeTest, LargerFontsGrowTheRadiusWithoutOverlap)
{
    float lastHeight = 0.0f;
    float lastRadius = 0.0f;
    for (const int points : {8, 16, 24}) {
        SCOPED_TRACE(points);
        setPointSize(points);
        auto menu = eightItems();
        readApplicationFont(*menu);
        const float height = menu->itemAt(0)->getHeight();
        const float radius = menu->itemAt(0)->getPosition().getX();
        EXPECT_GT(height, lastHeight);
        EXPECT_GE(radius, lastRadius);
        lastHeight = height;
        lastRadius = radius;
        for (int i = 0; i < 8; ++i)
            for (int j = i + 1; j < 8; ++j)
                EXPECT_FALSE(overlap(menu->itemAt(i)->getBox(), menu->itemAt(j)->getBox())) << i << " " << j;
    }
    EXPECT_GT(lastRadius, 30.0f);
}

// A palette and a font set between two popups show at the second.
TEST_F(QmarkThemeTest, ChangesBetweenPopupsShowAtTheNext)
{
    QmarkMenuView::setShowItemsDelay(50);
    QWidget host;
    host.setGeometry(QGuiApplication::primaryScreen()->geometry());
    host.show();
    const QPoint center(400, 300);
    auto menu = eightItems();
    // Runs the menu, grabbing the view once its items show; the line's
    // colour is counted in the picture.
    const auto popup = [&host, &center, &menu](float* height, int* lineColoured) {
        QTimer::singleShot(10, &host, [&] { QTest::mousePress(&host, Qt::LeftButton, {}, center); });
        QTimer::singleShot(20, &host, [&] { QTest::mouseMove(&host, center + QPoint(0, 8)); });
        QTimer::singleShot(250, &host, [&host, &center, &menu, height, lineColoured] {
            const QPalette palette = QApplication::palette();
            const QRgb line =
                QmarkRender::mix(palette.color(QPalette::Window), palette.color(QPalette::WindowText), 0.5).rgba();
            const QImage picture = QmarkMenuView::findView()->grab().toImage();
            *lineColoured = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    *lineColoured += picture.pixel(x, y) == line ? 1 : 0;
            *height = menu->itemAt(0)->getHeight();
            QTest::mouseRelease(&host, Qt::LeftButton, {}, center + QPoint(0, 8));
        });
        menu->popup(static_cast<float>(center.x()), static_cast<float>(center.y()), false);
    };
    float lightHeight = 0.0f;
    int lightLine = 0;
    popup(&lightHeight, &lightLine);
    QApplication::setPalette(darkPalette());
    setPointSize(QApplication::font().pointSize() * 2);
    float darkHeight = 0.0f;
    int darkLine = 0;
    popup(&darkHeight, &darkLine);
    QmarkMenuView::setShowItemsDelay(100);

    EXPECT_GT(lightLine, 0);
    EXPECT_GT(darkLine, 0);
    EXPECT_GT(darkHeight, lightHeight * 1.5f);
}

} // namespace
