// Pop-up menus built from real command groups and run on the offscreen
// platform with real mouse events.

#include "commands/CommandTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkImageItem.h>
#include <tnUI/markingmenus/MarkLinearMenu.h>
#include <tnUI/markingmenus/MarkRender.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/menus/CommandItem.h>
#include <tnUI/values/BoolValue.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gmock/gmock.h>

#include <cmath>
#include <functional>
#include <limits>
#include <utility>

namespace {

using testing::ElementsAre;
using tnUI::CommandGroup;
using tnUI::CommandInstance;
using tnUI::Group;
using tnUI::PopUpMenu;

std::string text(const tnString::IString& s)
{
    return s.asUTF8().asChar();
}

// Exposes the protected mark-position lookup.
class InspectedPopUpMenu : public PopUpMenu {
public:
    using PopUpMenu::getMarkPosition;
    using PopUpMenu::PopUpMenu;
};

class PopUpMenuTest : public tnUITest::EntityTest {
protected:
    // A command instance of a new momentary command.
    static CommandInstance* command(const char* label, double order = 50.0)
    {
        auto* c = new CommandInstance(new tnUI::MomentaryCommandDefn());
        c->setLabel(new tnUI::Label(label));
        c->setOrderValue(order);
        return c;
    }
    static CommandInstance* add(CommandGroup& g, const char* label, double order)
    {
        CommandInstance* c = command(label, order);
        g.appendItemSorted(c);
        return c;
    }
    static tn::Reference<CommandGroup> group(Group::ELayoutPreference layout)
    {
        tn::Reference<CommandGroup> g(new CommandGroup());
        g->setLayoutPreference(layout);
        return g;
    }
    static tnMarkMenuItem* itemAt(const PopUpMenu& p, int markPosition)
    {
        return dynamic_cast<tnMarkMenuItem*>(p.getMarkMenu()->itemAtPosition(markPosition));
    }
    static tnMarkMenuItem* item(const PopUpMenu& p, int index)
    {
        return dynamic_cast<tnMarkMenuItem*>(p.getMarkMenu()->itemAt(index));
    }
};

TEST(PopUpMenuCompass, NamesAndPositions)
{
    const double eps = tnLinear::epsilonTol;
    for (const auto& [name, position] :
         {std::pair("North", 1), std::pair("N", 1), std::pair("Northwest", 8), std::pair("north", 0)})
        EXPECT_EQ(PopUpMenu::getCompassPosition(name), position) << name;
    for (const auto& [position, expected] :
         {std::pair(5.0, "South"), std::pair(4.5, ""), std::pair(3.0 - eps / 2, "East"), std::pair(3.0 + 2 * eps, ""),
          std::pair(9.0, ""), std::pair(std::nan(""), "")}) {
        tnString::IString name("stale");
        PopUpMenu::getCompassPositionName(position, name);
        EXPECT_EQ(text(name), expected) << position;
    }

    // Without a group there is no menu to show.
    tn::Reference<InspectedPopUpMenu> menu(new InspectedPopUpMenu(nullptr));
    EXPECT_TRUE(menu->getMarkMenu() == nullptr && menu->show(100, 100) == nullptr);
    EXPECT_EQ(menu->getSize(), tnLinear::Tuple2(0, 0));
    const int marks[] = {18, 4, 2, 0, 14, 12, 10, 8, 6, 18};
    for (int position = 0; position <= 9; ++position)
        EXPECT_EQ(menu->getMarkPosition(position + eps / 2), marks[position]) << position;
    EXPECT_EQ(menu->getMarkPosition(2.5), 18);
}

// A radial group places its commands at the compass positions of their order
// values, the first one at each, and ends at a subgroup; a list keeps every
// element, with separators after items and subgroups as submenus. A command
// item stands for its command; one without a command is left out.
TEST_F(PopUpMenuTest, GroupsBecomeRadialMenusOrLists)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    add(*g, "north", 1)->setToolTip(new tnUI::Label("the north"));
    add(*g, "nowhere", 0);
    add(*g, "second", 1);
    add(*g, "east", 3);
    auto* separator = new tnUI::Separator();
    separator->setOrderValue(3.5);
    g->appendItemSorted(separator);
    tn::Reference<CommandGroup> sub = group(Group::Radial);
    sub->setLabel(new tnUI::Label("more"));
    sub->setOrderValue(4);
    CommandInstance* inner = command("inner", 1);
    sub->appendItem(inner);
    g->appendItemSorted(sub.get());
    add(*g, "south", 5);
    CommandInstance* target = command("target");
    auto* commandItem = new tnUI::CommandItem();
    commandItem->setCommand(target);
    commandItem->setLabel(new tnUI::Label("item label"));
    g->appendItem(commandItem);
    g->appendItem(new tnUI::CommandItem());

    // Label, index in the group, tooltip (the label by default) or a
    // separator after ("|").
    const auto rows = [](const PopUpMenu& menu) {
        std::vector<std::string> rows;
        for (int i = 0; i < menu.getMarkMenu()->getNumItems(); ++i) {
            tnMarkMenuItem* it = item(menu, i);
            rows.push_back(text(it->getLabel()) + " " + std::to_string(it->getId()) + " " +
                           text(it->getToolTip()->getText()) + (it->hasSeparatorAfter() ? "|" : ""));
        }
        return rows;
    };
    tn::Reference<PopUpMenu> radial(new PopUpMenu(g.get()));
    EXPECT_EQ(radial->getMarkMenu()->getRadius(), 35.0f);
    EXPECT_THAT(rows(*radial), ElementsAre("north 1 the north", "east 3 east"));
    EXPECT_EQ(itemAt(*radial, tnMarkPosition::East)->getData(), g->getElement(3));

    // List items carry no tooltip text.
    g->setLayoutPreference(Group::List);
    tn::Reference<PopUpMenu> list(new PopUpMenu(g.get()));
    EXPECT_TRUE(list->getMarkMenu()->isLinear());
    EXPECT_THAT(rows(*list),
                ElementsAre("nowhere 0 ", "north 1 ", "second 2 ", "east 3 |", "more 0 ", "south 6 ", "item label 7 "));
    EXPECT_EQ(item(*list, 6)->getData(), target);
    tnMarkMenu* submenu = item(*list, 4)->getSubmenu();
    ASSERT_TRUE(submenu && submenu->isLinear() && submenu->getNumItems() == 1);
    EXPECT_EQ(submenu->itemAt(0)->getData(), inner);
    EXPECT_EQ(item(*list, 4)->getData(), nullptr);
}

// Icons whose pictures are written into a temporary folder; "missing.png"
// never is.
class PopUpMenuIconTest : public PopUpMenuTest {
protected:
    void SetUp() override
    {
        PopUpMenuTest::SetUp();
        for (const auto& [name, width] : {std::pair("n.png", 16), std::pair("a.png", 16), std::pair("wide.png", 17)}) {
            QImage image(width, 16, QImage::Format_ARGB32);
            image.fill(Qt::red);
            ASSERT_TRUE(image.save(m_dir.filePath(name))) << name;
        }
    }
    // Gives c the normal and the active icon files.
    void setIcons(CommandInstance& c, const char* normal, const char* active) const
    {
        for (const auto& [name, state] :
             {std::pair(normal, tnUI::IconState::Normal), std::pair(active, tnUI::IconState::Active)}) {
            const tnString::IString path(m_dir.filePath(name).toStdWString());
            c.setIcon(new tnUI::ImageFile(new tnUI::Filename(path)), state, tnUI::IconMode::Default);
        }
    }
    // The message of the tnMarkBadImageException that f raises.
    static std::string badImage(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const tnMarkBadImageException& e) {
            return text(e.getMessage());
        }
        return "none";
    }

    const std::string loadError = "Error loading image for Marking Menu item";
    const std::string sizeError = "Error - marking menu image items should have the same dimensions for all its images";
    QTemporaryDir m_dir;
};

// A picture that does not load or differs in size fails the construction or
// the rebuild, which leaves the menu, its items, its size and every listener
// as they were.
TEST_F(PopUpMenuIconTest, PicturesThatCannotBeUsedLeaveEverythingAsItWas)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    CommandInstance* north = add(*g, "north", 1);
    tn::Reference<tnUI::BoolValue> checked(new tnUI::BoolValue(false));
    tn::Reference<tnUI::BoolValue> enabled(new tnUI::BoolValue(true));
    tn::Reference<tnUI::BoolValue> fresh(new tnUI::BoolValue(true));
    north->setCheckedExpression(checked.get());
    north->getCommand()->setEnabledExpression(enabled.get()); // the definition's, as the instance has none
    CommandInstance* south = add(*g, "south", 5);
    setIcons(*south, "n.png", "missing.png");
    EXPECT_EQ(badImage([&] { tn::Reference<PopUpMenu>(new PopUpMenu(g.get())); }), loadError);
    EXPECT_EQ(std::pair(g->messageSignal.getNumConnections(), checked->messageSignal.getNumConnections()),
              std::pair(0, 1));

    setIcons(*south, "n.png", "n.png");
    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
    // The title marks this build: a rebuild makes a menu with the default one.
    menu->getMarkMenu()->setTitle("this build");
    const auto state = [&] {
        tnMarkMenu* m = menu->getMarkMenu();
        return std::tuple(m, text(m->getTitle()), m->getItems(), menu->getSize().x, menu->getSize().y,
                          std::vector{g->messageSignal.getNumConnections(), checked->messageSignal.getNumConnections(),
                                      enabled->messageSignal.getNumConnections(),
                                      fresh->messageSignal.getNumConnections()});
    };
    const auto before = state();
    EXPECT_THAT(std::get<5>(before), ElementsAre(1, 2, 2, 0));
    CommandInstance* bad = command("bad", 3);
    setIcons(*bad, "n.png", "wide.png");
    EXPECT_EQ(badImage([&] { g->appendItemSorted(bad); }), sizeError);
    EXPECT_EQ(state(), before);
    // The conditions still drive the items of the kept menu, in place.
    checked->setValue(true);
    enabled->setValue(false);
    EXPECT_TRUE(item(*menu, 0)->isChecked());
    EXPECT_EQ(item(*menu, 0)->getState(), tnMarkItem::Disabled);
    EXPECT_EQ(text(menu->getMarkMenu()->getTitle()), "this build");

    // Without it the menu builds again; an icon that no longer loads fails
    // the next rebuild, which leaves no listener on the condition of the
    // command it was adding.
    g->removeItem(1);
    EXPECT_EQ(text(menu->getMarkMenu()->getTitle()), "untitled");
    menu->getMarkMenu()->setTitle("this build");
    CommandInstance* east = command("east", 3);
    east->setCheckedExpression(fresh.get());
    const auto rebuilt = state();
    setIcons(*south, "n.png", "missing.png");
    EXPECT_EQ(state(), rebuilt);
    EXPECT_EQ(badImage([&] { g->appendItemSorted(east); }), loadError);
    EXPECT_EQ(state(), rebuilt);
    setIcons(*south, "n.png", "a.png");
    g->appendItemSorted(command("west", 7));
    EXPECT_EQ(menu->getMarkMenu()->getNumItems(), 4);
    // After the rebuild the conditions drive the new items, once each.
    EXPECT_EQ(fresh->messageSignal.getNumConnections(), 2);
    fresh->setValue(false);
    EXPECT_FALSE(item(*menu, 1)->isChecked());
    g->removeItem(0);
    EXPECT_EQ(checked->messageSignal.getNumConnections(), 0);
}

// A condition whose next evaluation first runs the host's code.
class HostCondition : public tnUI::BoolValue {
public:
    using BoolValue::BoolValue;
    bool evalBool() const override
    {
        if (auto host = std::exchange(onEval, nullptr))
            host();
        return BoolValue::evalBool();
    }
    mutable std::function<void()> onEval;
};

TEST_F(PopUpMenuTest, AConditionThatCallsTheHostMayRebuildOrReleaseTheMenu)
{
    for (const bool release : {false, true}) {
        tn::Reference<CommandGroup> g = group(Group::List);
        tn::Reference<HostCondition> checked(new HostCondition(false));
        tn::Reference<HostCondition> enabled(new HostCondition(true));
        CommandInstance* first = add(*g, "first", 1);
        first->setCheckedExpression(checked.get());
        first->setEnabledExpression(enabled.get());
        tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
        checked->onEval = [&] {
            g->appendItem(command("second"));
            if (release)
                menu = nullptr;
        };
        enabled->onEval = [&] { g->appendItem(command("third")); };
        checked->setValue(true);
        enabled->setValue(false);
        if (release) {
            EXPECT_EQ(checked->messageSignal.getNumConnections(), 1) << "the instance only";
            continue;
        }
        ASSERT_EQ(menu->getMarkMenu()->getNumItems(), 3);
        EXPECT_TRUE(item(*menu, 0)->isChecked());
        EXPECT_EQ(item(*menu, 0)->getState(), tnMarkItem::Disabled);
    }
}

// Shows menus with real mouse input: the host's button is pressed at the
// screen centre, the pointer moves East and rests there until the items show
// and is released, on timers that run inside show's own event loop.
class PopUpMenuShowTest : public PopUpMenuTest {
protected:
    void SetUp() override
    {
        PopUpMenuTest::SetUp();
        m_host.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_host.show();
    }
    CommandInstance* chooseEast(const PopUpMenu& menu)
    {
        QTest::mousePress(&m_host, Qt::LeftButton, {}, local(0));
        for (const int x : {20, 40, 60})
            QTimer::singleShot(x / 2, &m_host, [this, x] { QTest::mouseMove(&m_host, local(x)); });
        QTimer::singleShot(430, &m_host, [this] { QTest::mouseRelease(&m_host, Qt::LeftButton, {}, local(60)); });
        return menu.show(m_center.x(), m_center.y());
    }
    QPoint local(int east) const { return m_host.mapFromGlobal(m_center + QPoint(east, 0)); }

    QWidget m_host;
    const QPoint m_center = QGuiApplication::primaryScreen()->geometry().center();
};

// Whatever the host does to the chosen command item, its command, the group
// or the pop-up menu, before show or while it runs, show returns a command
// that is still alive and still offered, or null.
TEST_F(PopUpMenuShowTest, ReturnsALiveOfferedCommandOrNothing)
{
    // Changes to the test's own references and to the group.
    enum Change { None = 0, Retarget = 1, RemoveItem = 2, AddCommand = 4, DropMenu = 8, DropGroupAndItem = 16 };
    const struct {
        const char* what;
        int change;
        bool whileShown;
        bool returned;
    } rows[] = {
        {"nothing", None, false, true},
        {"item retargeted", Retarget, false, false},
        {"item removed", RemoveItem, true, false},
        {"another command added", AddCommand, true, true},
        {"menu released", DropMenu, true, true},
        {"menu rebuilt, then released", AddCommand | DropMenu, true, true},
        {"menu, group and item released", DropMenu | DropGroupAndItem, true, false},
    };
    for (const auto& row : rows) {
        tn::Reference<CommandGroup> group = PopUpMenuTest::group(Group::Radial);
        tn::Reference<tnUI::CommandItem> item(new tnUI::CommandItem());
        add(*group, "north", 1);
        item->setCommand(command("east"));
        item->setLabel(new tnUI::Label("item label"));
        item->setOrderValue(3);
        group->appendItemSorted(item.get());
        tn::Reference<PopUpMenu> menu(new PopUpMenu(group.get()));
        // Held by the item only.
        CommandInstance* east = item->getCommand();
        bool eastDied = false;
        tnRTB::SignalClient watcher;
        tnRTB::connect(east->destroyedSignal, &watcher, [&eastDied](tnUI::Entity*) { eastDied = true; });
        const auto change = [&, row] {
            if (row.change & Retarget)
                item->setCommand(command("other"));
            if (row.change & RemoveItem)
                group->removeItem(1); // after north
            if (row.change & AddCommand)
                group->appendItemSorted(command("west", 7));
            if (row.change & DropMenu)
                menu = nullptr;
            if (row.change & (RemoveItem | DropGroupAndItem))
                item = nullptr;
            if (row.change & DropGroupAndItem)
                group = nullptr;
        };
        const PopUpMenu* shown = menu.get();
        if (row.whileShown)
            QTimer::singleShot(5, &m_host, change);
        else
            change();
        CommandInstance* chosen = chooseEast(*shown);
        EXPECT_EQ(chosen, row.returned ? east : nullptr) << row.what;
        EXPECT_FALSE(chosen && eastDied) << row.what;
        EXPECT_TRUE(!menu || menu->getMarkMenu()->getNumItems() == group->getNumElements()) << row.what;
    }
}

// Coordinates reach the view as screen pixels: infinite or undefined ones are
// refused.
TEST_F(PopUpMenuTest, NonFinitePointsAreRefused)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    add(*g, "east", 3);
    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
    tn::Reference<PopUpMenu> empty(new PopUpMenu(nullptr));
    for (const auto& [x, y] :
         {std::pair(std::nan(""), 0.0), std::pair(0.0, -std::numeric_limits<double>::infinity())}) {
        EXPECT_THROW(menu->show(x, y), tnUI::ImplError) << x << " " << y;
        EXPECT_THROW(empty->show(tnLinear::Point2(x, y)), tnUI::ImplError) << x << " " << y;
    }
    EXPECT_EQ(QmarkMenuView::findView(), nullptr);
}

} // namespace
