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

#include <QFileInfo>
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
    // A command instance of a new momentary command, labelled label, at
    // order value order.
    static CommandInstance* command(const char* label, double order = 50.0)
    {
        auto* c = new CommandInstance(new tnUI::MomentaryCommandDefn());
        c->setLabel(new tnUI::Label(label));
        c->setOrderValue(order);
        return c;
    }
    // A new command sorted into g.
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
    const struct {
        const char* name;
        double position;
    } names[] = {{"North", 1}, {"N", 1}, {"Northeast", 2}, {"NE", 2},  {"SE", 4},   {"Northwest", 8},
                 {"NW", 8},    {"", 0},  {"north", 0},     {"NNE", 0}, {"East ", 0}};
    for (const auto& n : names)
        EXPECT_EQ(PopUpMenu::getCompassPosition(n.name), n.position) << n.name;

    const struct {
        double position;
        const char* name;
    } positions[] = {{5.0, "South"},      {4.5, ""},      {3.0 + eps / 2, "East"}, {3.0 - eps / 2, "East"},
                     {3.0 + 2 * eps, ""}, {1.0, "North"}, {8.0, "Northwest"},      {0.0, ""},
                     {9.0, ""},           {-1.0, ""},     {std::nan(""), ""}};
    for (const auto& p : positions) {
        tnString::IString name("stale");
        PopUpMenu::getCompassPositionName(p.position, name);
        EXPECT_EQ(text(name), p.name) << p.position;
    }

    // Without a group there is no menu to show.
    tn::Reference<InspectedPopUpMenu> menu(new InspectedPopUpMenu(nullptr));
    EXPECT_EQ(menu->getMarkMenu(), nullptr);
    EXPECT_EQ(menu->getSize(), tnLinear::Tuple2(0, 0));
    EXPECT_EQ(menu->show(100, 100), nullptr);
    const int marks[] = {18, 4, 2, 0, 14, 12, 10, 8, 6, 18};
    for (int position = 0; position <= 9; ++position)
        EXPECT_EQ(menu->getMarkPosition(position + eps / 2), marks[position]) << position;
    EXPECT_EQ(menu->getMarkPosition(2.5), 18);
}

TEST_F(PopUpMenuTest, RadialGroupPlacesCommandsAtTheirCompassPositions)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    CommandInstance* c[6];
    const double orders[] = {0, 1, 3, 5, 7, 9};
    for (int i = 0; i < 6; ++i)
        c[i] = add(*g, ("c" + std::to_string(i)).c_str(), orders[i]);
    c[3]->setToolTip(new tnUI::Label("the south"));
    add(*g, "second", 1);

    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
    tnMarkMenu* m = menu->getMarkMenu();
    EXPECT_EQ(m->getRadius(), 35.0f);
    ASSERT_EQ(m->getNumItems(), 4);
    // Label, index in the group and tooltip of North, East, South, West.
    std::vector<std::string> rows;
    const int marks[] = {tnMarkPosition::North, tnMarkPosition::East, tnMarkPosition::South, tnMarkPosition::West};
    for (int i = 0; i < 4; ++i) {
        tnMarkMenuItem* it = itemAt(*menu, marks[i]);
        ASSERT_NE(it, nullptr) << marks[i];
        ASSERT_NE(it->getToolTip(), nullptr);
        EXPECT_EQ(it->getData(), c[i + 1]);
        rows.push_back(text(it->getLabel()) + " " + std::to_string(it->getId()) + " " +
                       text(it->getToolTip()->getText()));
    }
    EXPECT_THAT(rows, ElementsAre("c1 1 c1", "c2 3 c2", "c3 4 the south", "c4 5 c4"));

    float right, bottom, left, top;
    m->getExtents(right, bottom, left, top);
    EXPECT_EQ(menu->getSize(), tnLinear::Tuple2(right - left, top - bottom));
}

TEST_F(PopUpMenuTest, SubgroupEndsARadialMenuAndBecomesASubmenuOfAList)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    add(*g, "north", 1);
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
    // A command item stands for its command; one without a command is left out.
    CommandInstance* target = command("target");
    auto* commandItem = new tnUI::CommandItem();
    commandItem->setCommand(target);
    commandItem->setLabel(new tnUI::Label("item label"));
    g->appendItem(commandItem);
    g->appendItem(new tnUI::CommandItem());

    tn::Reference<PopUpMenu> radial(new PopUpMenu(g.get()));
    EXPECT_EQ(radial->getMarkMenu()->getNumItems(), 2);
    EXPECT_EQ(itemAt(*radial, tnMarkPosition::South), nullptr);

    g->setLayoutPreference(Group::List);
    tn::Reference<PopUpMenu> list(new PopUpMenu(g.get()));
    EXPECT_TRUE(list->getMarkMenu()->isLinear());
    // Label, id, a separator after ("|"); list items carry no tooltip text.
    std::vector<std::string> rows;
    for (int i = 0; i < list->getMarkMenu()->getNumItems(); ++i) {
        tnMarkMenuItem* it = item(*list, i);
        ASSERT_NE(it->getToolTip(), nullptr);
        EXPECT_TRUE(it->getToolTip()->getText().isEmpty());
        rows.push_back(text(it->getLabel()) + " " + std::to_string(it->getId()) +
                       (it->hasSeparatorAfter() ? " |" : ""));
    }
    EXPECT_THAT(rows, ElementsAre("north 0", "east 1 |", "more 0", "south 4", "item label 5"));
    EXPECT_EQ(item(*list, 4)->getData(), target);
    tnMarkMenu* submenu = item(*list, 2)->getSubmenu();
    ASSERT_NE(submenu, nullptr);
    EXPECT_TRUE(submenu->isLinear());
    ASSERT_EQ(submenu->getNumItems(), 1);
    EXPECT_EQ(submenu->itemAt(0)->getData(), inner);
    EXPECT_EQ(item(*list, 2)->getData(), nullptr);
}

// Icons whose pictures are written, at chosen sizes, into a temporary folder.
class PopUpMenuIconTest : public PopUpMenuTest {
protected:
    static constexpr const char* loadError = "Error loading image for Marking Menu item";
    static constexpr const char* sizeError =
        "Error - marking menu image items should have the same dimensions for all its images";

    void SetUp() override
    {
        PopUpMenuTest::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        // "missing.png" is never written.
        const std::pair<const char*, QSize> pictures[] = {{"n.png", {16, 16}},      {"n2.png", {16, 16}},
                                                          {"active.png", {16, 16}}, {"highlight.png", {16, 16}},
                                                          {"wide.png", {17, 16}},   {"tall.png", {16, 17}}};
        for (const auto& [name, size] : pictures) {
            QImage image(size, QImage::Format_ARGB32);
            image.fill(Qt::red);
            ASSERT_TRUE(image.save(m_dir.filePath(name))) << name;
        }
    }

    tnUI::ImageFile* icon(const char* name) const
    {
        return new tnUI::ImageFile(new tnUI::Filename(tnString::IString(m_dir.filePath(name).toStdWString())));
    }
    // Gives c the icon files named for those states; null leaves one out.
    void setIcons(CommandInstance& c, const char* normal, const char* active = nullptr,
                  const char* highlight = nullptr) const
    {
        using tnUI::IconState;
        const std::pair<const char*, IconState::EState> icons[] = {
            {normal, IconState::Normal}, {active, IconState::Active}, {highlight, IconState::Highlight}};
        for (const auto& [name, state] : icons) {
            if (name)
                c.setIcon(icon(name), state, tnUI::IconMode::Default);
        }
    }
    // The message of the tnMarkBadImageException that f raises; "none" when
    // it raises nothing.
    template <class F>
    static std::string badImage(F&& f)
    {
        try {
            f();
        } catch (const tnMarkBadImageException& e) {
            return text(e.getMessage());
        }
        return "none";
    }

    QTemporaryDir m_dir;
};

TEST_F(PopUpMenuIconTest, IconsFallBackOnTheNormalPicture)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    setIcons(*add(*g, "normal only", 1), "n.png");
    setIcons(*add(*g, "all", 3), "n2.png", "active.png", "highlight.png");
    add(*g, "disabled only", 5)->setIcon(icon("n.png"), tnUI::IconState::Disabled, tnUI::IconMode::Default);

    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
    auto files = [&](int mark) {
        std::vector<std::string> names;
        if (auto* image = dynamic_cast<tnMarkImageItem*>(itemAt(*menu, mark))) {
            for (const tnString::IString* f :
                 {&image->getNormalImageFile(), &image->getHighlightedImageFile(), &image->getDisabledImageFile()})
                names.push_back(QFileInfo(QString::fromStdWString(f->str())).fileName().toStdString());
        }
        return names;
    };
    EXPECT_THAT(files(tnMarkPosition::North), ElementsAre("n.png", "n.png", "n.png"));
    EXPECT_THAT(files(tnMarkPosition::East), ElementsAre("n2.png", "active.png", "highlight.png"));
    // Without a Normal icon the command shows as text.
    ASSERT_NE(itemAt(*menu, tnMarkPosition::South), nullptr);
    EXPECT_EQ(dynamic_cast<tnMarkImageItem*>(itemAt(*menu, tnMarkPosition::South)), nullptr);
    EXPECT_EQ(text(itemAt(*menu, tnMarkPosition::South)->getLabel()), "disabled only");
}

TEST_F(PopUpMenuIconTest, PicturesThatCannotBeUsedFailTheConstruction)
{
    const struct {
        const char* normal;
        const char* active;
        const char* highlight;
        const char* message;
    } rows[] = {{"n.png", nullptr, "tall.png", sizeError}, {"n.png", "n2.png", "missing.png", loadError}};
    for (const auto& row : rows) {
        tn::Reference<CommandGroup> g = group(Group::Radial);
        tn::Reference<tnUI::BoolValue> checked(new tnUI::BoolValue(true));
        add(*g, "north", 1)->setCheckedExpression(checked.get());
        setIcons(*add(*g, "bad", 5), row.normal, row.active, row.highlight);
        const int listeners[] = {g->messageSignal.getNumConnections(), checked->messageSignal.getNumConnections()};

        EXPECT_EQ(badImage([&] { tn::Reference<PopUpMenu>(new PopUpMenu(g.get())); }), row.message) << row.normal;
        EXPECT_THAT(listeners,
                    ElementsAre(g->messageSignal.getNumConnections(), checked->messageSignal.getNumConnections()));
    }
}

TEST_F(PopUpMenuIconTest, AFailedRebuildLeavesTheMenuAsItWas)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    CommandInstance* north = add(*g, "north", 1);
    tn::Reference<tnUI::BoolValue> checked(new tnUI::BoolValue(false));
    tn::Reference<tnUI::BoolValue> enabled(new tnUI::BoolValue(true));
    tn::Reference<tnUI::BoolValue> fresh(new tnUI::BoolValue(true));
    north->setCheckedExpression(checked.get());
    north->setEnabledExpression(enabled.get());
    CommandInstance* south = add(*g, "south", 5);
    setIcons(*south, "n.png");
    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
    // The title marks this build: a rebuild makes a menu with the default one.
    menu->getMarkMenu()->setTitle("this build");

    // Everything a rebuild replaces: the menu, its items, the size and the
    // listeners of the group and of the conditions.
    const auto state = [&] {
        tnMarkMenu* m = menu->getMarkMenu();
        std::vector<tnMarkItem*> items;
        items.reserve(m->getNumItems());
        for (int i = 0; i < m->getNumItems(); ++i)
            items.push_back(m->itemAt(i));
        return std::tuple(m, text(m->getTitle()), items, menu->getSize().x, menu->getSize().y,
                          std::vector{g->messageSignal.getNumConnections(), checked->messageSignal.getNumConnections(),
                                      enabled->messageSignal.getNumConnections(),
                                      fresh->messageSignal.getNumConnections()});
    };
    const auto before = state();
    EXPECT_THAT(std::get<5>(before), ElementsAre(1, 2, 2, 0));

    // A command whose pictures differ in size fails the group's change.
    CommandInstance* bad = command("bad", 3);
    setIcons(*bad, "n.png", "wide.png");
    EXPECT_EQ(badImage([&] { g->appendItemSorted(bad); }), sizeError);
    EXPECT_EQ(state(), before);
    // The conditions still drive the items of the kept menu.
    checked->setValue(true);
    enabled->setValue(false);
    EXPECT_TRUE(item(*menu, 0)->isChecked());
    EXPECT_EQ(item(*menu, 0)->getState(), tnMarkItem::Disabled);

    // Without it the menu builds again.
    g->removeItem(1);
    EXPECT_EQ(text(menu->getMarkMenu()->getTitle()), "untitled");
    EXPECT_EQ(menu->getMarkMenu()->getNumItems(), 2);
    menu->getMarkMenu()->setTitle("this build");
    CommandInstance* east = command("east", 3);
    east->setCheckedExpression(fresh.get());
    const auto rebuilt = state();

    // An icon that no longer loads fails the next rebuild, which leaves no
    // listener on the condition of the command it was adding.
    setIcons(*south, "n.png", "missing.png");
    EXPECT_EQ(state(), rebuilt);
    EXPECT_EQ(badImage([&] { g->appendItemSorted(east); }), loadError);
    EXPECT_EQ(state(), rebuilt);
    setIcons(*south, "n.png", "n2.png");
    g->appendItemSorted(command("west", 7));
    EXPECT_EQ(menu->getMarkMenu()->getNumItems(), 4);
    EXPECT_EQ(fresh->messageSignal.getNumConnections(), 2);
}

TEST_F(PopUpMenuTest, ContentChangesRebuildConditionChangesUpdateInPlace)
{
    tn::Reference<CommandGroup> g = group(Group::List);
    CommandInstance* first = command("first");
    tn::Reference<tnUI::BoolValue> checked(new tnUI::BoolValue(true));
    tn::Reference<tnUI::BoolValue> enabled(new tnUI::BoolValue(true));
    first->setCheckedExpression(checked.get());
    first->getCommand()->setEnabledExpression(enabled.get()); // the definition's, as the instance has none
    g->appendItem(first);

    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
    const tnLinear::Tuple2 oneItem = menu->getSize();
    EXPECT_GT(oneItem.y, 0.0);
    // Whether the first item is checked, and its state.
    const auto look = [&menu] { return std::pair(item(*menu, 0)->isChecked(), item(*menu, 0)->getState()); };
    EXPECT_EQ(look(), std::pair(true, int(tnMarkItem::Normal)));

    // The title marks this build: a rebuild makes a menu with the default one.
    menu->getMarkMenu()->setTitle("this build");
    checked->setValue(false);
    enabled->setValue(false);
    EXPECT_EQ(text(menu->getMarkMenu()->getTitle()), "this build");
    EXPECT_EQ(look(), std::pair(false, int(tnMarkItem::Disabled)));
    enabled->setValue(true);
    EXPECT_EQ(look(), std::pair(false, int(tnMarkItem::Normal)));

    g->appendItem(command("second"));
    EXPECT_EQ(text(menu->getMarkMenu()->getTitle()), "untitled");
    ASSERT_EQ(menu->getMarkMenu()->getNumItems(), 2);
    EXPECT_GT(menu->getSize().y, oneItem.y);
    EXPECT_FALSE(item(*menu, 0)->isChecked());

    // After the rebuild the conditions drive the new items, once each.
    checked->setValue(true);
    EXPECT_TRUE(item(*menu, 0)->isChecked());
    EXPECT_EQ(checked->messageSignal.getNumConnections(), 2); // the instance and this menu

    g->removeItem(0);
    EXPECT_EQ(menu->getMarkMenu()->getNumItems(), 1);
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
// screen centre, the pointer then moves and is released on timers that run
// inside show's own event loop.
class PopUpMenuShowTest : public PopUpMenuTest {
protected:
    void SetUp() override
    {
        PopUpMenuTest::SetUp();
        m_host.setGeometry(QGuiApplication::primaryScreen()->geometry());
        m_host.show();
        m_center = QGuiApplication::primaryScreen()->geometry().center();
    }

    // Presses at the centre, moves along steps (offsets from the centre, y
    // down) one every 10 ms, releases at the last one after releaseAfter ms,
    // and shows menu at the centre.
    CommandInstance* choose(const PopUpMenu& menu, std::vector<QPoint> steps, int releaseAfter)
    {
        QTest::mousePress(&m_host, Qt::LeftButton, {}, local(QPoint()));
        int at = 0;
        for (const QPoint& step : steps)
            QTimer::singleShot(at += 10, &m_host, [this, step] { QTest::mouseMove(&m_host, local(step)); });
        const QPoint last = steps.back();
        QTimer::singleShot(at + releaseAfter, &m_host,
                           [this, last] { QTest::mouseRelease(&m_host, Qt::LeftButton, {}, local(last)); });
        return menu.show(m_center.x(), m_center.y());
    }

    QPoint local(QPoint offset) const { return m_host.mapFromGlobal(m_center + offset); }

    QWidget m_host;
    QPoint m_center;
    const std::vector<QPoint> m_toEast = {{20, 0}, {40, 0}, {60, 0}};
    const std::vector<QPoint> m_toNorth = {{0, -20}, {0, -40}, {0, -60}};
};

TEST_F(PopUpMenuShowTest, ReturnsTheChosenCommandUnlessItIsDisabled)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    CommandInstance* north = add(*g, "north", 1);
    CommandInstance* east = add(*g, "east", 3);
    tn::Reference<tnUI::BoolValue> enabled(new tnUI::BoolValue(true));
    east->setEnabledExpression(enabled.get());
    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));

    // Resting displays the items and the release chooses the highlighted
    // one; a quick release lets the stroke decide.
    EXPECT_EQ(choose(*menu, m_toEast, 400), east);
    EXPECT_EQ(choose(*menu, m_toNorth, 20), north);
    EXPECT_EQ(choose(*menu, m_toEast, 20), east);

    enabled->setValue(false);
    EXPECT_EQ(choose(*menu, m_toEast, 400), nullptr);
    EXPECT_EQ(choose(*menu, m_toEast, 20), nullptr);
    EXPECT_EQ(choose(*menu, m_toNorth, 400), north);
}

TEST_F(PopUpMenuShowTest, RebuildWhileShownKeepsTheShownMenu)
{
    tn::Reference<CommandGroup> g = group(Group::Radial);
    CommandInstance* east = add(*g, "east", 3);
    tn::Reference<PopUpMenu> menu(new PopUpMenu(g.get()));
    QTimer::singleShot(5, &m_host, [&] { g->appendItemSorted(command("west", 7)); });
    EXPECT_EQ(choose(*menu, m_toEast, 400), east);
    EXPECT_EQ(menu->getMarkMenu()->getNumItems(), 2);
}

// Whatever the host does to the chosen command item, its command, the group
// or the pop-up menu, before show or while it runs, show returns a command
// that is still alive and still offered, or null.
TEST_F(PopUpMenuShowTest, ReturnsALiveOfferedCommandOrNothing)
{
    // The test's own references, each of which a change may drop.
    struct Held {
        tn::Reference<CommandGroup> group;
        tn::Reference<PopUpMenu> menu;
        tn::Reference<tnUI::CommandItem> item;
    };
    const struct {
        const char* what;
        std::function<void(Held&)> change;
        bool whileShown;
        bool returned;
    } rows[] = {
        {"nothing", [](Held&) {}, false, true},
        {"item retargeted", [](Held& h) { h.item->setCommand(command("other")); }, false, false},
        {"item removed",
         [](Held& h) {
             h.group->removeItem(1); // after north
             h.item = nullptr;
         },
         true, false},
        {"another command added", [](Held& h) { h.group->appendItemSorted(command("west", 7)); }, true, true},
        {"menu released", [](Held& h) { h.menu = nullptr; }, true, true},
        {"menu rebuilt, then released",
         [](Held& h) {
             h.group->appendItemSorted(command("west", 7));
             h.menu = nullptr;
         },
         true, true},
        {"menu, group and item released",
         [](Held& h) {
             h.menu = nullptr;
             h.item = nullptr;
             h.group = nullptr;
         },
         true, false},
    };
    for (const auto& row : rows) {
        Held h;
        h.group = group(Group::Radial);
        h.item = new tnUI::CommandItem();
        add(*h.group, "north", 1);
        h.item->setCommand(command("east"));
        h.item->setLabel(new tnUI::Label("item label"));
        h.item->setOrderValue(3);
        h.group->appendItemSorted(h.item.get());
        h.menu = new PopUpMenu(h.group.get());
        // Held by the item only.
        CommandInstance* east = h.item->getCommand();
        bool eastDied = false;
        tnRTB::SignalClient watcher;
        tnRTB::connect(east->destroyedSignal, &watcher, [&eastDied](tnUI::Entity*) { eastDied = true; });
        const PopUpMenu* shown = h.menu.get();
        if (row.whileShown)
            QTimer::singleShot(5, &m_host, [&] { row.change(h); });
        else
            row.change(h);
        CommandInstance* chosen = choose(*shown, m_toEast, 400);
        EXPECT_EQ(chosen, row.returned ? east : nullptr) << row.what;
        EXPECT_FALSE(chosen && eastDied) << row.what;
    }
}

// Coordinates reach the view as screen pixels: infinite or undefined ones are
// refused, others are kept to the screens (the rule itself is the geometry's).
TEST_F(PopUpMenuShowTest, PointsAreKeptToTheScreens)
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

    // Far off the desktop: the menu's centre is at its corner.
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop |= screen->geometry();
    QPoint centre;
    QTimer::singleShot(50, &m_host, [&centre] {
        if (QmarkMenuView* view = QmarkMenuView::findView()) {
            centre = view->getCenter() + view->geometry().topLeft();
            view->cancel();
        }
    });
    EXPECT_EQ(menu->show(1e300, -1e300), nullptr);
    EXPECT_EQ(centre, QPoint(desktop.right(), desktop.top()));
}

} // namespace
