// How often quick marks choose the item they aim at: synthetic marks
// (MarkStrokes.h) are fed to the marking-menu view as real Qt mouse events
// (press, moves, release before the items show), 300 per cell, and the
// chosen item is compared with the intended one. Prints one table row per
// cell: accuracy, the share where nothing was chosen, and the share whose
// every leg lies inside its sector (the best a reader of directions can do).
//
//   tnui_mark_accuracy [--strokes N] [--recogniser | --long-steps]
//
// --recogniser reads the marks with the recogniser alone, without the view;
// --long-steps has the view read them with its original rule.

#include "MarkStrokes.h"

#include <tnUI/markingmenus/MarkRecogniser.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using tnBench::GeneratedMark;
using tnBench::MarkCell;

const tnMarkFont Font("Sans", 0, 12);

// A menu of breadth items, each opening a submenu of breadth items when
// depth is 2. Ids: the item's direction + 1 at one level, 100 x (first + 1)
// + second + 1 at two.
struct Menus {
    Menus(int breadth, int depth)
    {
        const int step = tnMarkPosition::NumDirections / breadth;
        for (int i = 0; i < breadth; ++i) {
            if (depth == 1) {
                top.addTextItem("Item", "", i + 1, i * step, Font, nullptr);
                continue;
            }
            subs.push_back(std::make_unique<QmarkMenu>());
            for (int j = 0; j < breadth; ++j)
                subs.back()->addTextItem("Item", "", 100 * (i + 1) + j + 1, j * step, Font, nullptr);
            top.addSubmenuTextItem("Menu", "", subs.back().get(), i * step, Font, nullptr);
        }
    }
    static int expectedId(const GeneratedMark& mark)
    {
        return mark.directions.size() == 1 ? mark.directions[0] + 1
                                           : 100 * (mark.directions[0] + 1) + mark.directions[1] + 1;
    }

    QmarkMenu top;
    std::vector<std::unique_ptr<QmarkMenu>> subs;
};

// Pops the menu at the screen's centre and plays the mark as mouse events
// delivered through the application, as a mouse's would be.
int throughView(Menus& menus, const GeneratedMark& mark, QWidget& host)
{
    const QPoint center = QGuiApplication::primaryScreen()->geometry().center();
    QTimer::singleShot(0, &host, [&mark, &host, center] {
        const auto send = [&host, center](QEvent::Type type, const tnBench::StrokeSample& s) {
            const QPointF p(center.x() + s.x, center.y() + s.y);
            const bool up = type == QEvent::MouseButtonRelease;
            QMouseEvent event(type, host.mapFromGlobal(p), p, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              up ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            event.setTimestamp(static_cast<quint64>(1000 + s.ms));
            QApplication::sendEvent(&host, &event);
        };
        send(QEvent::MouseButtonPress, mark.samples.front());
        for (std::size_t i = 1; i < mark.samples.size(); ++i)
            send(QEvent::MouseMove, mark.samples[i]);
        send(QEvent::MouseButtonRelease, mark.samples.back());
    });
    int id = -1;
    menus.top.popup(static_cast<float>(center.x()), static_cast<float>(center.y()), &id, nullptr, false);
    return id;
}

// Reads the mark with the recogniser alone, without the view.
int throughRecogniser(Menus& menus, const GeneratedMark& mark)
{
    std::vector<tnMarkStrokePoint> stroke;
    for (const tnBench::StrokeSample& s : mark.samples)
        stroke.push_back({double(s.x), double(-s.y), s.ms});
    const tnMarkRecogniser::Mark read = tnMarkRecogniser::recognise(stroke, menus.top, true);
    const tnMarkItem* item = read.steps.empty() ? nullptr : read.steps.back().item;
    return item && item->getState() != tnMarkItem::Disabled ? item->getId() : -1;
}

struct Tally {
    int right = 0;
    int none = 0;
    int inside = 0;
    int count = 0;
};

Tally measure(const MarkCell& cell, int strokes, QWidget* host)
{
    Menus menus(cell.breadth, cell.depth);
    // The same marks for every reader: the seed follows the cell.
    const unsigned seed = 1000u * cell.breadth + 100u * cell.depth + static_cast<unsigned>(cell.noiseDegrees) +
                          (cell.shortLastLeg ? 7u : 0u);
    tnBench::MarkGenerator generator(cell, seed);
    Tally tally;
    for (int i = 0; i < strokes; ++i) {
        const GeneratedMark mark = generator.next();
        const int id = host ? throughView(menus, mark, *host) : throughRecogniser(menus, mark);
        tally.right += id == Menus::expectedId(mark);
        tally.none += id == -1;
        tally.inside += mark.insideSectors;
        ++tally.count;
    }
    return tally;
}

double percent(int n, int of)
{
    return of ? 100.0 * n / of : 0.0;
}

} // namespace

int main(int argc, char** argv)
{
    int strokes = 300;
    bool direct = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--strokes") == 0 && i + 1 < argc) {
            strokes = std::stoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--recogniser") == 0) {
            direct = true;
        } else if (std::strcmp(argv[i], "--long-steps") == 0) {
            QmarkMenuView::setQuickMarkRule(QmarkMenuView::QuickMarkRule::LongSteps);
        } else {
            std::fprintf(stderr, "usage: %s [--strokes N] [--recogniser | --long-steps]\n", argv[0]);
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform's notes on raising and grabbing, once a popup.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtWarningMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QWidget host;
    host.setGeometry(QGuiApplication::primaryScreen()->geometry());
    host.show();
    // The items never show: every mark is released before the delay.
    QmarkMenuView::setShowItemsDelay(60000);
    QmarkMenuView::setGestureFeedbackTime(0);

    std::printf("| menu | last leg | noise | accuracy | nothing chosen | best possible |\n");
    std::printf("|---|---|---:|---:|---:|---:|\n");
    for (const bool shortLastLeg : {false, true}) {
        for (const int depth : {1, 2}) {
            for (const int breadth : {4, 8}) {
                if (shortLastLeg && depth == 1)
                    continue;
                for (const double noise : {5.0, 10.0, 15.0}) {
                    const MarkCell cell{breadth, depth, noise, shortLastLeg};
                    const Tally t = measure(cell, strokes, direct ? nullptr : &host);
                    std::printf("| %dx%d | %s | %.0f° | %.1f %% | %.1f %% | %.1f %% |\n", breadth, depth,
                                shortLastLeg ? "15-25 px" : "45-90 px", noise, percent(t.right, t.count),
                                percent(t.none, t.count), percent(t.inside, t.count));
                    std::fflush(stdout);
                }
            }
        }
    }
    return 0;
}
