// Command groups: finding a command instance by name and the path to a
// definition, through nested command groups but not plain groups.

#include "entity/EntityTestSupport.h"

#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/menus/CommandItem.h>

#include <gtest/gtest.h>

namespace {

using tnString::CString;
using tnUI::CommandGroup;
using tnUI::CommandInstance;
using tnUI::Element;

using Path = tn::vector<Element*>;

class CommandGroupTest : public tnUITest::EntityTest {};

tn::Reference<tnUI::MomentaryCommandDefn> defn(const char* name)
{
    return tn::Reference<tnUI::MomentaryCommandDefn>(new tnUI::MomentaryCommandDefn(CString(name)));
}

// Appends a new instance of d to g, which holds it.
CommandInstance* add(tnUI::Group* g, tnUI::CommandDefn* d)
{
    g->appendItem(tn::Reference<CommandInstance>(new CommandInstance(d)));
    return static_cast<CommandInstance*>(g->getElement(g->getNumElements() - 1));
}

TEST_F(CommandGroupTest, FindsAnInstanceByNameThroughCommandGroupsOnly)
{
    const tn::Reference<CommandGroup> menu(new CommandGroup), sub(new CommandGroup), subsub(new CommandGroup);
    const tn::Reference<tnUI::Group> plain(new tnUI::Group);
    const auto open = defn("open"), save = defn("save"), hidden = defn("hidden"), deep = defn("deep");
    // Elements that are no instances are passed over, even when named alike.
    menu->appendItem(tn::Reference<tnUI::Separator>(new tnUI::Separator).get());
    const tn::Reference<tnUI::CommandItem> item(new tnUI::CommandItem);
    item->setName(CString("open"));
    menu->appendItem(item.get());
    add(menu.get(), open.get());
    menu->appendItem(plain.get());
    menu->appendItem(sub.get());
    add(plain.get(), hidden.get());
    sub->appendItem(subsub.get());
    CommandInstance* deepInstance = add(subsub.get(), deep.get());
    CommandInstance* firstSave = add(sub.get(), save.get());
    add(menu.get(), save.get()); // a second instance, later in the walk

    EXPECT_EQ(menu->findFirstInstance(CString("open")), menu->getElement(2));
    EXPECT_EQ(menu->findFirstInstance(CString("deep")), deepInstance); // two command groups down
    EXPECT_EQ(menu->findFirstInstance(CString("save")), firstSave);
    EXPECT_EQ(menu->findFirstInstance(CString("hidden")), nullptr); // inside a plain group
    EXPECT_EQ(menu->findFirstInstance(CString("missing")), nullptr);
    EXPECT_EQ(menu->findFirstInstance(CString("")), nullptr);

    // The instance's own name wins over its definition's.
    deepInstance->setName(CString("renamed"));
    EXPECT_EQ(menu->findFirstInstance(CString("renamed")), deepInstance);
}

TEST_F(CommandGroupTest, PathToTheFirstInstanceOfADefinition)
{
    const tn::Reference<CommandGroup> menu(new CommandGroup), edit(new CommandGroup), nested(new CommandGroup);
    const tn::Reference<tnUI::Group> plain(new tnUI::Group);
    const auto cut = defn("cut"), paste = defn("paste"), absent = defn("absent");
    menu->appendItem(plain.get());
    add(plain.get(), cut.get()); // not searched: a plain group
    menu->appendItem(edit.get());
    edit->appendItem(nested.get());
    CommandInstance* first = add(nested.get(), cut.get());
    add(edit.get(), cut.get());
    CommandInstance* pasteInstance = add(menu.get(), paste.get());

    Path path{menu.get()}; // emptied first
    EXPECT_TRUE(menu->findFirst(cut.get(), path));
    EXPECT_EQ(path, (Path{menu.get(), edit.get(), nested.get(), first}));
    EXPECT_TRUE(menu->findFirst(paste.get(), path));
    EXPECT_EQ(path, (Path{menu.get(), pasteInstance}));
    EXPECT_FALSE(menu->findFirst(absent.get(), path) || !path.empty());
    EXPECT_FALSE(menu->findFirst(nullptr, path));

    // The group's own searches still work on a command group.
    EXPECT_TRUE(menu->find(first, path) && path.size() == 4U);
}

} // namespace
