// Command items: their own presentation where they have it, their command's
// otherwise, asked anew on every call; and what they do not take over.

#include "entity/EntityTestSupport.h"

#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/ImageFile.h>
#include <tnUI/entity/Label.h>
#include <tnUI/menus/CommandItem.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using tnString::CString;
using tnUI::CommandInstance;
using tnUI::CommandItem;
using tnUI::IconMode;
using tnUI::IconState;
using tnUITest::image;

class CommandItemTest : public tnUITest::EntityTest {};

tn::Reference<CommandInstance> command(const char* name)
{
    return tn::Reference<CommandInstance>(new CommandInstance(new tnUI::MomentaryCommandDefn(CString(name))));
}

TEST_F(CommandItemTest, FallsBackOnItsCommandAskedAnewEachTime)
{
    const auto copy = command("copy");
    const tn::Reference<CommandItem> item(new CommandItem);
    EXPECT_TRUE(!item->getLabel() && !item->getIcon(IconState::Normal, IconMode::Default));
    item->setCommand(copy.get());
    EXPECT_EQ(copy->getRefCount(), 2);

    // The command's label is the definition's until the instance has one.
    const tn::Reference<tnUI::Label> defnLabel(new tnUI::Label("Copy")), instanceLabel(new tnUI::Label("Copy it"));
    const tn::Reference<tnUI::Label> tip(new tnUI::Label("Copies"));
    copy->getCommand()->setLabel(defnLabel.get());
    copy->setToolTip(tip.get());
    EXPECT_EQ(item->getLabel(), defnLabel.get());
    copy->setLabel(instanceLabel.get());
    EXPECT_EQ(std::tuple(item->getLabel(), item->getToolTip()), std::tuple(instanceLabel.get(), tip.get()));

    const auto normal = image("copy.png"), hot = image("copy-hot.png"), mine = image("item.png");
    copy->getCommand()->setIcon(normal.get(), IconState::Normal, IconMode::Default);
    copy->setIcon(hot.get(), IconState::Highlight, IconMode::Alternate);
    const CommandItem& view = *item;
    using Icons = std::tuple<const tnUI::ImageFile*, const tnUI::ImageFile*, const tnUI::ImageFile*>;
    EXPECT_EQ(Icons(item->getIcon(IconState::Normal, IconMode::Default),
                    view.getIcon(IconState::Highlight, IconMode::Alternate),
                    view.getIcon(IconState::Disabled, IconMode::Default)),
              Icons(normal.get(), hot.get(), nullptr));

    // Its own presentation wins, slot by slot, and stays whatever the command
    // does.
    const tn::Reference<tnUI::Label> own(new tnUI::Label("Duplicate"));
    item->setLabel(own.get());
    item->setIcon(mine.get(), IconState::Normal, IconMode::Default);
    const tn::Reference<tnUI::Label> later(new tnUI::Label("Copy again"));
    copy->setLabel(later.get());
    EXPECT_EQ(std::tuple(item->getLabel(), item->getToolTip()), std::tuple(own.get(), tip.get()));
    EXPECT_EQ(Icons(item->getIcon(IconState::Normal, IconMode::Default),
                    view.getIcon(IconState::Highlight, IconMode::Alternate), nullptr),
              Icons(mine.get(), hot.get(), nullptr));
}

TEST_F(CommandItemTest, NameAndHelpAreTheItemsOwnAndTheCommandIsNotForwarded)
{
    const auto paste = command("paste");
    const tn::Reference<tnUI::HelpRef> help(new tnUI::HelpRef(tnString::IString(L"editing")));
    paste->setHelpRef(help.get());
    const tn::Reference<CommandItem> item(new CommandItem);
    tnUITest::MessageRecorder recorder(item.get());
    item->setCommand(paste.get());
    EXPECT_TRUE(!item->getName() && !item->getHelpRef());

    const tn::Reference<tnUI::MutableLabel> label(new tnUI::MutableLabel("Paste"));
    paste->setLabel(label.get());
    label->set("Paste here");
    EXPECT_TRUE(recorder.chains.empty() && item->getLabel() == label.get());

    // Replacing the command lets go of the old one.
    const auto other = command("other");
    item->setCommand(other.get());
    EXPECT_EQ(paste->getRefCount(), 1);
    item->setCommand(nullptr);
    EXPECT_TRUE(!item->getLabel() && other->getRefCount() == 1);
}

} // namespace
