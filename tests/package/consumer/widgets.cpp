// A Qt host of the installed binding: a menu bar compiled from a command
// group through <tnUI/tnUIWidgets.h>, chosen by triggering its action.
#include <tnUI/tnUIWidgets.h>

#include <QApplication>
#include <QMenuBar>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tnUI::CommandInstance* chosen = nullptr;
    {
        tn::Reference<tnUI::CommandGroup> bar(new tnUI::CommandGroup);
        tn::Reference<tnUI::CommandGroup> edit(new tnUI::CommandGroup);
        edit->setLabel(new tnUI::Label("Edit"));
        tn::Reference<tnUI::CommandInstance> undo(new tnUI::CommandInstance(new tnUI::MomentaryCommandDefn));
        undo->setName(tnString::CString("undo"));
        edit->appendItem(undo);
        bar->appendItem(edit);
        QMenuBar menuBar;
        const QList<tnUI::CommandMenu*> menus =
            tnUI::CommandMenu::fillMenuBar(&menuBar, bar, [&chosen](tnUI::CommandInstance* c) { chosen = c; });
        if (menus.size() != 1)
            return std::fprintf(stderr, "widgets_consumer: %d menus\n", int(menus.size())), 1;
        menus.front()->compileIfChanged();
        tnUI::CommandAction* action = menus.front()->actionFor("undo");
        if (!action)
            return std::fprintf(stderr, "widgets_consumer: no action for undo\n"), 1;
        action->trigger();
        if (chosen != undo.get())
            return std::fprintf(stderr, "widgets_consumer: undo was not chosen\n"), 1;
    }
    std::printf("widgets_consumer: ok\n");
    return 0;
}
