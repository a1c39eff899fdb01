// Compiled command groups: the documented trees (embedding, empty sub-groups,
// separators), deep and wide ones, the snapshot and the references it holds,
// the node operations' refusals and the level-1 listing. Random trees are
// compiled against a reference model by the group fuzzer.

#include "application/AppTestSupport.h"

#include <tnUI/menus/CompiledCommandGroup.h>

#include <sstream>

namespace {

using namespace tnUI;
using tnString::CString;

// An element of no kind: neither group, command nor separator.
class Inert : public Element {
public:
    bool getEnabled() const override { return true; }
};

// A command group from a notation: a word is an item of that name, "-" a
// separator, "?" an element of no kind, "[" ... "]" a sub-group laid out as a
// list and "<" ... ">" an embedded one.
tn::Reference<CommandGroup> build(const std::string& text)
{
    const tn::Reference<CommandGroup> root(new CommandGroup);
    std::vector<Group*> open{root.get()};
    std::istringstream in(text);
    for (std::string token; in >> token;) {
        if (token == "]" || token == ">") {
            open.pop_back();
            continue;
        }
        tn::Reference<Element> e;
        if (token == "[" || token == "<") {
            auto* sub = new CommandGroup;
            sub->setLayoutPreference(token == "<" ? Group::EmbeddedInParent : Group::List);
            e = sub;
        } else if (token == "-") {
            e = new Separator;
        } else if (token == "?") {
            e = new Inert;
        } else {
            e = new Item;
            e->setName(CString(token.c_str()));
        }
        open.back()->appendItem(e);
        if (token == "[" || token == "<")
            open.push_back(static_cast<Group*>(e.get()));
    }
    return root;
}

// The compiled tree in the same notation, its groups as "[" ... "]".
std::string shape(const CompiledCommandGroup& g)
{
    std::string text;
    for (int i = 0; i < g.getNumItems(); ++i) {
        const CompiledCommandNode* node = g.getItem(i);
        text += i ? " " : "";
        if (const auto* sub = dynamic_cast<const CompiledCommandGroup*>(node))
            text += "[ " + shape(*sub) + " ]";
        else
            text += node->isSeparator() ? "-" : node->getElement()->nameAsChar();
    }
    return text;
}

std::string repeated(int n, const std::string& each)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += each;
    return text;
}

class CompiledCommandGroupTest : public tnUITest::EntityTest {};

TEST_F(CompiledCommandGroupTest, FlattensDropsAndTidies)
{
    // Deep: embedded groups opening with a separator, all merged into the
    // root; list groups nested, kept. Wide: runs of separators.
    std::string deepEmbedded, deepEmbeddedResult, wide, wideResult;
    for (int i = 0; i < 300; ++i) {
        deepEmbedded += " < - - e" + std::to_string(i);
        deepEmbeddedResult += (i ? " - e" : "e") + std::to_string(i);
    }
    deepEmbedded += repeated(300, " > -");
    for (int i = 0; i < 10000; ++i) {
        wide += " - - [ ] w" + std::to_string(i);
        wideResult += (i ? " - w" : "w") + std::to_string(i);
    }
    const struct {
        std::string source, compiled;
    } cases[] = {
        {"- A - - [ ] B -", "A - B"},
        {"A < C D > B", "A C D B"},
        {"A - < - C > B", "A - C B"},
        {"A [ C - D ] B", "A [ C - D ] B"},
        {"A [ - - ] B", "A B"},
        {"", ""},
        {"A - [ - ] - B", "A - B"}, // the empty group goes before its neighbours are tidied
        {"A < < < C > - > - > B", "A C - B"},
        {"< A - > < - B >", "A - B"},
        {"- [ - < - A - > - B - ] -", "[ A - B ]"},
        {"< [ - ] < > >", ""},
        {"? A ? - ?", "A"},
        {deepEmbedded, deepEmbeddedResult},
        {repeated(200, "[ - ") + "x" + repeated(200, " - ]"), repeated(200, "[ ") + "x" + repeated(200, " ]")},
        {wide, wideResult},
    };
    for (const auto& c : cases) {
        const tn::Reference<CommandGroup> menu = build(c.source);
        const tn::Reference<CompiledCommandGroup> compiled = compileCommandGroup(menu);
        EXPECT_EQ(shape(*compiled), c.compiled) << c.source.substr(0, 80);
        EXPECT_EQ(compiled->getElement(), menu.get());
    }

    // The root itself is never embedded.
    const tn::Reference<CommandGroup> root = build("- A");
    root->setLayoutPreference(Group::EmbeddedInParent);
    EXPECT_EQ(shape(*compileCommandGroup(root)), "A");
    EXPECT_THROW(compileCommandGroup(nullptr), NullError);
}

TEST_F(CompiledCommandGroupTest, SnapshotHoldingLiveElements)
{
    const tn::Reference<CommandGroup> menu = build("A [ B ] C");
    auto* sub = static_cast<Group*>(menu->getElement(1));
    const tn::Reference<Element> a = menu->getElement(0);
    const int held = a->getRefCount();
    tn::Reference<CompiledCommandGroup> compiled = compileCommandGroup(menu);
    EXPECT_EQ(a->getRefCount(), held + 1);
    EXPECT_EQ(compiled->getItem(0)->getElement(), a.get());
    EXPECT_TRUE(compiled->getItem(1)->isGroup());
    EXPECT_EQ(compiled->getItem(1)->getElement(), sub);

    // Later edits change nothing in the tree; compiling again shows them.
    menu->removeItem(0);
    sub->appendItem(tn::Reference<Separator>(new Separator));
    sub->appendItem(tn::Reference<Item>(new Item));
    sub->setLayoutPreference(Group::EmbeddedInParent);
    EXPECT_EQ(shape(*compiled), "A [ B ] C");
    EXPECT_EQ(a->getRefCount(), held);
    EXPECT_EQ(shape(*compileCommandGroup(menu)), "B - <unnamed> C");

    // The tree alone keeps a sub-group and its elements alive.
    const tn::Reference<CompiledCommandGroup> old = compiled;
    compiled = nullptr;
    menu->removeItem(0);
    EXPECT_EQ(old->getItem(1)->getElement(), sub);
    EXPECT_STREQ(static_cast<const CompiledCommandGroup*>(old->getItem(1))->getItem(0)->getElement()->nameAsChar(),
                 "B");
}

TEST_F(CompiledCommandGroupTest, NodeOperationsAndRefusals)
{
    const tn::Reference<CommandGroup> menu = build("A [ B C ] D");
    const tn::Reference<CompiledCommandGroup> g = compileCommandGroup(menu);
    EXPECT_THROW(CompiledCommandNode{nullptr}, NullError);
    EXPECT_THROW(CompiledCommandGroup{nullptr}, NullError);
    for (int bad : {-1, 3}) {
        EXPECT_THROW(g->getItem(bad), IndexError);
        EXPECT_THROW(g->eraseItem(bad), IndexError);
        EXPECT_THROW(g->embedGroup(bad), IndexError);
    }
    EXPECT_THROW(g->embedGroup(0), ImplError); // not a group
    EXPECT_THROW(g->addItem(nullptr), NullError);
    EXPECT_THROW(g->addItem(g), CycleError);
    const tn::Reference<CompiledCommandGroup> inner(static_cast<CompiledCommandGroup*>(g->getItem(1)));
    EXPECT_THROW(inner->addItem(g), CycleError);
    EXPECT_EQ(shape(*g), "A [ B C ] D"); // nothing changed

    g->embedGroup(1);
    EXPECT_EQ(shape(*g), "A B C D");
    EXPECT_EQ(shape(*inner), "B C"); // still whole
    g->addItem(inner);
    g->eraseItem(0);
    EXPECT_EQ(shape(*g), "B C D [ B C ]");
}

TEST_F(CompiledCommandGroupTest, LevelOneListing)
{
    const tn::Reference<CommandGroup> menu = build("Open - [ recent ] quit");
    menu->setLabel(tn::Reference<Label>(new Label("File")));
    menu->getElement(0)->setLabel(tn::Reference<Label>(new Label("Open\xe2\x80\xa6")));
    auto* sub = static_cast<Group*>(menu->getElement(2));
    sub->setLabel(tn::Reference<Label>(new Label("Recent")));
    sub->getElement(0)->setLabel(tn::Reference<Label>(new Label("a.txt")));
    const tn::Reference<CompiledCommandGroup> compiled = compileCommandGroup(menu);

    {
        tnUITest::OutputCapture out(1);
        compiled->debugui(1);
        EXPECT_EQ(out.diagnostics, "  Menu implementation with 4 items: File\n"
                                   "    Menu item: Open\xe2\x80\xa6\n"
                                   "    Menu item: ------------\n"
                                   "      Menu implementation with 1 items: Recent\n"
                                   "        Menu item: a.txt\n"
                                   "    Menu item: quit\n"); // no label: the name
        // Items listed at a level above the verbosity leave the group lines.
        out.diagnostics.clear();
        compiled->debugui(2);
        EXPECT_EQ(out.diagnostics, "  Menu implementation with 4 items: File\n"
                                   "      Menu implementation with 1 items: Recent\n");
    }
    EXPECT_EQ(tnOS::AppOutput::getInstance().getIndentLevel(), 0);
}

} // namespace
