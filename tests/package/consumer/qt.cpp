// A Qt host of the installed library: configures the marking menus' view and
// builds a pop-up menu through <tnUI/tnUIQt.h>.
#include <tnUI/tnUIQt.h>

#include <QApplication>

#include <cmath>
#include <cstdio>

namespace {

int fail(const char* what)
{
    std::fprintf(stderr, "qt_consumer: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QmarkMenuView::setShowItemsDelay(250);
    if (QmarkMenuView::getShowItemsDelay() != 250)
        return fail("the show-items delay was not kept");
    if (app.platformName() == QLatin1String("offscreen") && !QmarkCompositing::isActive())
        return fail("the offscreen platform does not composite");

    {
        tn::Reference<tnUI::CommandGroup> group(new tnUI::CommandGroup);
        group->setLayoutPreference(tnUI::Group::Radial);
        tn::Reference<tnUI::CommandInstance> undo(new tnUI::CommandInstance(new tnUI::MomentaryCommandDefn));
        undo->setLabel(new tnUI::Label("Undo"));
        undo->setOrderValue(1);
        group->appendItem(undo);
        tn::Reference<tnUI::PopUpMenu> menu(new tnUI::PopUpMenu(group));
        if (!dynamic_cast<QmarkMenu*>(menu->getMarkMenu()))
            return fail("a radial group did not become a QmarkMenu");
        bool caught = false;
        try {
            menu->show(INFINITY, 0.0);
        } catch (const tnUI::ImplError&) {
            caught = true;
        }
        if (!caught)
            return fail("an infinite point raised no ImplError");
    }
    if (tnUI::Entity::numberOfActiveObjects() != 0)
        return fail("entities outlived their references");
    std::printf("qt_consumer: ok\n");
    return 0;
}
