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
using tnUITest::image;
using tnUITest::MessageRecorder;

class DecoratedEntityTest : public tnUITest::EntityTest {};

const IconState::EState allStates[] = {IconState::Normal, IconState::Disabled, IconState::Highlight, IconState::Active};

TEST_F(DecoratedEntityTest, SlotsAndStatesOutsideTheTable)
{
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

} // namespace
