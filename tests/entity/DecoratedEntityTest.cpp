#include "EntityTestSupport.h"

#include <tnUI/entity/DecoratedEntity.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Icon.h>
#include <tnUI/entity/ImageFile.h>

#include <gtest/gtest.h>

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

TEST_F(DecoratedEntityTest, EnumNamesAndOutOfRangeValues)
{
    const std::pair<IconState::EState, const char*> states[] = {
        {IconState::Normal, "Normal"},
        {IconState::Disabled, "Disabled"},
        {IconState::Highlight, "Highlight"},
        {IconState::Active, "Active"},
    };
    for (const auto& [state, text] : states)
        EXPECT_STREQ(tnUI::enumName(state), text);
    EXPECT_STREQ(tnUI::enumName(IconMode::Default), "Default");
    EXPECT_STREQ(tnUI::enumName(IconMode::Alternate), "Alternate");
    EXPECT_THROW(tnUI::enumName(static_cast<IconState::EState>(4)), tnUI::ImplError);
    EXPECT_THROW(tnUI::enumName(static_cast<IconState::EState>(-1)), tnUI::ImplError);
    EXPECT_THROW(tnUI::enumName(static_cast<IconMode::EMode>(2)), tnUI::ImplError);
}

TEST_F(DecoratedEntityTest, SlotsAreIndependentAndAnyNonZeroModeIsAlternate)
{
    const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
    const DecoratedEntity& constEntity = *entity;
    for (IconState::EState s : allStates) {
        EXPECT_EQ(entity->getIcon(s, IconMode::Default), nullptr);
        EXPECT_EQ(constEntity.getIcon(s, IconMode::Alternate), nullptr);
    }

    const tn::Reference<ImageFile> normal = image(L"normal.png"), active = image(L"active.png");
    entity->setIcon(normal, IconState::Normal, IconMode::Default);
    entity->setIcon(active, IconState::Active, static_cast<IconMode::EMode>(7));
    for (IconState::EState s : allStates) {
        EXPECT_EQ(entity->getIcon(s, IconMode::Default), s == IconState::Normal ? normal.get() : nullptr);
        EXPECT_EQ(constEntity.getIcon(s, IconMode::Alternate), s == IconState::Active ? active.get() : nullptr);
        EXPECT_EQ(constEntity.getIcon(s, static_cast<IconMode::EMode>(-3)),
                  s == IconState::Active ? active.get() : nullptr);
    }
}

TEST_F(DecoratedEntityTest, StateOutsideTableIsRefused)
{
    const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
    const tn::Reference<ImageFile> icon = image(L"icon.png");
    MessageRecorder recorder(entity);
    for (int state : {-1, 4, 100}) {
        const auto s = static_cast<IconState::EState>(state);
        EXPECT_THROW(entity->getIcon(s, IconMode::Default), tnUI::ImplError);
        EXPECT_THROW(std::as_const(*entity).getIcon(s, IconMode::Alternate), tnUI::ImplError);
        EXPECT_THROW(entity->setIcon(icon, s, IconMode::Default), tnUI::ImplError);
    }
    EXPECT_EQ(icon->getRefCount(), 1);
    EXPECT_EQ(icon->messageSignal.getNumConnections(), 0);
    EXPECT_TRUE(recorder.chains.empty());
}

TEST_F(DecoratedEntityTest, SetIconAlwaysSendsIcon)
{
    const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
    const tn::Reference<ImageFile> icon = image(L"icon.png");
    MessageRecorder recorder(entity);
    const Chain iconMessage{{entity.get(), Message::Icon}};

    entity->setIcon(icon, IconState::Normal, IconMode::Default);
    entity->setIcon(icon, IconState::Normal, IconMode::Default);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{iconMessage, iconMessage}));
    EXPECT_EQ(icon->getRefCount(), 2);
    // Setting the same icon again leaves it watched once.
    EXPECT_EQ(icon->messageSignal.getNumConnections(), 1);

    entity->setIcon(nullptr, IconState::Normal, IconMode::Default);
    EXPECT_EQ(entity->getIcon(IconState::Normal, IconMode::Default), nullptr);
    EXPECT_EQ(icon->getRefCount(), 1);
    EXPECT_EQ(icon->messageSignal.getNumConnections(), 0);
    EXPECT_EQ(recorder.chains.size(), 3u);

    entity->setIcon(nullptr, IconState::Normal, IconMode::Default);
    EXPECT_EQ(recorder.chains.size(), 4u);
}

TEST_F(DecoratedEntityTest, WatchedIconChangesArriveAsIcon)
{
    const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
    const tn::Reference<ImageFile> icon = image(L"old.png"), replacement = image(L"other.png");
    entity->setIcon(icon, IconState::Highlight, IconMode::Alternate);
    MessageRecorder recorder(entity);

    icon->setFilename(new Filename(IString(L"new.png")));
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{entity.get(), Message::Icon}, {icon.get(), Message::Value}}}));

    // A replaced icon is no longer watched.
    entity->setIcon(replacement, IconState::Highlight, IconMode::Alternate);
    recorder.chains.clear();
    icon->setFilename(new Filename(IString(L"newer.png")));
    EXPECT_TRUE(recorder.chains.empty());
    replacement->setFilename(new Filename(IString(L"replacement.png")));
    EXPECT_EQ(recorder.chains.size(), 1u);
}

TEST_F(DecoratedEntityTest, DyingEntityLeavesNoWatcherOnIcon)
{
    const tn::Reference<ImageFile> icon = image(L"icon.png");
    {
        const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
        entity->setIcon(icon, IconState::Normal, IconMode::Default);
        entity->setIcon(icon, IconState::Active, IconMode::Alternate);
        EXPECT_EQ(icon->getRefCount(), 3);
    }
    EXPECT_EQ(icon->getRefCount(), 1);
    EXPECT_EQ(icon->messageSignal.getNumConnections(), 0);
    icon->setFilename(new Filename(IString(L"other.png")));
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
    const std::vector<std::pair<IconState::EState, IconMode::EMode>> order = {
        {IconState::Normal, IconMode::Default},   {IconState::Highlight, IconMode::Default},
        {IconState::Active, IconMode::Default},   {IconState::Disabled, IconMode::Default},
        {IconState::Normal, IconMode::Alternate}, {IconState::Highlight, IconMode::Alternate},
        {IconState::Active, IconMode::Alternate}, {IconState::Disabled, IconMode::Alternate},
    };
    EXPECT_EQ(source->asked, order);
    for (IconState::EState s : allStates) {
        EXPECT_EQ(target->getIcon(s, IconMode::Default), source->fallback.get());
        EXPECT_EQ(target->getIcon(s, IconMode::Alternate),
                  s == IconState::Disabled ? own.get() : source->fallback.get());
    }
    EXPECT_EQ(source->fallback->getRefCount(), 8);
    EXPECT_EQ(own->getRefCount(), 3);
    EXPECT_EQ(previous->getRefCount(), 1);

    // No watching was made for the copied icons, and none cut for the icon
    // that was replaced.
    recorder.chains.clear();
    source->fallback->setFilename(new Filename(IString(L"changed.png")));
    EXPECT_TRUE(recorder.chains.empty());
    previous->setFilename(new Filename(IString(L"changed.png")));
    EXPECT_EQ(recorder.chains.size(), 1u);
}

TEST_F(DecoratedEntityTest, ImageFileHoldsItsFilename)
{
    const tn::Reference<Filename> path(new Filename(IString(L"a.png")));
    const tn::Reference<ImageFile> icon(new ImageFile(path));
    EXPECT_EQ(icon->getFilename(), path.get());
    EXPECT_EQ(path->getRefCount(), 2);
    EXPECT_EQ(icon->getName(), nullptr);
    MessageRecorder recorder(icon);

    const int live = tnUI::Entity::numberOfActiveObjects();
    EXPECT_THROW(tn::Reference<ImageFile>(new ImageFile(nullptr)), tnUI::NullError);
    EXPECT_EQ(tnUI::Entity::numberOfActiveObjects(), live);
    EXPECT_THROW(icon->setFilename(nullptr), tnUI::NullError);
    icon->setFilename(path);
    EXPECT_EQ(icon->getFilename(), path.get());
    EXPECT_TRUE(recorder.chains.empty());

    const tn::Reference<Filename> other(new Filename(IString(L"b.png")));
    icon->setFilename(other);
    EXPECT_EQ(path->getRefCount(), 1);
    EXPECT_EQ(other->getRefCount(), 2);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{icon.get(), Message::Value}}}));
}

TEST_F(DecoratedEntityTest, ImageFileEquivalenceFollowsPathText)
{
    const tn::Reference<ImageFile> a = image(L"tool.png"), b = image(L"tool.png"), c = image(L"Tool.png");
    EXPECT_TRUE(tnUI::equivalent(a, b));
    EXPECT_FALSE(tnUI::equivalent(a, c));
    const ImageFile* none = nullptr;
    EXPECT_FALSE(tnUI::equivalent(a, none));
    EXPECT_FALSE(tnUI::equivalent(none, a));
    EXPECT_FALSE(tnUI::equivalent(none, none));
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
    ASSERT_TRUE(dump.opened());
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

// Each records its destruction in a shared log, to check the order in which
// a dying entity releases what it holds.
class TracedImage : public ImageFile {
public:
    explicit TracedImage(std::vector<std::string>& log) : ImageFile(new Filename(IString(L"x.png"))), m_log(log) {}
    ~TracedImage() override { m_log.emplace_back("icon"); }

private:
    std::vector<std::string>& m_log;
};

// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class TracedLabel : public tnUI::HelpRef {
public:
    TracedLabel(const char* text, std::vector<std::string>& log) : HelpRef(IString(text)), m_log(log) {}

protected:
    ~TracedLabel() override { m_log.emplace_back(asUTF8().asChar()); }

private:
    std::vector<std::string>& m_log;
};

class TracedName : public tnUI::Name {
public:
    TracedName(const char* text, std::vector<std::string>& log) : Name(tnString::CString(text)), m_log(log) {}
    ~TracedName() override { m_log.emplace_back(asChar()); }

private:
    std::vector<std::string>& m_log;
};

TEST_F(DecoratedEntityTest, DestructionReleasesInReverseFieldOrder)
{
    std::vector<std::string> log;
    {
        const tn::Reference<DecoratedEntity> entity(new DecoratedEntity);
        entity->setName(new TracedName("name", log));
        entity->setLabel(new TracedLabel("label", log));
        entity->setToolTip(new TracedLabel("tooltip", log));
        entity->setHelpRef(new TracedLabel("help", log));
        entity->setIcon(new TracedImage(log), IconState::Normal, IconMode::Default);
        entity->setIcon(new TracedImage(log), IconState::Disabled, IconMode::Alternate);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"icon", "icon", "help", "tooltip", "label", "name"}));
}

} // namespace
