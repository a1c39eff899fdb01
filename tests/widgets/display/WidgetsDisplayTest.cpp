// The Qt binding at a real X server: the driver runs the widgets display
// host (WidgetsDisplayHost.cpp) on its own Xvfb and gives it real input with
// xdotool (XDisplayDriver.h): the menu bar by mouse and by its mnemonics,
// keys through the command controller, a QMenu popped as a marking menu.
//
// Usage: test_widgets_display <display host> <screenshot folder> [gtest options]

#include "XDisplayDriver.h"

#include <map>

namespace {

using namespace tnUITest::display;
using Places = std::map<std::string, QPoint>;

constexpr int leftButton = 1;
constexpr int rightButton = 3;
const QPoint canvasPoint(screenWidth / 2, screenHeight / 2);

// Reads "<kind> <text> <x> <y>" into places.
bool readPlace(const std::string& line, const char* kind, Places& places)
{
    char text[64];
    int x = 0, y = 0;
    if (std::sscanf(line.c_str(), (kind + std::string(" %63s %d %d")).c_str(), text, &x, &y) != 3)
        return false;
    places[text] = QPoint(x, y);
    return true;
}

QStringList at(QPoint p)
{
    return {"mousemove", QString::number(p.x()), QString::number(p.y())};
}

class WidgetsDisplayTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_host = startHost({});
        for (std::optional<std::string> line; (line = next(30000)) != "ready";) {
            ASSERT_TRUE(line) << "the host never got ready";
            readPlace(*line, "title", m_titles);
        }
        ASSERT_EQ(m_titles.size(), 3u) << "File, Edit and Tools";
    }
    void TearDown() override { quitHost(m_host, "ctrl+q", "^(tnUI widgets display host|Marking Menu)$"); }

    std::optional<std::string> next(int timeoutMs = 15000) { return nextLine(*m_host, timeoutMs); }
    // The entries of the menu that shows next, once it is on screen.
    Places awaitMenu(const std::string& title)
    {
        Places items;
        for (std::optional<std::string> line; (line = next()) != "shown " + title;)
            if (!line || !readPlace(*line, "item", items)) {
                ADD_FAILURE() << "the menu " << title << " did not show";
                break;
            }
        return items;
    }
    static void click(QPoint p) { ASSERT_TRUE(xdotool(at(p) << "click" << QString::number(leftButton))); }
    static void key(const char* keys) { ASSERT_TRUE(xdotool({"key", keys})); }

    Child m_host;
    Places m_titles;
};

// A click on a title opens its menu, a click on an entry runs its command;
// Alt and a title's mnemonic open the menu, an entry's mnemonic chooses it.
TEST_F(WidgetsDisplayTest, TheMenuBarByMouseAndByMnemonic)
{
    click(m_titles["Edit"]);
    click(awaitMenu("Edit")["Redo"]);
    EXPECT_EQ(next(), "run redo");
    click(m_titles["Tools"]);
    click(awaitMenu("Tools")["Line"]);
    EXPECT_EQ(next(), "tool line");

    key("alt+e");
    EXPECT_EQ(awaitMenu("Edit").size(), 2u);
    key("u");
    EXPECT_EQ(next(), "run undo");
    key("alt+t");
    EXPECT_EQ(awaitMenu("Tools").size(), 2u);
    key("p");
    EXPECT_EQ(next(), "tool pen");
}

// A shortcut of the menu bar and a key bound for the canvas alone both reach
// the current tool first, through the command controller, then run their
// command; in the middle of a drag too.
TEST_F(WidgetsDisplayTest, KeysReachTheToolThenTheirCommand)
{
    key("ctrl+z");
    EXPECT_EQ(next(), "pen key Z");
    EXPECT_EQ(next(), "run undo");
    key("g");
    EXPECT_EQ(next(), "pen key G");
    EXPECT_EQ(next(), "run grid");

    ASSERT_TRUE(xdotool(at(canvasPoint) << "mousedown" << QString::number(leftButton)));
    EXPECT_EQ(next(), "pen press");
    ASSERT_TRUE(xdotool(at(canvasPoint + QPoint(30, 10)) << "key"
                                                         << "ctrl+y"));
    EXPECT_EQ(next(), "pen key Y");
    EXPECT_EQ(next(), "run redo");
    ASSERT_TRUE(xdotool({"mouseup", QString::number(leftButton)}));
}

// The right button pops the Shapes QMenu as a marking menu: a quick flick
// East triggers Square; resting until the items show and moving onto the
// South item triggers Triangle.
TEST_F(WidgetsDisplayTest, TheRightButtonPopsAQMenuAsAMarkingMenu)
{
    const QPoint c = canvasPoint;
    pressForMenu(rightButton, c);
    stroke({c + QPoint(20, 0), c + QPoint(45, 0), c + QPoint(90, 0)}, rightButton);
    EXPECT_EQ(next(), "triggered Square");

    const QImage canvas = screenshot();
    pressForMenu(rightButton, c);
    QImage shown;
    const QRect area(c - QPoint(150, 100), QSize(300, 200));
    const auto drawn = [&canvas](int x, int y, QRgb colour) { return colour != canvas.pixel(x, y); };
    for (const QDeadlineTimer deadline(15000); shown.isNull() && !deadline.hasExpired();)
        if (const QImage shot = screenshot(); !shot.isNull() && countPixels(shot, area, drawn) > 1000)
            shown = shot;
    ASSERT_FALSE(shown.isNull()) << "the items never showed";
    keep(shown, "qmenu-marking-menu");
    stroke({c + QPoint(0, 15), c + QPoint(0, 30), c + QPoint(0, 42)}, rightButton);
    EXPECT_EQ(next(), "triggered Triangle");
}

} // namespace

int main(int argc, char** argv)
{
    return tnUITest::display::displayTestMain(argc, argv);
}
