// The pop-up marking menus at a real X server: the driver starts its own
// Xvfb, runs the display host (DisplayHost.cpp) on it, gives it real input
// with xdotool, reads its lines and looks at xwd screenshots, which it keeps
// as PNG files in the folder named on the command line. Every wait is for
// something observable: a line, a window mapped, a drawing on screen.
//
// Usage: test_markingmenus_display <display host> <screenshot folder> [gtest options]

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QThread>
#include <QtEndian>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

QString g_hostProgram;
QString g_shotFolder;
QProcessEnvironment g_displayEnvironment;

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;
const QPoint screenCenter(screenWidth / 2, screenHeight / 2);
constexpr int radialButton = 3;
constexpr int listButton = 2;

// A child process, stopped when it goes and killed should the driver die;
// its output is kept to read or dropped with its standard error.
struct Stop {
    void operator()(QProcess* process) const
    {
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
        delete process;
    }
};
using Child = std::unique_ptr<QProcess, Stop>;

Child start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment, bool read,
            const std::function<void()>& beforeExec = {})
{
    Child process(new QProcess);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!read) {
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    process->setChildProcessModifier([beforeExec] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (beforeExec)
            beforeExec();
    });
    process->start(program, arguments);
    return process;
}

// Runs an X client to its end on the test display: its exit code (-1 when it
// could not run or took longer than 15 s) and its standard output.
std::pair<int, QByteArray> runClient(const QString& program, const QStringList& arguments)
{
    const Child child = start(program, arguments, g_displayEnvironment, true);
    const bool ended = child->waitForFinished(15000) && child->exitStatus() == QProcess::NormalExit;
    return {ended ? child->exitCode() : -1, child->readAllStandardOutput()};
}

bool xdotool(const QStringList& arguments)
{
    return runClient(QStringLiteral("xdotool"), arguments).first == 0;
}

// Waits until a window whose name matches pattern exists (when present is
// set) or until none does; only viewable windows count if onlyVisible is set.
bool awaitWindow(const QString& pattern, bool present, bool onlyVisible = true)
{
    QStringList arguments{"search", "--name", pattern};
    if (onlyVisible)
        arguments.insert(1, "--onlyvisible");
    for (const QDeadlineTimer deadline(15000); !deadline.hasExpired(); QThread::msleep(20)) {
        if (runClient(QStringLiteral("xdotool"), arguments).first == (present ? 0 : 1))
            return true;
    }
    return false;
}

// The screen as xwd dumps it: Xvfb's 32-bit TrueColor in this machine's
// byte order is Qt's RGB32; a null image for any other dump.
QImage screenshot()
{
    const std::pair<int, QByteArray> dump = runClient(QStringLiteral("xwd"), {"-root", "-silent"});
    const int code = dump.first;
    const QByteArray& data = dump.second;
    const auto word = [&data](int i) { return qFromBigEndian<quint32>(data.constData() + 4 * qsizetype(i)); };
    if (code != 0 || data.size() < 100 || word(1) != 7 || word(2) != 2 || word(7) != 0 || word(11) != 32 ||
        word(14) != 0xff0000 || word(15) != 0xff00 || word(16) != 0xff)
        return {};
    const qsizetype offset = qsizetype(word(0)) + qsizetype(word(19)) * 12;
    const int height = int(word(5)), bytesPerLine = int(word(12));
    if (offset + qsizetype(bytesPerLine) * height > data.size())
        return {};
    return QImage(reinterpret_cast<const uchar*>(data.constData() + offset), int(word(4)), height, bytesPerLine,
                  QImage::Format_RGB32)
        .copy();
}

void keep(const QImage& shot, const QString& name)
{
    if (!shot.isNull())
        shot.save(QDir(g_shotFolder).filePath(name + QStringLiteral(".png")));
}

bool isBlack(QRgb c)
{
    return qRed(c) < 16 && qGreen(c) < 16 && qBlue(c) < 16;
}

// How many pixels of shot inside area satisfy test(x, y, colour).
int countPixels(const QImage& shot, QRect area, const std::function<bool(int, int, QRgb)>& test)
{
    area &= shot.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(x, y, shot.pixel(x, y));
    return count;
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
        m_server = start(
            QStringLiteral("Xvfb"),
            QStringList{"-displayfd", QString::number(writeEnd), "-screen", "0",
                        QStringLiteral("%1x%2x24").arg(screenWidth).arg(screenHeight), "-nolisten", "tcp", "-noreset"},
            QProcessEnvironment::systemEnvironment(), false, [writeEnd] { ::fcntl(writeEnd, F_SETFD, 0); });
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
    Child m_server;
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
        m_host = start(g_hostProgram, options, environment, true);
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
        QProcess& host = *m_host;
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
        QProcess& host = *m_host;
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
        if (composited) {
            compositor = start(QStringLiteral("xcompmgr"), {}, g_displayEnvironment, false);
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
                    press(button, {x, y});
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
            press(flick.button, flick.from);
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
        press(radialButton, c);
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
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
