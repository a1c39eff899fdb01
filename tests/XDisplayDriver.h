#pragma once

// What the drivers of the real-display tests share: their own Xvfb for the
// whole program, X clients run on it (xdotool for real input), screenshots
// of its root window kept as PNG files, and a host program started on it whose
// lines the driver reads. Every wait is for something observable: a line,
// a window mapped, a drawing on screen.
//
// A driver's main is displayTestMain; its command line is
//   <driver> <display host> <screenshot folder> [gtest options]

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QThread>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tnUITest::display {

inline QString g_hostProgram;
inline QString g_shotFolder;
inline QProcessEnvironment g_displayEnvironment;

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

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

inline Child start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                   bool read, const std::function<void()>& beforeExec = {})
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

// The host program on the test display, with Qt's X11 platform and the
// given options.
inline Child startHost(const QStringList& options)
{
    QProcessEnvironment environment = g_displayEnvironment;
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return start(g_hostProgram, options, environment, true);
}

// Runs an X client to its end on the test display: its exit code (-1 when it
// could not run or took longer than 15 s) and its standard output.
inline std::pair<int, QByteArray> runClient(const QString& program, const QStringList& arguments)
{
    const Child child = start(program, arguments, g_displayEnvironment, true);
    const bool ended = child->waitForFinished(15000) && child->exitStatus() == QProcess::NormalExit;
    return {ended ? child->exitCode() : -1, child->readAllStandardOutput()};
}

inline bool xdotool(const QStringList& arguments)
{
    return runClient(QStringLiteral("xdotool"), arguments).first == 0;
}

// Waits until a window whose name matches pattern exists (when present is
// set) or until none does; only viewable windows count if onlyVisible is set.
inline bool awaitWindow(const QString& pattern, bool present, bool onlyVisible = true)
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

// The host's next line, without the newline, echoed; nothing if none comes
// in time or the host ended.
inline std::optional<std::string> nextLine(QProcess& host, int timeoutMs = 15000)
{
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

// Ends the host with keys (xdotool's names, "ctrl+q"), expects exit code 0
// and that no window whose name matches windows is left.
inline void quitHost(Child& host, const QString& keys, const QString& windows)
{
    if (!host)
        return;
    if (host->state() != QProcess::NotRunning) {
        xdotool({"key", keys});
        EXPECT_TRUE(host->waitForFinished(20000)) << keys.toStdString() << " did not end the host";
    }
    EXPECT_EQ(host->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host->exitCode(), 0);
    host.reset();
    EXPECT_TRUE(awaitWindow(windows, false, false)) << "a window of the host is left";
}

// Moves to p and presses button (X's numbers: 1 left, 2 middle, 3 right)
// once the last marking menu's window is gone, then waits for the new one.
inline void pressForMenu(int button, QPoint p)
{
    ASSERT_TRUE(awaitWindow("^Marking Menu$", false)) << "the last menu's window stays";
    ASSERT_TRUE(
        xdotool({"mousemove", QString::number(p.x()), QString::number(p.y()), "mousedown", QString::number(button)}));
    ASSERT_TRUE(awaitWindow("^Marking Menu$", true)) << "the menu's window never showed";
}
inline void release(int button)
{
    ASSERT_TRUE(xdotool({"mouseup", QString::number(button)}));
}
// Moves through the points and, when button is not 0, releases it at the
// last, all in one quick go.
inline void stroke(const std::vector<QPoint>& points, int button = 0)
{
    QStringList arguments;
    for (QPoint p : points)
        arguments << "mousemove" << QString::number(p.x()) << QString::number(p.y());
    if (button)
        arguments << "mouseup" << QString::number(button);
    ASSERT_TRUE(xdotool(arguments));
}

// The screen as a person sees it: the root window's pixels, which a
// compositing manager paints the translucent windows onto (xwd would read
// windows of another depth one by one instead). Xvfb's 24-bit TrueColor,
// 32 bits to the pixel in this machine's byte order, is Qt's RGB32; a null
// image for anything else.
inline QImage screenshot()
{
    const QByteArray display = g_displayEnvironment.value(QStringLiteral("DISPLAY")).toLocal8Bit();
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> closer(connection, xcb_disconnect);
    if (xcb_connection_has_error(connection))
        return {};
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const std::unique_ptr<xcb_get_image_reply_t, void (*)(void*)> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0,
                                          screen->width_in_pixels, screen->height_in_pixels, ~0u),
                            nullptr),
        std::free);
    const int width = screen->width_in_pixels, height = screen->height_in_pixels;
    if (!image || image->depth != 24 || xcb_get_image_data_length(image.get()) != width * height * 4)
        return {};
    return QImage(xcb_get_image_data(image.get()), width, height, width * 4, QImage::Format_RGB32).copy();
}

inline void keep(const QImage& shot, const QString& name)
{
    if (!shot.isNull())
        shot.save(QDir(g_shotFolder).filePath(name + QStringLiteral(".png")));
}

inline bool isBlack(QRgb c)
{
    return qRed(c) < 16 && qGreen(c) < 16 && qBlue(c) < 16;
}

// How many pixels of shot inside area satisfy test(x, y, colour).
inline int countPixels(const QImage& shot, QRect area, const std::function<bool(int, int, QRgb)>& test)
{
    area &= shot.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(x, y, shot.pixel(x, y));
    return count;
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

inline int displayTestMain(int argc, char** argv)
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

} // namespace tnUITest::display
