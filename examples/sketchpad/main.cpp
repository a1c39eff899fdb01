// Sketchpad: a small drawing program built on the library. Tools (pen, line,
// eraser) and one-shot commands are chosen from a radial marking menu (right
// button), a list menu (middle button or Shift+right) or the keyboard, and
// every input event of the canvas goes through the document's command
// controller.
//
// Usage: sketchpad [--tour] [--verbose] [output-directory]
//
// With a display (DISPLAY or WAYLAND_DISPLAY) and without --tour it opens the
// program for a person to use; Save writes the picture into the output
// directory (./demo-output by default), made when the first picture is
// saved, and --verbose prints the transcript of what the program does.
// Otherwise it runs a scripted tour on Qt's offscreen platform with real Qt
// input events, prints the transcript and writes pictures of the menus and
// the canvas and a dump of the model into the output directory; it exits
// with 1 when something the tour expects does not happen.

#include "SketchApp.h"
#include "SketchWindow.h"
#include "Tour.h"

#include <tnUI/application/Environment.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/menus/CommandGroup.h>

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {

QtMessageHandler defaultMessageHandler = nullptr;

// The offscreen platform warns about every window operation it cannot carry
// out (raise, keyboard grabs); those notices say nothing about the program.
void dropOffscreenNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    defaultMessageHandler(type, context, message);
}

int runInteractive(SketchApp& app)
{
    tnRTB::connect(app.exitSignal, nullptr, [] { QCoreApplication::quit(); });
    SketchWindow* window = app.openDocument("Untitled");
    tnUI::Environment* environment = app.environment();
    window->selectCommand(
        environment->getCommandGroup()->findFirstInstance(environment->getInitialCommand()->asString()));
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    bool tour = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    bool verbose = false;
    const char* outputArgument = "demo-output";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tour") == 0) {
            tour = true;
        } else if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: %s [--tour] [--verbose] [output-directory]\n", argv[0]);
            return 2;
        } else {
            outputArgument = argv[i];
        }
    }
    if (tour) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        defaultMessageHandler = qInstallMessageHandler(dropOffscreenNotices);
    }

    QApplication qtApp(argc, argv);
    const QDir output(QDir::current().absoluteFilePath(QString::fromLocal8Bit(outputArgument)));
    // The tour writes its pictures from the start; a person's session makes
    // the folder only when it saves.
    if (tour && !QDir().mkpath(output.path())) {
        std::fprintf(stderr, "sketchpad: cannot create %s\n", output.path().toLocal8Bit().constData());
        return 1;
    }

    int result = 0;
    {
        const tn::Reference<SketchApp> app(new SketchApp(output.filePath(QStringLiteral("sketch.png"))));
        app->transcript().setPrinting(tour || verbose);
        result = tour ? Tour(*app, output).run() : runInteractive(*app);
    }
    // The Qt windows of closed documents are deleted in the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
