// Groups: refused insertions (cycles, bad names and indexes) that change
// nothing, and elements dying as they leave. Insertion order, find paths,
// enabled states and forwarded messages are checked against a model by the
// group fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/menus/Element.h>
#include <tnUI/menus/Group.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

namespace {

using tnString::CString;
using tnUI::CycleError;
using tnUI::Element;
using tnUI::Group;

// A group whose protected members the tests can reach.
class OpenGroup : public Group {
public:
    using Group::contains;
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

} // namespace
