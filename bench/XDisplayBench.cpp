// The marking menu beside a QMenu at a real X display, driven by real X input
// from xdotool. Run by bench/xdisplay-bench.sh, which starts the X server
// (and a compositing manager) for it; see bench/README.md, "Marking menus at
// a real display, side by side with QMenu".
//
// One full-screen window. The right button pops a radial marking menu of
// eight commands through tnUI::MarkingMenuTrigger, as a host does; the
// middle button runs QMenu::exec of eight actions at the pointer from the
// window's mousePressEvent. The two alternate, one of each first as a
// warm-up that is not counted. Each popup is one xdotool run: press, rest
// 300 ms, 40 moves across the items 25 ms apart, release on an item. The
// choice only marks the popup as ended with a choice.
//
// What is timed, in QApplication::notify: a frame is the handling of an
// UpdateRequest or Expose event by the popup's top-level widget or its
// QWindow in which the popup received a Paint event, that is, Qt's paint of
// the backing store and its flush to the X server (with any wait for the
// server Qt makes there, not the server's own work). Frames starting between the first move and the release
// are the per-move figures. The press is timed from its X server time, which
// is CLOCK_MONOTONIC in milliseconds on Linux, to the end of the popup's
// first frame; the marking menu's items from the press to the end of the
// first frame painted while the menu's items are visible.
//
// Prints one markdown table row per popup kind (with the header unless
// --no-header), and details to standard error.
//
// Usage: tnui_bench_xdisplay --server-pid PID [--compositor-pid PID]
//                            [--popups N] [--no-header]

#include <tnUI/application/Application.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Label.h>
#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkCompositing.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/widgets/MarkingMenuTrigger.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int moveCount = 40;
constexpr int moveIntervalMs = 25;
constexpr int restMs = 300;
// Quiet time after a popup ends, in which the X server and the window
// beneath finish with it; its X server CPU counts towards the popup.
constexpr int settleMs = 300;
constexpr int markingButton = 3;
constexpr int listButton = 2;
const char* const labels[] = {"North", "North-east", "East", "South-east", "South", "South-west", "West", "North-west"};

enum Kind { Marking, List };

double nowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double processCpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// User and system time of another process from /proc, in ms (clock-tick
// resolution); 0 for no process.
double otherCpuMs(qint64 pid)
{
    if (pid <= 0)
        return 0.0;
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tnui_bench_xdisplay: cannot read %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    const QByteArray stat = file.readAll();
    // The fields after the command name, which ends at the last ')': state
    // is field 3, utime 14 and stime 15.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0.0;
    return (fields[11].toDouble() + fields[12].toDouble()) * 1e3 / double(::sysconf(_SC_CLK_TCK));
}

struct Popup {
    Kind kind = Marking;
    double press = -1.0;       // the press's X time on our clock
    double firstPaint = -1.0;  // end of the popup's first frame
    double itemsPaint = -1.0;  // end of the first frame with the items shown
    double motionStart = -1.0; // arrival of the first move, and of the release
    double motionEnd = -1.0;
    double cpuStart = 0.0;
    double cpuEnd = 0.0;
    double deliveryLag = 0.0; // from the press's X time to its arrival
    int moves = 0;
    std::vector<double> frames; // paint + flush of the frames during the moves
    double serverCpu = 0.0;
    double compositorCpu = 0.0;
    bool chosen = false;
};

class BenchApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!recording)
            return QApplication::notify(receiver, event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            // The first delivery of X input is to a window.
            if (receiver->isWindowType() && event->spontaneous())
                input(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::Paint:
            if (receiver == popupWidget())
                m_painted = true;
            break;
        case QEvent::UpdateRequest:
        case QEvent::Expose:
            if (!m_inFrame && isPopup(receiver))
                return timedFrame(receiver, event);
            break;
        default: break;
        }
        return QApplication::notify(receiver, event);
    }

    // The popup being measured, or null between popups.
    Popup* recording = nullptr;
    QMenu* menu = nullptr;

private:
    QWidget* popupWidget() const
    {
        return recording->kind == Marking ? static_cast<QWidget*>(QmarkMenuView::findView()) : menu;
    }
    bool isPopup(const QObject* receiver) const
    {
        const QWidget* popup = popupWidget();
        return popup && (receiver == popup || receiver == popup->windowHandle());
    }
    static bool itemsVisible()
    {
        const QmarkMenuView* view = QmarkMenuView::findView();
        const tnMarkMenu* menu = view ? view->getCurrentMenu() : nullptr;
        return menu && menu->areItemsVisible();
    }

    void input(const QMouseEvent* event)
    {
        Popup& popup = *recording;
        const double now = nowMs();
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (popup.press < 0.0) {
                // X time is CLOCK_MONOTONIC in whole ms, cut to 32 bits.
                const double floorNow = std::floor(now);
                const auto lag = quint32(quint64(floorNow)) - quint32(event->timestamp());
                popup.press = lag < 1000 ? floorNow - lag : now;
                popup.deliveryLag = now - popup.press;
            }
            break;
        case QEvent::MouseMove:
            if (popup.press < 0.0 || popup.motionEnd >= 0.0)
                break;
            if (popup.motionStart < 0.0) {
                popup.motionStart = now;
                popup.cpuStart = processCpuMs();
            }
            ++popup.moves;
            break;
        default:
            if (popup.motionStart >= 0.0 && popup.motionEnd < 0.0) {
                popup.motionEnd = now;
                popup.cpuEnd = processCpuMs();
            }
        }
    }

    bool timedFrame(QObject* receiver, QEvent* event)
    {
        const bool items = recording->kind == Marking && itemsVisible();
        m_painted = false;
        m_inFrame = true;
        const double start = nowMs();
        const bool result = QApplication::notify(receiver, event);
        const double end = nowMs();
        m_inFrame = false;
        Popup& popup = *recording;
        if (!m_painted || popup.press < 0.0)
            return result;
        if (popup.firstPaint < 0.0)
            popup.firstPaint = end;
        if (items && popup.itemsPaint < 0.0)
            popup.itemsPaint = end;
        if (popup.motionStart >= 0.0 && popup.motionEnd < 0.0)
            popup.frames.push_back(end - start);
        return result;
    }

    bool m_inFrame = false;
    bool m_painted = false;
};

// The window the popups come from: a plain full-screen widget; the middle
// button runs the QMenu where a host would, in its mousePressEvent.
class Canvas : public QWidget {
public:
    explicit Canvas(QMenu* menu) : m_menu(menu)
    {
        setWindowTitle(QStringLiteral("tnui_bench_xdisplay"));
        setWindowFlags(Qt::FramelessWindowHint);
        setGeometry(QGuiApplication::primaryScreen()->geometry());
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::MiddleButton)
            m_menu->exec(event->globalPosition().toPoint());
    }

private:
    QMenu* m_menu;
};

struct Options {
    qint64 serverPid = 0;
    qint64 compositorPid = 0;
    int popups = 20;
    bool header = true;
};

double percentile(std::vector<double> values, double q)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::ceil(q * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

QString ratio(double ours, double theirs)
{
    return std::isfinite(ours) && std::isfinite(theirs) && theirs > 0.0 ? QString::asprintf("%.1f×", ours / theirs)
                                                                        : QStringLiteral("—");
}

QString ms(double value, const char* format = "%.1f ms")
{
    return std::isfinite(value) ? QString::asprintf(format, value) : QStringLiteral("—");
}

// Plays the popups one after another, each as one xdotool run, and prints the
// figures when all are done.
class Runner : public QObject {
public:
    Runner(BenchApplication& app, QWidget& canvas, const Options& options)
        : m_app(app), m_canvas(canvas), m_options(options), m_popups(std::size_t(2 + 2 * options.popups))
    {
        m_poll.setInterval(10);
        connect(&m_poll, &QTimer::timeout, this, &Runner::poll);
        m_settle.setSingleShot(true);
        m_settle.setInterval(settleMs);
        connect(&m_settle, &QTimer::timeout, this, &Runner::settled);
    }

    void start()
    {
        m_deadline = QDeadlineTimer(15000);
        m_settle.start();
    }
    // The popup being played ended with a choice.
    void chose() { m_popups[m_index].chosen = true; }

private:
    bool running() const
    {
        return m_popups[m_index].kind == Marking ? QmarkMenuView::findView() != nullptr : m_app.menu->isVisible();
    }

    QPoint centre() const { return QGuiApplication::primaryScreen()->geometry().center(); }

    // Where the press happens, then the 40 moves: the marking menu's go round
    // the items clockwise from North, 80 pixels out, and end at North; the
    // QMenu's step from item to item down and up the list, ending on its
    // third item.
    std::vector<QPoint> path(Kind kind) const
    {
        std::vector<QPoint> points;
        if (kind == Marking) {
            points.push_back(centre());
            for (int k = 1; k <= moveCount; ++k) {
                const double angle = 2.0 * M_PI * k / moveCount;
                points.push_back(centre() + QPoint(qRound(80.0 * std::sin(angle)), -qRound(80.0 * std::cos(angle))));
            }
            return points;
        }
        const QList<QAction*> actions = m_app.menu->actions();
        const QPoint corner = centre() - QPoint(m_app.menu->sizeHint().width() / 2, 0);
        points.push_back(corner);
        const int last = int(actions.size()) - 1;
        for (int k = 1; k <= moveCount; ++k) {
            const int phase = k % (2 * last);
            points.push_back(corner +
                             m_app.menu->actionGeometry(actions[phase <= last ? phase : 2 * last - phase]).center());
        }
        return points;
    }

    void begin()
    {
        if (m_index == m_popups.size()) {
            report();
            QCoreApplication::exit(0);
            return;
        }
        if (!m_canvas.windowHandle() || !m_canvas.windowHandle()->isExposed()) {
            if (m_deadline.hasExpired())
                fail("the window never showed");
            m_settle.start();
            return;
        }
        Popup& popup = m_popups[m_index];
        popup.kind = m_index % 2 == 0 ? Marking : List;
        popup.frames.reserve(4 * std::size_t(moveCount));
        const int button = popup.kind == Marking ? markingButton : listButton;
        const std::vector<QPoint> points = path(popup.kind);
        const auto move = [](QStringList& arguments, QPoint p) {
            arguments << "mousemove" << QString::number(p.x()) << QString::number(p.y());
        };
        QStringList arguments;
        move(arguments, points[0]);
        arguments << "sleep"
                  << "0.05"
                  << "mousedown" << QString::number(button) << "sleep" << QString::number(restMs / 1000.0);
        for (std::size_t i = 1; i < points.size(); ++i) {
            move(arguments, points[i]);
            arguments << "sleep" << QString::number(moveIntervalMs / 1000.0);
        }
        arguments << "mouseup" << QString::number(button);

        m_serverCpu = otherCpuMs(m_options.serverPid);
        m_compositorCpu = otherCpuMs(m_options.compositorPid);
        m_app.recording = &popup;
        m_driver = new QProcess(this);
        m_driver->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_driver->setProcessChannelMode(QProcess::ForwardedChannels);
        connect(m_driver, &QProcess::finished, this, &Runner::driven);
        connect(m_driver, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                fail("cannot run xdotool");
        });
        m_driver->start(QStringLiteral("xdotool"), arguments);
        m_deadline = QDeadlineTimer(15000);
        m_poll.start();
    }

    void driven(int exitCode, QProcess::ExitStatus status)
    {
        m_driver->deleteLater();
        m_driver = nullptr;
        if (status != QProcess::NormalExit || exitCode != 0)
            fail("xdotool failed");
    }

    // Waits for the popup and its driver to end, then for the display to
    // settle.
    void poll()
    {
        if (m_deadline.hasExpired())
            fail("a popup did not end in time");
        if (m_driver || running())
            return;
        m_poll.stop();
        if (m_popups[m_index].firstPaint < 0.0)
            fail("a popup was never painted");
        m_settle.start();
    }

    // The display has settled: after the window showed, or after a popup,
    // whose X server CPU is then complete.
    void settled()
    {
        if (m_app.recording) {
            Popup& popup = m_popups[m_index];
            popup.serverCpu = otherCpuMs(m_options.serverPid) - m_serverCpu;
            popup.compositorCpu = otherCpuMs(m_options.compositorPid) - m_compositorCpu;
            m_app.recording = nullptr;
            ++m_index;
        }
        begin();
    }

    [[noreturn]] void fail(const char* what)
    {
        std::fprintf(stderr, "tnui_bench_xdisplay: %s (popup %zu)\n", what, m_index + 1);
        if (QmarkMenuView* view = QmarkMenuView::findView())
            view->cancel();
        m_app.menu->close();
        if (m_driver)
            m_driver->kill();
        std::exit(1);
    }

    struct Figures {
        double frameMedian, frameP95, framesPerMove, firstPaint, items, cpuPerSecond, server, compositor, lag;
        int chosen;
    };

    Figures figures(Kind kind) const
    {
        std::vector<double> frames, firstPaint, items, lag;
        double cpu = 0.0, motion = 0.0, server = 0.0, compositor = 0.0;
        int moves = 0, chosen = 0, count = 0;
        // The first popup of each kind is the warm-up.
        for (std::size_t i = 2; i < m_popups.size(); ++i) {
            const Popup& p = m_popups[i];
            if (p.kind != kind)
                continue;
            ++count;
            frames.insert(frames.end(), p.frames.begin(), p.frames.end());
            firstPaint.push_back(p.firstPaint - p.press);
            if (p.itemsPaint >= 0.0)
                items.push_back(p.itemsPaint - p.press);
            lag.push_back(p.deliveryLag);
            if (p.motionEnd > p.motionStart) {
                cpu += p.cpuEnd - p.cpuStart;
                motion += p.motionEnd - p.motionStart;
            }
            moves += p.moves;
            server += p.serverCpu;
            compositor += p.compositorCpu;
            chosen += p.chosen;
        }
        return {percentile(frames, 0.5),
                percentile(frames, 0.95),
                moves ? double(frames.size()) / moves : 0.0,
                percentile(firstPaint, 0.5),
                percentile(items, 0.5),
                motion > 0.0 ? cpu / motion * 1e3 : std::nan(""),
                server / count,
                m_options.compositorPid ? compositor / count : std::nan(""),
                percentile(lag, 0.5),
                chosen};
    }

    void report() const
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QString setup = QStringLiteral("%1x%2, %3")
                                  .arg(screen.width())
                                  .arg(screen.height())
                                  .arg(m_options.compositorPid ? "xcompmgr" : "no compositor");
        const Figures mark = figures(Marking), list = figures(List);
        if (m_options.header) {
            std::puts(
                "| screen, compositor | popup | per move, paint + flush (median / p95) | vs QMenu "
                "| press to first paint | vs QMenu | items painted after press | CPU per second of motion | vs QMenu "
                "| X server CPU per popup | vs QMenu | xcompmgr CPU per popup |");
            std::puts("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|");
        }
        // Each figure of the marking menu's row with its ratio to QMenu's.
        const auto row = [&list](const QString& first, const char* name, const Figures& f, bool compare) {
            const auto vs = [compare](double ours, double theirs) { return compare ? ratio(ours, theirs) : QString(); };
            std::printf("| %s | %s | %s / %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", qPrintable(first), name,
                        qPrintable(ms(f.frameMedian, "%.2f")), qPrintable(ms(f.frameP95, "%.2f ms")),
                        qPrintable(vs(f.frameMedian, list.frameMedian)), qPrintable(ms(f.firstPaint)),
                        qPrintable(vs(f.firstPaint, list.firstPaint)), qPrintable(ms(f.items, "%.0f ms")),
                        qPrintable(ms(f.cpuPerSecond, "%.0f ms/s")), qPrintable(vs(f.cpuPerSecond, list.cpuPerSecond)),
                        qPrintable(ms(f.server)), qPrintable(vs(f.server, list.server)), qPrintable(ms(f.compositor)));
        };
        row(setup, "marking menu", mark, true);
        row(QString(), "QMenu", list, false);
        std::fflush(stdout);
        for (const auto& [name, f] : {std::pair("marking menu", mark), std::pair("QMenu", list)})
            std::fprintf(stderr,
                         "%s, %s: %.2f frames per move, %d of %d popups chose, the press arrived %.1f ms after its "
                         "X time\n",
                         qPrintable(setup), name, f.framesPerMove, f.chosen, m_options.popups, f.lag);
    }

    BenchApplication& m_app;
    QWidget& m_canvas;
    Options m_options;
    std::vector<Popup> m_popups;
    std::size_t m_index = 0;
    QProcess* m_driver = nullptr;
    QTimer m_poll;
    QTimer m_settle;
    QDeadlineTimer m_deadline;
    double m_serverCpu = 0.0;
    double m_compositorCpu = 0.0;
};

bool readOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--no-header") == 0)
            options.header = false;
        else if (hasValue && std::strcmp(argv[i], "--server-pid") == 0)
            options.serverPid = std::atoll(argv[++i]);
        else if (hasValue && std::strcmp(argv[i], "--compositor-pid") == 0)
            options.compositorPid = std::atoll(argv[++i]);
        else if (hasValue && std::strcmp(argv[i], "--popups") == 0)
            options.popups = std::atoi(argv[++i]);
        else
            return false;
    }
    return options.serverPid > 0 && options.popups > 0;
}

tnUI::CommandInstance* command(const char* label, int order)
{
    auto* c = new tnUI::CommandInstance(new tnUI::MomentaryCommandDefn());
    c->setLabel(new tnUI::Label(label));
    c->setOrderValue(order);
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --server-pid PID [--compositor-pid PID] [--popups N] [--no-header]\n"
                     "(run through bench/xdisplay-bench.sh)\n",
                     argv[0]);
        return 2;
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "tnui_bench_xdisplay: needs Qt's X11 platform (xcb), not %s\n",
                     qPrintable(QGuiApplication::platformName()));
        return 1;
    }
    // A compositing manager takes a moment to claim the display.
    const bool composited = options.compositorPid != 0;
    for (const QDeadlineTimer deadline(10000); QmarkCompositing::isActive() != composited; QThread::msleep(50)) {
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "tnui_bench_xdisplay: the display %s composite\n", composited ? "does not" : "does");
            return 1;
        }
    }
    tnUI::Application::setFontName(tnString::IString(QApplication::font().family().toStdWString()));
    tnUI::Application::setNormalFontSize(QApplication::font().pointSize());

    QMenu menu;
    for (const char* label : labels)
        menu.addAction(QString::fromLatin1(label));
    app.menu = &menu;
    Canvas canvas(&menu);
    const tn::Reference<tnUI::CommandGroup> group(new tnUI::CommandGroup);
    group->setLayoutPreference(tnUI::Group::Radial);
    for (int i = 0; i < 8; ++i)
        group->appendItemSorted(command(labels[i], i + 1));
    auto* trigger = new tnUI::MarkingMenuTrigger(&canvas, group.get(), Qt::RightButton);
    QmarkMenuView::setParentWindow(&canvas);

    Runner runner(app, canvas, options);
    trigger->setChosen([&runner](tnUI::CommandInstance*) { runner.chose(); });
    QObject::connect(&menu, &QMenu::triggered, [&runner] { runner.chose(); });
    canvas.show();
    runner.start();
    return QApplication::exec();
}
