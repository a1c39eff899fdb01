#include "EntityTestSupport.h"

#include <tnUI/entity/DecoratedEntity.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Icon.h>
#include <tnUI/entity/ImageFile.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace {

using tnString::IString;
using tnUI::DecoratedEntity;
using tnUI::Filename;
using tnUI::IconMode;
using tnUI::IconState;
using tnUI::ImageFile;
using tnUI::Message;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class DecoratedEntityTest : public tnUITest::EntityTest {};

tn::Reference<ImageFile> image(const wchar_t* path)
{
    return tn::Reference<ImageFile>(new ImageFile(new Filename(IString(path))));
}

const IconState::EState allStates[] = {IconState::Normal, IconState::Disabled, IconState::Highlight, IconState::Active};

TEST_F(DecoratedEntityTest, SlotsEnumNamesAndStatesOutsideTheTable)
{
    const char* const names[] = {"Normal", "Disabled", "Highlight", "Active"};
    for (IconState::EState s : allStates)
        EXPECT_STREQ(tnUI::enumName(s), names[s]);
    EXPECT_EQ(std::string(tnUI::enumName(IconMode::Default)) + tnUI::enumName(IconMode::Alternate), "DefaultAlternate");
    EXPECT_THROW(tnUI::enumName(static_cast<IconMode::EMode>(2)), tnUI::ImplError);

    // Any mode but zero is the alternate one.
    const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
    const DecoratedEntity& constEntity = *entity;
    const tn::Reference<ImageFile> normal = image(L"normal.png"), active = image(L"active.png");
    entity->setIcon(normal, IconState::Normal, IconMode::Default);
    entity->setIcon(active, IconState::Active, static_cast<IconMode::EMode>(7));
    for (IconState::EState s : allStates) {
        EXPECT_EQ(entity->getIcon(s, IconMode::Default), s == IconState::Normal ? normal.get() : nullptr);
        EXPECT_EQ(constEntity.getIcon(s, static_cast<IconMode::EMode>(-3)),
                  s == IconState::Active ? active.get() : nullptr);
    }

    MessageRecorder recorder(entity);
    for (int state : {-1, 4, 100}) {
        const auto s = static_cast<IconState::EState>(state);
        EXPECT_THROW(tnUI::enumName(s), tnUI::ImplError);
        EXPECT_THROW(entity->getIcon(s, IconMode::Default), tnUI::ImplError);
        EXPECT_THROW(constEntity.getIcon(s, IconMode::Alternate), tnUI::ImplError);
        EXPECT_THROW(entity->setIcon(normal, s, IconMode::Default), tnUI::ImplError);
    }
    EXPECT_EQ(std::tuple(normal->getRefCount(), normal->messageSignal.getNumConnections(), recorder.chains.size()),
              std::tuple(2, 1, 0ul));
}

TEST_F(DecoratedEntityTest, SetIconAlwaysSendsIconAndWatchesTheIconsHeld)
{
    const tn::Reference<ImageFile> icon = image(L"icon.png"), replacement = image(L"other.png");
    {
        const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
        MessageRecorder recorder(entity);
        const Chain iconMessage{{entity.get(), Message::Icon}};
        entity->setIcon(icon, IconState::Normal, IconMode::Default);
        entity->setIcon(icon, IconState::Normal, IconMode::Default);
        EXPECT_EQ(recorder.chains, std::vector<Chain>(2, iconMessage));
        EXPECT_EQ(std::tuple(icon->getRefCount(), icon->messageSignal.getNumConnections()), std::tuple(2, 1));
        icon->setFilename(new Filename(IString(L"new.png")));
        EXPECT_EQ(recorder.chains.back(), (Chain{{entity.get(), Message::Icon}, {icon.get(), Message::Value}}));

        // A replaced icon is no longer watched; setting null still announces.
        entity->setIcon(replacement, IconState::Normal, IconMode::Default);
        EXPECT_EQ(icon->getRefCount(), 1);
        icon->setFilename(new Filename(IString(L"newer.png")));
        replacement->setFilename(new Filename(IString(L"replacement.png")));
        entity->setIcon(nullptr, IconState::Highlight, IconMode::Alternate);
        entity->setIcon(nullptr, IconState::Highlight, IconMode::Alternate);
        EXPECT_EQ(recorder.chains.size(), 7u);
    }
    // The dying entity leaves no watcher.
    EXPECT_EQ(std::tuple(replacement->getRefCount(), replacement->messageSignal.getNumConnections()), std::tuple(1, 0));
}

// Gives fallback icons and records the order in which its icons are asked.
class FallbackEntity : public DecoratedEntity {
public:
    using DecoratedEntity::getIcon;
    const ImageFile* getIcon(IconState::EState s, IconMode::EMode m) const override
    {
        asked.emplace_back(s, m);
        const ImageFile* own = DecoratedEntity::getIcon(s, m);
        return own ? own : fallback.get();
    }

    tn::Reference<ImageFile> fallback;
    mutable std::vector<std::pair<IconState::EState, IconMode::EMode>> asked;
};

TEST_F(DecoratedEntityTest, SetIconsCopiesEffectiveIconsWithoutWatching)
{
    const tn::Reference<FallbackEntity> source(new FallbackEntity);
    source->fallback = image(L"fallback.png");
    const tn::Reference<ImageFile> own = image(L"own.png");
    source->setIcon(own, IconState::Disabled, IconMode::Alternate);

    const tn::Reference<DecoratedEntity> target(new DecoratedEntity);
    const tn::Reference<ImageFile> previous = image(L"previous.png");
    target->setIcon(previous, IconState::Normal, IconMode::Default);
    MessageRecorder recorder(target);

    target->setIcons(*source);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{target.get(), Message::Icon}}}));
    decltype(source->asked) order;
    for (IconMode::EMode m : {IconMode::Default, IconMode::Alternate})
        for (IconState::EState s : {IconState::Normal, IconState::Highlight, IconState::Active, IconState::Disabled})
            order.emplace_back(s, m);
    EXPECT_EQ(source->asked, order);
    for (IconState::EState s : allStates) {
        EXPECT_EQ(target->getIcon(s, IconMode::Default), source->fallback.get());
        EXPECT_EQ(target->getIcon(s, IconMode::Alternate),
                  s == IconState::Disabled ? own.get() : source->fallback.get());
    }
    EXPECT_EQ(std::tuple(source->fallback->getRefCount(), own->getRefCount(), previous->getRefCount()),
              std::tuple(8, 3, 1));

    // No watching was made for the copied icons, and none cut for the icon
    // that was replaced.
    recorder.chains.clear();
    source->fallback->setFilename(new Filename(IString(L"changed.png")));
    previous->setFilename(new Filename(IString(L"changed.png")));
    EXPECT_EQ(recorder.chains.size(), 1u);
}

TEST_F(DecoratedEntityTest, ImageFileHoldsItsFilename)
{
    const tn::Reference<Filename> path(new Filename(IString(L"a.png")));
    const tn::Reference<ImageFile> icon(new ImageFile(path));
    EXPECT_EQ(path->getRefCount(), 2);
    MessageRecorder recorder(icon);
    EXPECT_THROW(tn::Reference<ImageFile>(new ImageFile(nullptr)), tnUI::NullError);
    EXPECT_THROW(icon->setFilename(nullptr), tnUI::NullError);
    icon->setFilename(path); // unchanged: nothing sent
    EXPECT_TRUE(recorder.chains.empty());
    const tn::Reference<Filename> other(new Filename(IString(L"b.png")));
    icon->setFilename(other);
    EXPECT_EQ(std::tuple(path->getRefCount(), icon->getFilename()), std::tuple(1, other.get()));
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{icon.get(), Message::Value}}}));

    // Equivalence follows the path text.
    const ImageFile* none = nullptr;
    EXPECT_TRUE(tnUI::equivalent(icon, image(L"b.png")));
    EXPECT_FALSE(tnUI::equivalent(icon, image(L"B.png")) || tnUI::equivalent(icon, none) ||
                 tnUI::equivalent(none, none));
}

TEST_F(DecoratedEntityTest, DumpWritesNonEmptySlotsInTableOrder)
{
    using tnUITest::dumpLine;
    using tnUITest::entityLine;

    const tn::Reference<DecoratedEntity> lone(new DecoratedEntity);
    const tn::Reference<ImageFile> activeIcon = image(L"active.png");
    lone->setIcon(activeIcon, IconState::Active, IconMode::Alternate);

    const tn::Reference<DecoratedEntity> full(new DecoratedEntity);
    full->setName(tnString::CString("Brush"));
    const tn::Reference<ImageFile> shared = image(L"brush.png");
    shared->setName(tnString::CString("brush"));
    for (IconState::EState s : {IconState::Active, IconState::Normal})
        full->setIcon(shared, s, IconMode::Default);
    full->setIcon(activeIcon, IconState::Disabled, IconMode::Alternate);

    tnUITest::DumpCapture dump;
    EXPECT_TRUE(lone->dump(dump.file, 0, "lone"));
    EXPECT_TRUE(full->dump(dump.file, 0, "full"));
    const Filename* activePath = activeIcon->getFilename();
    const std::vector<std::string> expected = {
        dumpLine(1, 0, entityLine("tnUI::DecoratedEntity", "lone", 1, lone.get())),
        dumpLine(2, 1, "name = <null>"),
        dumpLine(3, 1, entityLine("tnUI::ImageFile", "alt icon active", 3, activeIcon.get())),
        dumpLine(4, 2, "name = <null>"),
        dumpLine(5, 2, entityLine("tnUI::Filename", "ImageFile filename", 1, activePath)),
        dumpLine(6, 3, "value = \"active.png\""),
        dumpLine(7, 0, entityLine("tnUI::DecoratedEntity", "full", 1, full.get())),
        dumpLine(8, 1, entityLine("tnUI::Name", "name", 1, full->getName())),
        dumpLine(9, 2, "value = \"Brush\""),
        dumpLine(10, 1, entityLine("tnUI::ImageFile", "icon", 3, shared.get())),
        dumpLine(11, 2, entityLine("tnUI::Name", "name", 1, shared->getName())),
        dumpLine(12, 3, "value = \"brush\""),
        dumpLine(13, 2, entityLine("tnUI::Filename", "ImageFile filename", 1, shared->getFilename())),
        dumpLine(14, 3, "value = \"brush.png\""),
        dumpLine(15, 1, entityLine("tnUI::ImageFile", "icon active", 3, shared.get()) + " written on line 10"),
        dumpLine(16, 1, entityLine("tnUI::ImageFile", "alt icon disabled", 3, activeIcon.get()) + " written on line 3"),
    };
    EXPECT_EQ(dump.lines(), expected);
}

// Records its destruction in a shared log, to check the order in which a
// dying entity releases what it holds.
template <class Base>
class Traced : public Base { // NOLINT(cppcoreguidelines-virtual-class-destructor)
public:
    template <class Arg>
    Traced(std::vector<std::string>& log, const char* tag, Arg arg) : Base(arg), m_log(log), m_tag(tag)
    {}

protected:
    ~Traced() override { m_log.emplace_back(m_tag); }

private:
    std::vector<std::string>& m_log;
    const char* m_tag;
};

TEST_F(DecoratedEntityTest, DestructionReleasesInReverseFieldOrder)
{
    std::vector<std::string> log;
    {
        const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
        entity->setName(new Traced<tnUI::Name>(log, "name", tnString::CString("n")));
        entity->setLabel(new Traced<tnUI::HelpRef>(log, "label", IString("l")));
        entity->setToolTip(new Traced<tnUI::HelpRef>(log, "tooltip", IString("t")));
        entity->setHelpRef(new Traced<tnUI::HelpRef>(log, "help", IString("h")));
        for (IconState::EState s : {IconState::Normal, IconState::Disabled})
            entity->setIcon(new Traced<ImageFile>(log, "icon", new Filename(IString(L"x.png"))), s, IconMode::Default);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"icon", "icon", "help", "tooltip", "label", "name"}));
}

} // namespace
