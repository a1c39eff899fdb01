#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/menus/Element.h>
#include <tnUI/menus/Group.h>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace {

using tnString::CString;
using tnUI::CycleError;
using tnUI::Element;
using tnUI::Group;
using tnUI::Message;
using tnUITest::Chain;

using Path = tn::vector<Element*>;

// A group whose protected members the tests can reach.
class OpenGroup : public Group {
public:
    using Group::contains;
    using Group::findItem;
    using Group::insertItem;
};

tn::Reference<tnUI::Item> item(const char* name, double order = 50.0)
{
    tn::Reference<tnUI::Item> i(new tnUI::Item);
    if (name)
        i->setName(CString(name));
    i->setOrderValue(order);
    return i;
}

tn::Reference<OpenGroup> group(const char* name = nullptr)
{
    tn::Reference<OpenGroup> g(new OpenGroup);
    if (name)
        g->setName(CString(name));
    return g;
}

// "name:order" of each element.
std::string contents(const Group& g)
{
    std::string text;
    for (int i = 0; i < g.getNumElements(); ++i)
        text += std::string(i ? " " : "") + g.getElement(i)->nameAsChar() + ":" +
                std::to_string(static_cast<int>(g.getElement(i)->getOrderValue()));
    return text;
}

class GroupTest : public tnUITest::EntityTest {};

TEST_F(GroupTest, InsertionBoundsTheOrderByTheNeighbour)
{
    const auto g = group();
    g->appendItem(item("a", 50));
    g->appendItem(item("b", 40)); // raised to the last one's order
    g->appendItem(item("c", 70));
    g->insertItem(CString("c"), item("d", 90)); // lowered to the next one's
    g->appendItem(CString("a"), item("e", 10)); // kept: smaller than the next one
    g->insertItem(0, item("f", 20));
    EXPECT_EQ(contents(*g), "f:20 a:50 e:10 b:50 d:70 c:70");

    // Sorted insertion goes before elements of equal order, or after them.
    const auto sorted = group();
    for (const char* name : {"10", "20", "30"})
        sorted->appendItem(item(name, std::stod(name)));
    sorted->insertItemSorted(item("before", 20));
    sorted->appendItemSorted(item("after", 20));
    sorted->insertItemSorted(item("first", 5));
    sorted->appendItemSorted(item("last", 35));
    EXPECT_EQ(contents(*sorted), "first:5 10:10 before:20 20:20 after:20 30:30 last:35");

    // NaN compares false both ways: it is neither raised nor lowered, and
    // an element after it keeps its own order.
    const auto n = group();
    n->appendItem(item("x", 30));
    n->appendItem(item("nan", std::numeric_limits<double>::quiet_NaN()));
    n->appendItem(item("y", 20));
    n->insertItemSorted(item("nan2", std::numeric_limits<double>::quiet_NaN())); // no sorted place: last
    EXPECT_TRUE(std::isnan(n->getElement(1)->getOrderValue()) && std::isnan(n->getElement(3)->getOrderValue()));
    EXPECT_EQ(n->getElement(2)->getOrderValue(), 20);
}

TEST_F(GroupTest, ElementAlreadyInTheTreeIsACycle)
{
    const auto root = group(), sub = group(), subsub = group(), unrelated = group();
    const auto leaf = item("leaf"), other = item("other");
    root->appendItem(sub);
    sub->appendItem(subsub);
    subsub->appendItem(leaf);
    root->appendItem(other);
    unrelated->appendItem(leaf); // several groups may hold an element
    EXPECT_EQ(leaf->getParent(), unrelated.get());

    tnUITest::MessageRecorder recorder(root);
    for (Element* e : std::initializer_list<Element*>{leaf, other, subsub})
        EXPECT_THROW(root->appendItem(e), CycleError);
    EXPECT_THROW(sub->insertItemSorted(leaf), CycleError);
    EXPECT_THROW(unrelated->appendItem(leaf), CycleError);
    const auto extra = item("extra", 10);
    for (const char* name : {"nosuch", "", "Other"}) // names compare exactly; sub-groups are unnamed
        EXPECT_THROW(root->insertItem(CString(name), extra), tnUI::IndexError);
    EXPECT_THROW(root->appendItem(CString("nosuch"), nullptr), tnUI::NullError);
    EXPECT_THROW(root->insertItem(3, extra), tnUI::IndexError);
    EXPECT_THROW(root->removeItem(2), tnUI::IndexError);
    EXPECT_TRUE(recorder.chains.empty());
    EXPECT_EQ(contents(*root), "<unnamed>:50 other:50");
    EXPECT_EQ(std::tuple(extra->getRefCount(), extra->getOrderValue()), std::tuple(1, 10.0));

    // Taking the sub-group out frees its elements for the root.
    root->removeItem(0);
    root->appendItem(leaf);
    root->appendItem(subsub);
    EXPECT_THROW(root->appendItem(leaf), CycleError);
    EXPECT_FALSE(root->contains(sub));

    // A holder that dies no longer counts.
    auto holder = group();
    holder->appendItem(sub);
    unrelated->appendItem(holder);
    EXPECT_THROW(unrelated->appendItem(sub), CycleError);
    unrelated->removeItem(1);
    holder.reset();
    unrelated->appendItem(sub);
    EXPECT_THROW(unrelated->appendItem(subsub), CycleError);
}

TEST_F(GroupTest, AGroupIntoItselfOrBelowItselfIsRefusedBeforeAnythingChanges)
{
    // outer > inner > innermost > leaf, and a "mark" item in each group for
    // the insertions by name.
    const auto outer = group("outer"), inner = group("inner"), innermost = group("innermost");
    outer->appendItem(inner);
    inner->appendItem(innermost);
    innermost->appendItem(item("leaf"));
    for (OpenGroup* g : {outer.get(), inner.get(), innermost.get()})
        g->appendItem(item("mark", 60));
    const auto snapshot = [&] {
        return contents(*outer) + " / " + contents(*inner) + " / " + contents(*innermost) + " refs " +
               std::to_string(outer->getRefCount()) + std::to_string(inner->getRefCount()) +
               std::to_string(innermost->getRefCount());
    };
    const std::string before = snapshot();
    tnUITest::MessageRecorder recorder(outer);

    using Insert = void (*)(OpenGroup&, Element*);
    const std::initializer_list<std::pair<const char*, Insert>> paths = {
        {"append", [](OpenGroup& g, Element* e) { g.appendItem(e); }},
        {"insert at", [](OpenGroup& g, Element* e) { g.insertItem(0, e); }},
        {"insert before", [](OpenGroup& g, Element* e) { g.insertItem(CString("mark"), e); }},
        {"append after", [](OpenGroup& g, Element* e) { g.appendItem(CString("mark"), e); }},
        {"insert sorted", [](OpenGroup& g, Element* e) { g.insertItemSorted(e); }},
        {"append sorted", [](OpenGroup& g, Element* e) { g.appendItemSorted(e); }},
    };
    const std::initializer_list<std::pair<OpenGroup*, OpenGroup*>> intoItsOwnTree = {
        {outer, outer}, {inner, inner}, {inner, outer}, {innermost, innermost}, {innermost, inner}, {innermost, outer},
    };
    for (const auto& [path, insert] : paths) {
        for (const auto& [target, e] : intoItsOwnTree) {
            SCOPED_TRACE(std::string(path) + " " + e->nameAsChar() + " into " + target->nameAsChar());
            EXPECT_THROW(insert(*target, e), CycleError);
            EXPECT_EQ(snapshot(), before);
        }
    }
    EXPECT_TRUE(recorder.chains.empty());
    EXPECT_EQ(inner->getParent(), outer.get());
}

TEST_F(GroupTest, AnElementDyingAsItLeavesSeesTheGroupWithoutIt)
{
    // What the dying element's destruction listener sees of the group: its
    // count, and whether every slot is filled.
    struct Case {
        const char* what;
        int index; // -1: the group itself dies
        int countSeen;
    };
    for (const Case& c : {Case{"first removed", 0, 2}, Case{"last removed", 2, 2}, Case{"group dies", -1, 0}}) {
        SCOPED_TRACE(c.what);
        auto g = group();
        tn::Reference<tnUI::Item> dying = item("dying");
        g->appendItem(item("a"));
        g->appendItem(item("b"));
        g->insertItem(c.index == -1 ? 1 : c.index, dying);
        int countSeen = -1;
        bool slotsFilled = false;
        tnRTB::SignalClient client;
        const Group* watched = g.get();
        tnRTB::connect(dying->destroyedSignal, &client, [&](tnUI::Entity* e) {
            countSeen = watched->getNumElements();
            slotsFilled = true;
            for (int i = 0; i < countSeen; ++i)
                slotsFilled = slotsFilled && watched->getElement(i) && watched->getElement(i) != e;
        });
        dying.reset();
        if (c.index >= 0)
            g->removeItem(c.index);
        else
            g.reset();
        EXPECT_EQ(countSeen, c.countSeen);
        EXPECT_TRUE(slotsFilled);
    }
}

TEST_F(GroupTest, ChangesBelowReachTheRootAsForwardChains)
{
    const auto root = group(), sub = group();
    const auto leaf = item("leaf");
    const tn::Reference<tnUI::MutableLabel> label(new tnUI::MutableLabel(CString("Leaf")));
    leaf->setLabel(label);
    root->appendItem(sub);
    sub->appendItem(leaf);

    tnUITest::MessageRecorder recorder(root);
    label->set(CString("Renamed"));
    sub->removeItem(0);
    label->set(CString("Unheard"));
    root->appendItem(leaf);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{
                                   {{root.get(), Message::Forward},
                                    {sub.get(), Message::Forward},
                                    {leaf.get(), Message::Forward},
                                    {label.get(), Message::Label}},
                                   {{root.get(), Message::Forward}, {sub.get(), Message::Content}},
                                   {{root.get(), Message::Content}},
                               }));
    EXPECT_EQ(leaf->getParent(), root.get());
}

TEST_F(GroupTest, FindGivesThePathDepthFirst)
{
    const auto root = group("root"), sub = group("sub"), subsub = group("subsub");
    const auto deep = item("twin"), stranger = item("stranger");
    root->appendItem(sub);
    root->appendItem(item("twin"));
    sub->appendItem(subsub);
    subsub->appendItem(deep);

    Path path = {stranger.get()};
    EXPECT_TRUE(root->find(CString("twin"), path)); // the deeper twin comes first
    EXPECT_EQ(path, (Path{root.get(), sub.get(), subsub.get(), deep.get()}));
    EXPECT_TRUE(sub->find(subsub, path));
    EXPECT_EQ(path, (Path{sub.get(), subsub.get()}));
    EXPECT_FALSE(root->find(CString("root"), path)); // not its own element
    EXPECT_FALSE(root->find(stranger, path) || !path.empty());

    Path prefix = {stranger.get()};
    EXPECT_FALSE(root->findItem(CString("nobody"), prefix));
    EXPECT_EQ(prefix, (Path{stranger.get()}));
}

TEST_F(GroupTest, EnabledWhenAnyElementIsAndLayoutNames)
{
    struct Switch : tnUI::Item {
        bool getEnabled() const override { return on; }
        bool on = false;
    };
    const auto root = group(), sub = group();
    const tn::Reference<Switch> a(new Switch), b(new Switch);
    const bool emptyEnabled = root->getEnabled();
    root->appendItem(a);
    root->appendItem(sub);
    sub->appendItem(b);
    const bool offEnabled = root->getEnabled();
    b->on = true;
    EXPECT_EQ(std::tuple(emptyEnabled, offEnabled, root->getEnabled()), std::tuple(false, false, true));

    const char* const texts[] = {"NoPreference", "List", "Matrix", "EmbeddedInParent", "Radial"};
    for (int value = 0; value < 5; ++value)
        EXPECT_STREQ(tnUI::enumName(static_cast<Group::ELayoutPreference>(value)), texts[value]);
    EXPECT_THROW(tnUI::enumName(static_cast<Group::ELayoutPreference>(5)), tnUI::ImplError);
}

TEST_F(GroupTest, DumpListsElementsTwoLevelsDeeper)
{
    using tnUITest::dumpLine;
    using tnUITest::entityLine;
    const tn::Reference<Group> root(new Group), sub(new Group);
    root->setLayoutPreference(Group::Radial);
    const auto leaf = item(nullptr, 7);
    root->appendItem(sub);
    sub->appendItem(leaf);

    tnUITest::DumpCapture dump;
    root->dump(dump.file, 0, "menu");
    EXPECT_EQ(dump.lines(), (std::vector<std::string>{
                                dumpLine(1, 0, entityLine("tnUI::Group", "menu", 1, root.get())),
                                dumpLine(2, 1, "name = <null>"),
                                dumpLine(3, 1, "order = 50.000000"),
                                dumpLine(4, 1, "layout = Radial"),
                                dumpLine(5, 1, "group size = 1"),
                                dumpLine(6, 2, entityLine("tnUI::Group", "group element", 2, sub.get())),
                                dumpLine(7, 3, "name = <null>"),
                                dumpLine(8, 3, "order = 50.000000"),
                                dumpLine(9, 3, "group size = 1"),
                                dumpLine(10, 4, entityLine("tnUI::Item", "group element", 2, leaf.get())),
                                dumpLine(11, 5, "name = <null>"),
                                dumpLine(12, 5, "order = 7.000000"),
                                dumpLine(13, 5, "priority = 50.000000"),
                            }));
}

} // namespace
