// Compiled command groups: the documented trees, deep and wide ones, the node
// operations and the level-1 listing. The group fuzzer compiles random trees
// against a model and checks that they are snapshots holding their elements.

#include "application/AppTestSupport.h"

#include <tnUI/menus/CompiledCommandGroup.h>

#include <sstream>

namespace {

using namespace tnUI;

// A command group from a notation: a word is an item of that name, "-" a
// separator, "[" ... "]" a sub-group laid out as a list and "<" ... ">" an
// embedded one.
tn::Reference<CommandGroup> build(const std::string& text)
{
    tn::Reference<CommandGroup> root(new CommandGroup);
    std::vector<Group*> open{root.get()};
    std::istringstream in(text);
    for (std::string token; in >> token;) {
        if (token == "]" || token == ">") {
            open.pop_back();
            continue;
        }
        auto* sub = token == "[" || token == "<" ? new CommandGroup : nullptr;
        const tn::Reference<Element> e(sub ? sub : token == "-" ? static_cast<Element*>(new Separator) : new Item);
        if (sub)
            sub->setLayoutPreference(token == "<" ? Group::EmbeddedInParent : Group::List);
        else if (token != "-")
            e->setName(token.c_str());
        open.back()->appendItem(e);
        if (sub)
            open.push_back(sub);
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

class CompiledCommandGroupTest : public tnUITest::EntityTest {};

TEST_F(CompiledCommandGroupTest, FlattensDropsAndTidies)
{
    // Deep: embedded groups opening with separators, all merged into the
    // root; list groups, kept. Wide: runs of separators and empty groups.
    std::string deep, deepEnd, deepResult, nested, nestedEnd, wide, wideResult;
    for (int i = 0; i < 300; ++i) {
        deep += " < - - e" + std::to_string(i);
        deepEnd += " > -";
        deepResult += (i ? " - e" : "e") + std::to_string(i);
        nested += "[ ";
        nestedEnd += " ]";
    }
    for (int i = 0; i < 10000; ++i) {
        wide += " - - [ ] w" + std::to_string(i);
        wideResult += (i ? " - w" : "w") + std::to_string(i);
    }
    const struct {
        std::string source, compiled;
    } cases[] = {
        {"- A - - [ ] B -", "A - B"}, {"A < C D > B", "A C D B"},
        {"A - < - C > B", "A - C B"}, {"A [ - - ] B", "A B"},
        {"A - [ - ] - B", "A - B"}, // the empty group goes before its neighbours are tidied
        {deep + deepEnd, deepResult}, {nested + "- x -" + nestedEnd, nested + "x" + nestedEnd},
        {wide, wideResult},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shape(*compileCommandGroup(build(c.source))), c.compiled) << c.source.substr(0, 80);
    }
}

TEST_F(CompiledCommandGroupTest, NodeOperationsAndRefusals)
{
    const tn::Reference<CompiledCommandGroup> g = compileCommandGroup(build("A [ B C ] D")); // holds the group
    EXPECT_THROW(CompiledCommandNode{nullptr}, NullError);
    EXPECT_THROW(compileCommandGroup(nullptr), NullError);
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
    g->addItem(inner);
    g->eraseItem(0);
    EXPECT_EQ(shape(*g), "B C D [ B C ]");
}

TEST_F(CompiledCommandGroupTest, LevelOneListing)
{
    const tn::Reference<CommandGroup> menu = build("Open - [ a.txt ] quit");
    menu->setLabel(tn::Reference<Label>(new Label("File")));
    menu->getElement(0)->setLabel(tn::Reference<Label>(new Label("Open\xe2\x80\xa6")));
    menu->getElement(2)->setLabel(tn::Reference<Label>(new Label("Recent")));
    const tn::Reference<CompiledCommandGroup> compiled = compileCommandGroup(menu);
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
    EXPECT_EQ(tnOS::AppOutput::getInstance().getIndentLevel(), 0);
}

} // namespace
