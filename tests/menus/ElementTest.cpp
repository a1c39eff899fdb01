#include "entity/EntityTestSupport.h"

#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/Label.h>
#include <tnUI/menus/Element.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using tnString::CString;
using tnUI::Item;
using tnUI::Keybinding;
using tnUI::Message;
using tnUITest::Chain;
using tnUITest::dumpLine;
using tnUITest::entityLine;

class ElementTest : public tnUITest::EntityTest {};

TEST_F(ElementTest, KeybindingIsAnnouncedOnEverySetAndForwardedWhileHeld)
{
    const tn::Reference<Item> item(new Item);
    const tn::Reference<Keybinding> first(new Keybinding(CString("ctrl+c"))), second(new Keybinding(CString("F5")));
    tnUITest::MessageRecorder recorder(item);
    item->setKeybinding(first);
    item->setKeybinding(first);
    first->setKey(CString("ctrl+v"));
    item->setKeybinding(second);
    first->setKey(CString("ctrl+x")); // no longer held
    item->setKeybinding(nullptr);
    second->setKey(CString("F7"));

    const Chain binding = {{item.get(), Message::Binding}};
    const Chain forwarded = {{item.get(), Message::Forward}, {first.get(), Message::Binding}};
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{binding, binding, forwarded, binding, binding}));
    EXPECT_EQ(std::tuple(first->getRefCount(), second->getRefCount()), std::tuple(1, 1));
}

TEST_F(ElementTest, ItemAndSeparatorDumps)
{
    const tn::Reference<Item> item(new Item);
    item->setName(CString("Copy"));
    const tn::Reference<Keybinding> binding(new Keybinding(CString("Shift+ctrl+c")));
    item->setKeybinding(binding);
    item->setOrderValue(12.5);
    item->setPriority(-3);
    const tn::Reference<tnUI::Separator> separator(new tnUI::Separator);

    tnUITest::DumpCapture dump;
    EXPECT_TRUE(item->dump(dump.file, 0, "copy"));
    EXPECT_TRUE(separator->dump(dump.file, 1, nullptr));
    EXPECT_FALSE(separator->dump(dump.file, 0, "again"));
    EXPECT_EQ(dump.lines(),
              (std::vector<std::string>{
                  dumpLine(1, 0, entityLine("tnUI::Item", "copy", 1, item.get())),
                  dumpLine(2, 1, entityLine("tnUI::Name", "name", 1, item->getName())),
                  dumpLine(3, 2, "value = \"Copy\""),
                  dumpLine(4, 1, entityLine("tnUI::Keybinding", "keybinding", 2, binding.get())),
                  dumpLine(5, 2, "keybinding = Ctrl+Shift+C"),
                  dumpLine(6, 1, "order = 12.500000"),
                  dumpLine(7, 1, "priority = -3.000000"),
                  dumpLine(8, 1, entityLine("tnUI::Separator", nullptr, 1, separator.get())),
                  dumpLine(9, 2, "name = <null>"),
                  dumpLine(10, 2, "order = 50.000000"),
                  dumpLine(11, 2, "separator ------------------------------"),
                  dumpLine(12, 0, entityLine("tnUI::Separator", "again", 1, separator.get()) + " written on line 8"),
              }));
}

} // namespace
