// The teardown host with pop-up menus over its command groups, torn down in
// many random orders.

#include "application/TeardownSupport.h"

#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>

namespace {

using namespace tnUITest;

// The host with a list pop-up menu over its menu bar and a radial one over
// the paint environment's commands.
struct PopUpHost : Host {
    PopUpHost()
    {
        paint->getCommandGroup()->setLayoutPreference(Group::Radial);
        for (int i = 0; i < paint->getCommandGroup()->getNumElements(); ++i)
            paint->getCommandGroup()->getElement(i)->setOrderValue(i + 1);
        list = new PopUpMenu(menu);
        radial = new PopUpMenu(paint->getCommandGroup());
        EXPECT_EQ(list->getMarkMenu()->getItems().size(), 3U);
        EXPECT_EQ(radial->getMarkMenu()->getItems().size(), 3U);
    }
    tn::Reference<PopUpMenu> list, radial;
};

PopUpHost& popUpHost(Host& h)
{
    return static_cast<PopUpHost&>(h);
}

TEST(PopUpTeardown, EveryOrderLeavesNothingAlive)
{
    std::vector<Step> steps = hostSteps();
    steps.emplace_back([](Host& h) { popUpHost(h).list = nullptr; });
    steps.emplace_back([](Host& h) { popUpHost(h).radial = nullptr; });
    // A change of the group rebuilds the menus built on it.
    steps.emplace_back([](Host& h) {
        if (h.menu && h.flip)
            h.menu->appendItem(tn::Reference<CommandInstance>(new CommandInstance(h.flip)));
    });
    tearDownInEveryOrder<PopUpHost>(steps, 200);
}

} // namespace
