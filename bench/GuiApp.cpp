#include "GuiApp.h"

#include <QApplication>

namespace tnBench {

void ensureGuiApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tnui_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

} // namespace tnBench
