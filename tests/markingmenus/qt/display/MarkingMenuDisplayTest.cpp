// The pop-up marking menus at a real X server: the driver starts its own
// Xvfb, runs the display host (DisplayHost.cpp) on it, gives it real input
// with xdotool, reads its lines and looks at screenshots, which it keeps
// as PNG files in the folder named on the command line (XDisplayDriver.h).
//
// Usage: test_markingmenus_display <display host> <screenshot folder> [gtest options]

#include "XDisplayDriver.h"

#include <QThread>

#include <map>
#include <vector>

namespace {

using namespace tnUITest::display;

const QPoint screenCenter(screenWidth / 2, screenHeight / 2);
constexpr int radialButton = 3;
constexpr int listButton = 2;

// A generous box around what a menu popped at p draws.
QRect menuArea(QPoint p)
{
    return QRect(p - QPoint(250, 200), QSize(500, 450));
}

class MarkingMenuDisplayTest : public testing::Test {
protected:
    void TearDown() override { quitHost(); }

    // Starts the host with options, waits for its "ready" and takes the
    // picture of the bare canvas.
    void startHost(const QStringList& options)
    {
        m_host = tnUITest::display::startHost(options);
        m_canvas = QImage();
        m_listItems.clear();
        for (std::optional<std::string> line; (line = nextLine(30000)) != "ready";) {
            ASSERT_TRUE(line) << "the host never got ready";
            char label[64];
            int l = 0, t = 0, r = 0, b = 0;
            if (std::sscanf(line->c_str(), "item %63s %d %d %d %d", label, &l, &t, &r, &b) == 5)
                m_listItems[label] = QRect(QPoint(l, t), QPoint(r, b));
        }
        // The canvas is up once two screenshots in a row agree and show it.
        QImage last;
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            const QImage shot = screenshot();
            const auto black = [](int, int, QRgb c) { return isBlack(c); };
            if (!shot.isNull() && shot == last && countPixels(shot, shot.rect(), black) == 0) {
                m_canvas = shot;
                break;
            }
            last = shot;
        }
        ASSERT_FALSE(m_canvas.isNull()) << "the canvas never showed";
        keep(m_canvas, "canvas");
    }

    // Ctrl+Q ends the host with exit code 0 and takes its windows away.
    void quitHost() { tnUITest::display::quitHost(m_host, "ctrl+q", "^(tnUI display host|Marking Menu)$"); }

    // The host's next line; nothing if none comes.
    std::optional<std::string> nextLine(int timeoutMs = 15000)
    {
        return tnUITest::display::nextLine(*m_host, timeoutMs);
    }

    // The first screenshot that shows at least minimum pixels drawn in
    // area; a null image if none does in time.
    QImage waitForDrawing(QRect area, int minimum, int timeoutMs = 15000)
    {
        for (const QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired();) {
            QImage shot = screenshot();
            // Drawn: neither the canvas's nor black (where the view hides
            // the canvas).
            const auto drawn = [this](int x, int y, QRgb c) { return c != m_canvas.pixel(x, y) && !isBlack(c); };
            if (!shot.isNull() && countPixels(shot, area, drawn) >= minimum)
                return shot;
        }
        return {};
    }

    // The screen outside area must still show the canvas.
    void expectCanvasAround(const QImage& shot, QRect area)
    {
        ASSERT_FALSE(shot.isNull());
        const QRect screen = shot.rect();
        const int outside = screen.width() * screen.height() - (area & screen).width() * (area & screen).height();
        const auto kept = [&](int x, int y, QRgb c) { return !area.contains(x, y) && c == m_canvas.pixel(x, y); };
        const auto black = [&](int x, int y, QRgb c) { return !area.contains(x, y) && isBlack(c); };
        EXPECT_GE(countPixels(shot, screen, kept), outside * 99 / 100)
            << "of " << outside << " pixels outside the menu, " << countPixels(shot, screen, black) << " are black";
    }

    // A compositing manager, running until compositor goes.
    static void startCompositor(Child& compositor)
    {
        compositor = start(QStringLiteral("xcompmgr"), {}, g_displayEnvironment, false);
        ASSERT_TRUE(awaitWindow("^xcompmgr$", true, false)) << "xcompmgr did not start";
    }

    // Starts xcompmgr into compositor where composited is set, then the host.
    void startHostIn(bool composited, Child& compositor, const QStringList& options)
    {
        if (composited) {
            ASSERT_NO_FATAL_FAILURE(startCompositor(compositor));
        }
        ASSERT_NO_FATAL_FAILURE(startHost(options));
    }

    // The screen once two screenshots 150 ms apart agree; null if it never
    // settles.
    static QImage settledScreen()
    {
        QImage last;
        // Apart by more than a frame: a screenshot takes a few milliseconds,
        // less than the host may take to handle its last input.
        for (const QDeadlineTimer deadline(15000); !deadline.hasExpired(); QThread::msleep(150)) {
            const QImage shot = screenshot();
            if (!shot.isNull() && shot == last)
                return shot;
            last = shot;
        }
        return {};
    }

    Child m_host;
    QImage m_canvas;
    // The list items' boxes, relative to the point the list pops at.
    std::map<std::string, QRect> m_listItems;
};

// Without a compositing manager and with one, the screen around a shown
// menu keeps showing the canvas: while the stroke is drawn and once the
// items are up.
TEST_F(MarkingMenuDisplayTest, TheCanvasShowsAroundTheMenu)
{
    const QRect area = menuArea(screenCenter);
    for (const bool composited : {false, true}) {
        const QString mode = composited ? QStringLiteral("composited") : QStringLiteral("plain");
        SCOPED_TRACE(mode.toStdString());
        Child compositor;
        ASSERT_NO_FATAL_FAILURE(startHostIn(composited, compositor, {"--show-items-delay", "1000"}));
        pressForMenu(radialButton, screenCenter);
        stroke({screenCenter + QPoint(15, 0), screenCenter + QPoint(30, 0), screenCenter + QPoint(45, 0)});
        const QImage gesture = waitForDrawing(area, 50);
        keep(gesture, "canvas-" + mode + "-stroke");
        expectCanvasAround(gesture, area);
        const QImage items = waitForDrawing(area, 2000);
        keep(items, "canvas-" + mode + "-items");
        expectCanvasAround(items, area);
        release(radialButton);
        EXPECT_EQ(nextLine(), "chosen east");
        quitHost();
    }
}

// A shown menu repaints only what a pointer move changes: after moves that
// highlight one item after another, the screen shows exactly what a menu
// shown at once at the last position does, without and with compositing.
TEST_F(MarkingMenuDisplayTest, MovesLeaveThePictureOfAFreshPaint)
{
    const QRect area = menuArea(screenCenter);
    const QPoint last = screenCenter + QPoint(80, 0);
    for (const bool composited : {false, true}) {
        const QString mode = composited ? QStringLiteral("composited") : QStringLiteral("plain");
        SCOPED_TRACE(mode.toStdString());
        Child compositor;
        ASSERT_NO_FATAL_FAILURE(startHostIn(composited, compositor, {"--show-items-delay", "150"}));
        pressForMenu(radialButton, screenCenter);
        ASSERT_FALSE(waitForDrawing(area, 2000).isNull()) << "the items never showed";
        for (const QPoint by : {QPoint(0, -60), QPoint(-60, 0), QPoint(45, 45), QPoint(60, -5)}) {
            stroke({screenCenter + by});
            QThread::msleep(50);
        }
        stroke({last});
        const QImage moved = settledScreen();
        keep(moved, "moved-" + mode);
        release(radialButton);
        EXPECT_EQ(nextLine(), "chosen east");

        pressForMenu(radialButton, screenCenter);
        stroke({last});
        ASSERT_FALSE(waitForDrawing(area, 2000).isNull()) << "the items never showed";
        const QImage fresh = settledScreen();
        keep(fresh, "fresh-" + mode);
        release(radialButton);
        EXPECT_EQ(nextLine(), "chosen east");
        ASSERT_FALSE(moved.isNull() || fresh.isNull()) << "the screen never settled";
        EXPECT_EQ(moved.copy(area), fresh.copy(area));
        quitHost();
    }
}

// A press and release without movement chooses nothing, in both menus,
// before the items show and after: in the middle of the screen and a few
// pixels from every edge and corner, where the menu is moved to fit. A quick
// flick towards an item, released before the items show, chooses that item.
TEST_F(MarkingMenuDisplayTest, PressAndReleaseInPlaceChoosesNothingAndAFlickChooses)
{
    for (const bool itemsShown : {false, true}) {
        ASSERT_NO_FATAL_FAILURE(startHost({"--show-items-delay", itemsShown ? "150" : "60000"}));
        for (const int button : {radialButton, listButton}) {
            for (const int x : {3, screenCenter.x(), screenWidth - 4}) {
                for (const int y : {3, screenCenter.y(), screenHeight - 4}) {
                    const QString name = QString::asprintf("in-place-%s-%s-%d-%d", itemsShown ? "items" : "gesture",
                                                           button == radialButton ? "radial" : "list", x, y);
                    SCOPED_TRACE(name.toStdString());
                    pressForMenu(button, {x, y});
                    if (itemsShown) {
                        const QImage shot = waitForDrawing(menuArea({x, y}), 2000);
                        EXPECT_FALSE(shot.isNull()) << "the items never showed";
                        keep(shot, name);
                    }
                    release(button);
                    EXPECT_EQ(nextLine(), "chosen none");
                }
            }
        }
        if (itemsShown)
            break;
        const QPoint top(screenCenter.x(), 3);
        const struct {
            int button;
            QPoint from, to;
            const char* chosen;
        } flicks[] = {{radialButton, screenCenter, screenCenter + QPoint(90, 0), "chosen east"},
                      {radialButton, top, top + QPoint(0, 90), "chosen south"},
                      {listButton, screenCenter, screenCenter + m_listItems["beta"].center(), "chosen beta"}};
        for (const auto& flick : flicks) {
            SCOPED_TRACE(flick.chosen);
            pressForMenu(flick.button, flick.from);
            const QPoint way = flick.to - flick.from;
            stroke({flick.from + way / 3, flick.from + way * 2 / 3, flick.to}, flick.button);
            EXPECT_EQ(nextLine(), flick.chosen);
        }
        quitHost();
    }
}

// Escape ends the popup with nothing chosen while the stroke is drawn and
// while a quick mark's item is shown (in a displayed submenu: offscreen); the
// release chooses nothing and the host gets its input back.
TEST_F(MarkingMenuDisplayTest, EscapeEndsThePopupWithNothingChosen)
{
    ASSERT_NO_FATAL_FAILURE(startHost({"--show-items-delay", "60000", "--gesture-feedback", "10000"}));
    const QPoint c = screenCenter;
    for (const bool recognised : {false, true}) {
        SCOPED_TRACE(recognised);
        pressForMenu(radialButton, c);
        if (recognised) {
            stroke({c + QPoint(15, 0), c + QPoint(40, 0), c + QPoint(90, 0)}, radialButton);
            // The recognised item is drawn across the end of the stroke.
            const QImage shot = waitForDrawing(QRect(c + QPoint(65, 3), QSize(50, 4)), 100);
            ASSERT_FALSE(shot.isNull()) << "the recognised item never showed";
            keep(shot, "escape-recognised");
        }
        ASSERT_TRUE(xdotool({"key", "Escape"}));
        EXPECT_EQ(nextLine(5000), "chosen none") << "Escape did not end the popup";
        if (!recognised)
            release(radialButton);
        // The host's next line is the echo of a click.
        ASSERT_TRUE(xdotool({"mousemove", "40", "40", "click", "1"}));
        EXPECT_EQ(nextLine(), "click 40 40") << "after Escape";
    }
}

// Both menus from the keyboard alone: opened by a key at the pointer with
// their items shown, walked and chosen with keys, or left with Escape.
TEST_F(MarkingMenuDisplayTest, TheKeyboardAloneOpensWalksAndChooses)
{
    ASSERT_NO_FATAL_FAILURE(startHost({"--show-items-delay", "60000"}));
    ASSERT_TRUE(xdotool({"mousemove", QString::number(screenCenter.x()), QString::number(screenCenter.y())}));
    const struct {
        const char* name;
        QStringList keys;
        const char* chosen;
    } cases[] = {
        {"radial-arrow", {"Menu", "Right", "Return"}, "chosen east"},
        {"radial-keypad", {"Menu", "KP_Home", "space"}, "chosen northwest"},
        {"radial-tab", {"Menu", "Tab", "Return"}, "chosen northeast"},
        {"radial-escape", {"Menu", "Down", "Escape"}, "chosen none"},
        {"list-down", {"l", "Down", "Down", "Return"}, "chosen gamma"},
        {"list-up", {"l", "Up", "Return"}, "chosen gamma"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(awaitWindow("^Marking Menu$", false)) << "the last menu's window stays";
        ASSERT_TRUE(xdotool({"key", c.keys.first()}));
        ASSERT_TRUE(awaitWindow("^Marking Menu$", true)) << "the menu's window never showed";
        // Shown at once, without waiting for the show-items delay.
        const QImage shot = waitForDrawing(menuArea(screenCenter), 400, 5000);
        EXPECT_FALSE(shot.isNull()) << "the items did not show";
        keep(shot, QStringLiteral("keyboard-%1").arg(QLatin1String(c.name)));
        ASSERT_TRUE(xdotool(QStringList{"key", "--delay", "50"} + c.keys.mid(1)));
        EXPECT_EQ(nextLine(5000), c.chosen);
    }
}

} // namespace

int main(int argc, char** argv)
{
    return tnUITest::display::displayTestMain(argc, argv);
}
