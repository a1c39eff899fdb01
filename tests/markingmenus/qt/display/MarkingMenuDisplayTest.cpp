// The pop-up marking menus at a real X server: the driver starts its own
// Xvfb, runs the display host on it (see DisplayHost.cpp), moves the real
// pointer and presses real keys with xdotool, reads the host's lines and
// looks at screenshots taken with xwd. Every wait is for something
// observable: a line of the host, the menu's window mapped, a screenshot
// showing what the menu draws. The screenshots that a check looks at are
// kept as PNG files in the folder named on the command line.
//
// Usage: test_markingmenus_display <display host> <screenshot folder> [gtest options]

#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using testing::IsEmpty;

QString g_hostProgram;
QString g_shotFolder;
QProcessEnvironment g_displayEnvironment;

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;
const QPoint screenCenter(screenWidth / 2, screenHeight / 2);
constexpr int radialButton = 3;
constexpr int listButton = 2;

// A child process that is stopped by its process id when this object goes,
// and that the kernel kills should the driver die first.
class Child {
public:
    // What the process does with its output.
    enum class Output {
        Read,    // both kept for the driver to read
        Discard, // both dropped
        Lines,   // standard output kept, standard error passed through
    };

    Child(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment, Output output,
          const std::function<void()>& beforeExec = {})
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.setProcessEnvironment(environment);
        if (output == Output::Discard) {
            m_process.setStandardOutputFile(QProcess::nullDevice());
            m_process.setStandardErrorFile(QProcess::nullDevice());
        } else if (output == Output::Lines) {
            m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        }
        m_process.setChildProcessModifier([beforeExec] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (beforeExec)
                beforeExec();
        });
        m_process.start();
    }
    ~Child() { stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    QProcess& process() { return m_process; }
    bool started() { return m_process.waitForStarted(10000); }
    // Asks the process to end, then kills it if it does not.
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
};

// The exit code of an X client run to its end on the test display (-1 when
// it could not run or took longer than timeoutMs), and its standard output.
struct Outcome {
    int code = -1;
    QByteArray output;
};

Outcome runClient(const QString& program, const QStringList& arguments, int timeoutMs = 15000)
{
    Child child(program, arguments, g_displayEnvironment, Child::Output::Read);
    Outcome outcome;
    if (child.process().waitForFinished(timeoutMs) && child.process().exitStatus() == QProcess::NormalExit)
        outcome.code = child.process().exitCode();
    outcome.output = child.process().readAllStandardOutput();
    return outcome;
}

bool xdotool(const QStringList& arguments)
{
    return runClient(QStringLiteral("xdotool"), arguments).code == 0;
}

// Waits until a window whose name matches pattern exists (when present is
// set) or until none does; only viewable windows count if onlyVisible is set.
bool awaitWindow(const QString& pattern, bool present, bool onlyVisible = true)
{
    QStringList arguments{"search", "--name", pattern};
    if (onlyVisible)
        arguments.insert(1, "--onlyvisible");
    for (const QDeadlineTimer deadline(15000); !deadline.hasExpired(); QThread::msleep(20)) {
        const int code = runClient(QStringLiteral("xdotool"), arguments).code;
        if (code == (present ? 0 : 1))
            return true;
    }
    return false;
}

// Reads an XWD dump of a TrueColor screen; a null image for anything else.
QImage decodeXwd(const QByteArray& data)
{
    constexpr qsizetype headerBytes = 100; // 25 big-endian words
    if (data.size() < headerBytes)
        return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const auto word = [bytes](std::size_t i) {
        const unsigned char* w = bytes + 4 * i;
        return std::uint32_t(w[0]) << 24 | std::uint32_t(w[1]) << 16 | std::uint32_t(w[2]) << 8 | std::uint32_t(w[3]);
    };
    const std::uint32_t headerSize = word(0), format = word(2), width = word(4), height = word(5);
    const std::uint32_t byteOrder = word(7), bitsPerPixel = word(11), bytesPerLine = word(12);
    const std::uint32_t masks[3] = {word(14), word(15), word(16)};
    const std::uint32_t colours = word(19);
    const qint64 offset = qint64(headerSize) + qint64(colours) * 12;
    if (word(1) != 7 || format != 2 || bitsPerPixel != 32 || masks[0] == 0 || masks[1] == 0 || masks[2] == 0 ||
        offset + qint64(bytesPerLine) * height > data.size())
        return {};
    QImage image(int(width), int(height), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < height; ++y) {
        const unsigned char* row = bytes + offset + qint64(bytesPerLine) * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = row + 4 * std::size_t(x);
            const std::uint32_t v = byteOrder == 0 ? std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                                         std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24
                                                   : std::uint32_t(p[3]) | std::uint32_t(p[2]) << 8 |
                                                         std::uint32_t(p[1]) << 16 | std::uint32_t(p[0]) << 24;
            int channel[3];
            for (int c = 0; c < 3; ++c)
                channel[c] = int((v & masks[c]) >> std::countr_zero(masks[c]));
            out[x] = qRgb(channel[0], channel[1], channel[2]);
        }
    }
    return image;
}

QImage screenshot()
{
    const Outcome xwd = runClient(QStringLiteral("xwd"), {"-root", "-silent"});
    return xwd.code == 0 ? decodeXwd(xwd.output) : QImage();
}

void keep(const QImage& shot, const QString& name)
{
    if (!shot.isNull())
        shot.save(QDir(g_shotFolder).filePath(name + QStringLiteral(".png")));
}

QRgb pixelAt(const QImage& image, int x, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

bool isBlack(QRgb c)
{
    return qRed(c) < 16 && qGreen(c) < 16 && qBlue(c) < 16;
}

// How many pixels of shot inside area satisfy test(x, y, colour).
template <class Test>
int countPixels(const QImage& shot, QRect area, Test test)
{
    area &= shot.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(x, y, row[x]);
    }
    return count;
}

// The pixels of area that a menu has drawn over the canvas: neither the
// canvas's nor black (where the view hides the canvas).
int drawnPixels(const QImage& shot, const QImage& canvas, QRect area)
{
    return countPixels(shot, area,
                       [&canvas](int x, int y, QRgb c) { return c != pixelAt(canvas, x, y) && !isBlack(c); });
}

// A generous box around what a menu popped at p draws.
QRect menuArea(QPoint p)
{
    return QRect(p - QPoint(250, 200), QSize(500, 450));
}

// Where the X server runs for the whole program.
class XServer : public testing::Environment {
public:
    void SetUp() override
    {
        // Xvfb picks a free display and writes its number to this pipe.
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        const int writeEnd = fds[1];
        m_server = std::make_unique<Child>(QStringLiteral("Xvfb"),
                                           QStringList{"-displayfd", QString::number(writeEnd), "-screen", "0",
                                                       QStringLiteral("%1x%2x24").arg(screenWidth).arg(screenHeight),
                                                       "-nolisten", "tcp", "-noreset"},
                                           QProcessEnvironment::systemEnvironment(), Child::Output::Discard,
                                           [writeEnd] { ::fcntl(writeEnd, F_SETFD, 0); });
        ::close(writeEnd);
        std::string number;
        pollfd wait{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&wait, 1, 30000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start (is it installed? scripts/install-deps bench)";
        g_displayEnvironment = QProcessEnvironment::systemEnvironment();
        g_displayEnvironment.insert("DISPLAY", QString::fromStdString(":" + number));
        g_displayEnvironment.remove("WAYLAND_DISPLAY");
        ASSERT_TRUE(xdotool({"getmouselocation"})) << "xdotool does not reach the display";
    }
    void TearDown() override { m_server.reset(); }

private:
    std::unique_ptr<Child> m_server;
};

class MarkingMenuDisplayTest : public testing::Test {
protected:
    void TearDown() override { quitHost(); }

    // Starts the host with options, waits for its "ready" and takes the
    // picture of the bare canvas.
    void startHost(const QStringList& options)
    {
        QProcessEnvironment environment = g_displayEnvironment;
        environment.insert("QT_QPA_PLATFORM", "xcb");
        m_host = std::make_unique<Child>(g_hostProgram, options, environment, Child::Output::Lines);
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
    void quitHost()
    {
        if (!m_host)
            return;
        QProcess& host = m_host->process();
        if (host.state() != QProcess::NotRunning) {
            xdotool({"key", "ctrl+q"});
            EXPECT_TRUE(host.waitForFinished(20000)) << "Ctrl+Q did not end the host";
        }
        EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(host.exitCode(), 0);
        m_host.reset();
        EXPECT_TRUE(awaitWindow("^(tnUI display host|Marking Menu)$", false, false)) << "a window of the host is left";
    }

    // The host's next line, without the newline; nothing if none comes.
    std::optional<std::string> nextLine(int timeoutMs = 15000)
    {
        QProcess& host = m_host->process();
        const QDeadlineTimer deadline(timeoutMs);
        while (!host.canReadLine()) {
            if (deadline.hasExpired() || (!host.waitForReadyRead(int(deadline.remainingTime())) &&
                                          host.state() == QProcess::NotRunning && !host.canReadLine()))
                return std::nullopt;
        }
        std::string line = host.readLine().trimmed().toStdString();
        std::printf("host: %s\n", line.c_str());
        return line;
    }

    // Lines up to the echo of a left click at p: whatever the host said
    // before it received that click. Fails when the click never arrives.
    std::vector<std::string> linesBeforeClick(QPoint p)
    {
        xdotool({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"});
        std::vector<std::string> lines;
        for (std::optional<std::string> line;;) {
            if (!(line = nextLine())) {
                ADD_FAILURE() << "the host receives no input";
                break;
            }
            if (line->rfind("click ", 0) == 0)
                break;
            lines.push_back(*line);
        }
        return lines;
    }

    // Moves to p and presses button once the last menu's window is gone,
    // then waits for the new one.
    void press(int button, QPoint p)
    {
        ASSERT_TRUE(awaitWindow("^Marking Menu$", false)) << "the last menu's window stays";
        ASSERT_TRUE(xdotool(
            {"mousemove", QString::number(p.x()), QString::number(p.y()), "mousedown", QString::number(button)}));
        ASSERT_TRUE(awaitWindow("^Marking Menu$", true)) << "the menu's window never showed";
    }
    void release(int button) { ASSERT_TRUE(xdotool({"mouseup", QString::number(button)})); }
    // Moves through the points and, when button is not 0, releases it at
    // the last, all in one quick go.
    void stroke(const std::vector<QPoint>& points, int button = 0)
    {
        QStringList arguments;
        for (QPoint p : points)
            arguments << "mousemove" << QString::number(p.x()) << QString::number(p.y());
        if (button)
            arguments << "mouseup" << QString::number(button);
        ASSERT_TRUE(xdotool(arguments));
    }

    // The first screenshot that shows at least minimum pixels drawn in
    // area; a null image if none does in time.
    QImage waitForDrawing(QRect area, int minimum, int timeoutMs = 15000)
    {
        for (const QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired();) {
            QImage shot = screenshot();
            if (!shot.isNull() && drawnPixels(shot, m_canvas, area) >= minimum)
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
        const auto kept = [&](int x, int y, QRgb c) { return !area.contains(x, y) && c == pixelAt(m_canvas, x, y); };
        const auto black = [&](int x, int y, QRgb c) { return !area.contains(x, y) && isBlack(c); };
        const int keptCount = countPixels(shot, screen, kept);
        EXPECT_GE(keptCount, outside * 99 / 100) << "canvas pixels outside the menu: " << keptCount << " of " << outside
                                                 << " kept, " << countPixels(shot, screen, black) << " black";
    }

    QRect listItem(const std::string& label)
    {
        const auto found = m_listItems.find(label);
        return found == m_listItems.end() ? QRect() : found->second;
    }

    std::unique_ptr<Child> m_host;
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
        std::unique_ptr<Child> compositor;
        if (composited) {
            compositor = std::make_unique<Child>(QStringLiteral("xcompmgr"), QStringList(), g_displayEnvironment,
                                                 Child::Output::Discard);
            ASSERT_TRUE(awaitWindow("^xcompmgr$", true, false)) << "xcompmgr did not start";
        }
        ASSERT_NO_FATAL_FAILURE(startHost({"--show-items-delay", "1000"}));
        press(radialButton, screenCenter);
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

// A press and release without movement chooses nothing, in both menus,
// before the items show and after: in the middle of the screen and a few
// pixels from every edge and corner, where the menu is moved to fit.
TEST_F(MarkingMenuDisplayTest, PressAndReleaseInPlaceChoosesNothing)
{
    const int low = 3, highX = screenWidth - 4, highY = screenHeight - 4;
    const QPoint places[] = {screenCenter,
                             {low, low},
                             {screenCenter.x(), low},
                             {highX, low},
                             {highX, screenCenter.y()},
                             {highX, highY},
                             {screenCenter.x(), highY},
                             {low, highY},
                             {low, screenCenter.y()}};
    for (const bool itemsShown : {false, true}) {
        ASSERT_NO_FATAL_FAILURE(startHost({"--show-items-delay", itemsShown ? "150" : "60000"}));
        for (const int button : {radialButton, listButton}) {
            for (const QPoint p : places) {
                const QString name = QStringLiteral("in-place-%1-%2-%3-%4")
                                         .arg(itemsShown ? "items" : "gesture")
                                         .arg(button == radialButton ? "radial" : "list")
                                         .arg(p.x())
                                         .arg(p.y());
                SCOPED_TRACE(name.toStdString());
                press(button, p);
                if (itemsShown) {
                    const QImage shot = waitForDrawing(menuArea(p), 2000);
                    EXPECT_FALSE(shot.isNull()) << "the items never showed";
                    keep(shot, name);
                }
                release(button);
                EXPECT_EQ(nextLine(), "chosen none");
            }
        }
        quitHost();
    }
}

// Escape ends the popup with nothing chosen at every phase; the release
// that follows chooses nothing and the host gets its input back.
TEST_F(MarkingMenuDisplayTest, EscapeEndsThePopupWithNothingChosen)
{
    const QPoint c = screenCenter;
    struct Case {
        const char* phase;
        int button;
        std::function<void()> reach;
        // The button is already up when Escape comes.
        bool released;
    };
    const auto showItems = [this](QPoint p, const char* name) {
        const QImage shot = waitForDrawing(menuArea(p), 2000);
        ASSERT_FALSE(shot.isNull()) << "the items never showed";
        keep(shot, QStringLiteral("escape-") + name);
    };
    // Slow to show the items, and the recognised stroke stays for long.
    const std::vector<Case> gestureCases = {
        {"gesture-radial", radialButton, [] {}, false},
        {"gesture-list", listButton, [] {}, false},
        {"feedback-radial", radialButton,
         [&] {
             const QPoint end = c + QPoint(90, 0);
             stroke({c + QPoint(15, 0), c + QPoint(40, 0), end}, radialButton);
             // The recognised item is drawn across the end of the stroke.
             const QImage shot = waitForDrawing(QRect(end + QPoint(-25, 3), QSize(50, 4)), 100);
             ASSERT_FALSE(shot.isNull()) << "the recognised item never showed";
             keep(shot, "escape-feedback-radial");
         },
         true},
    };
    const std::vector<Case> displayCases = {
        {"items-radial", radialButton,
         [&] {
             stroke({c + QPoint(30, 0), c + QPoint(80, 0)});
             showItems(c, "items-radial");
         },
         false},
        {"items-list", listButton,
         [&] {
             stroke({c + listItem("beta").center()});
             showItems(c, "items-list");
         },
         false},
        {"submenu-list", listButton,
         [&] {
             showItems(c, "submenu-list-parent");
             const QRect more = listItem("more").translated(c);
             stroke({more.center()});
             // The submenu hangs to the right of the list.
             int listRight = 0;
             for (const auto& [label, box] : m_listItems)
                 listRight = std::max(listRight, box.right());
             const QRect beside(c.x() + listRight + 8, more.top() + 3, 20, 10);
             const QImage shot = waitForDrawing(beside, 100);
             ASSERT_FALSE(shot.isNull()) << "the submenu never showed";
             keep(shot, "escape-submenu-list");
             stroke({beside.center()});
         },
         false},
    };
    const struct {
        QStringList options;
        const std::vector<Case>& cases;
    } hosts[] = {{{"--show-items-delay", "60000", "--gesture-feedback", "10000"}, gestureCases},
                 {{"--show-items-delay", "150"}, displayCases}};
    for (const auto& host : hosts) {
        ASSERT_NO_FATAL_FAILURE(startHost(host.options));
        for (const Case& each : host.cases) {
            SCOPED_TRACE(each.phase);
            press(each.button, c);
            each.reach();
            ASSERT_TRUE(xdotool({"key", "Escape"}));
            EXPECT_EQ(nextLine(5000), "chosen none") << "Escape did not end the popup";
            if (!each.released)
                release(each.button);
            EXPECT_THAT(linesBeforeClick(QPoint(40, 40)), IsEmpty()) << "after Escape";
        }
        quitHost();
    }
}

// A quick flick towards an item, released before the items show, chooses
// that item.
TEST_F(MarkingMenuDisplayTest, AQuickFlickChoosesTheItemItPointsAt)
{
    ASSERT_NO_FATAL_FAILURE(startHost({"--show-items-delay", "60000"}));
    const QPoint top(screenCenter.x(), 3);
    const QPoint beta = screenCenter + listItem("beta").center();
    const struct {
        int button;
        QPoint from;
        QPoint to;
        const char* chosen;
    } flicks[] = {{radialButton, screenCenter, screenCenter + QPoint(90, 0), "chosen east"},
                  {radialButton, top, top + QPoint(0, 90), "chosen south"},
                  {listButton, screenCenter, beta, "chosen beta"}};
    for (const auto& flick : flicks) {
        SCOPED_TRACE(flick.chosen);
        press(flick.button, flick.from);
        const QPoint way = flick.to - flick.from;
        stroke({flick.from + way / 3, flick.from + way * 2 / 3, flick.to}, flick.button);
        EXPECT_EQ(nextLine(), flick.chosen);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <display host> <screenshot folder> [gtest options]\n", argv[0]);
        return 2;
    }
    g_hostProgram = QString::fromLocal8Bit(argv[1]);
    g_shotFolder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(g_shotFolder);
    testing::AddGlobalTestEnvironment(new XServer);
    return RUN_ALL_TESTS();
}
