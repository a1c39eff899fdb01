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

} // namespace
