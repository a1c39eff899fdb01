// The argument kinds: refused values, formats and the unit label of value
// arguments; choices and selection of enum arguments; requested sizes of
// images; groups' presentation and reset; and the pane's signal.

#include "entity/EntityTestSupport.h"

#include <tnUI/arguments/ArgumentPane.h>
#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ImageArgument.h>
#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/IntValue.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using namespace tnUI;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class ArgumentKindTest : public tnUITest::EntityTest {};

template <class T, class... A>
tn::Reference<T> make(A... a)
{
    return tn::Reference<T>(new T(a...));
}

TEST_F(ArgumentKindTest, ValueAndImageArgumentsRefuseNullAndTheWrongKind)
{
    EXPECT_THROW(ValueArgument(nullptr), NullError);
    EXPECT_THROW(ImageArgument(nullptr), NullError);
    const auto flag = make<BoolValue>(true);
    const auto image = make<ImageValue>(2, 2);
    const auto value = make<ValueArgument>(flag.get());
    const auto picture = make<ImageArgument>(image.get());
    EXPECT_THROW(value->setValue(nullptr), NullError);
    EXPECT_THROW(picture->setValue(static_cast<ImageValue*>(nullptr)), NullError);
    EXPECT_THROW(picture->setValue(static_cast<Value*>(nullptr)), NullError);
    EXPECT_THROW(picture->setValue(static_cast<Value*>(flag.get())), TypeError);
    EXPECT_EQ(std::tuple(value->getValue(), picture->getValue(), picture->getImage()),
              std::tuple(static_cast<Value*>(flag.get()), static_cast<Value*>(image.get()), image.get()));
}

TEST_F(ArgumentKindTest, ValueArgumentFormatsAndUnitLabel)
{
    const auto arg = make<ValueArgument>();
    EXPECT_EQ(std::tuple(arg->getDisplayFormat(), arg->getDisplayPrecision()), std::tuple(ValueArgument::Natural, 0));
    arg->setFormatReal(3);
    EXPECT_EQ(std::tuple(arg->getDisplayFormat(), arg->getDisplayPrecision()), std::tuple(ValueArgument::Real, 3));
    arg->setFormatInt();
    EXPECT_EQ(std::tuple(arg->getDisplayFormat(), arg->getDisplayPrecision()), std::tuple(ValueArgument::Int, 0));

    // The unit label may also be the argument's own label: both keep being
    // heard after the unit label is replaced.
    const auto mm = make<MutableLabel>("mm");
    arg->setLabel(mm);
    arg->setUnitLabel(mm);
    MessageRecorder recorder(arg);
    arg->setUnitLabel(mm);
    mm->set("cm");
    arg->setUnitLabel(nullptr);
    mm->set("in");
    EXPECT_EQ(arg->getUnitLabel(), nullptr);
    EXPECT_EQ(recorder.chains, std::vector<Chain>(3, Chain{{arg.get(), Message::Forward}, {mm.get(), Message::Label}}));
}

TEST_F(ArgumentKindTest, EnumChoicesSelectionAndKind)
{
    const auto arg = make<EnumArgument>();
    EXPECT_EQ(std::tuple(arg->getEnumArgumentKind(), arg->getNumChoices(), arg->getSelectedItem()),
              std::tuple(EEnumArgumentKind::Radio1, 0, 0));
    EXPECT_THROW(arg->select(0), IndexError);
    EXPECT_THROW(EnumArgument(nullptr), NullError);

    const auto a = make<ButtonArgument>(), b = make<ButtonArgument>(), c = make<ButtonArgument>();
    const auto flag = make<BoolValue>(true);
    c->setValue(flag);
    MessageRecorder recorder(arg);
    EXPECT_EQ(arg->addChoice(a), 0);
    EXPECT_EQ(arg->addChoices({b, c}), 2);
    const IntValue* selected = arg->getSelectedValue();
    arg->select(2);
    arg->select(2);
    arg->setEnumArgumentKind(EEnumArgumentKind::Radio1);
    arg->setEnumArgumentKind(EEnumArgumentKind::MarkingMenu);
    const Argument* e = arg.get();
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{e, Message::Structure}},
                                                   {{e, Message::Structure}},
                                                   {{e, Message::Forward}, {selected, Message::Value}},
                                                   {{e, Message::Appearance}}}));

    // Refusals leave the choices as they were, but for the items an
    // interrupted addChoices added before the failing one.
    recorder.chains.clear();
    EXPECT_THROW(arg->addChoice(b), DuplicateError);
    EXPECT_THROW(arg->addChoice(nullptr), NullError);
    EXPECT_THROW(arg->addChoices({}), NullError);
    for (int i : {-1, 3}) {
        EXPECT_THROW(arg->getItem(i), IndexError);
        EXPECT_THROW(arg->select(i), IndexError);
    }
    const auto d = make<ButtonArgument>();
    EXPECT_THROW(arg->addChoices({d, nullptr}), NullError);
    EXPECT_EQ(std::tuple(arg->getNumChoices(), arg->getItem(3), arg->getSelectedItem(), recorder.chains.size()),
              std::tuple(4, d.get(), 2, 0u));

    // Reset resets the choices, not the selection.
    flag->setValue(false);
    arg->reset();
    EXPECT_EQ(std::tuple(flag->getValue(), arg->getSelectedItem()), std::tuple(true, 2));
    recorder.chains.clear();
    arg->clearChoices(false);
    a->reset();
    arg->clearChoices(true);
    EXPECT_EQ(std::tuple(arg->getNumChoices(), arg->getSelectedItem()), std::tuple(0, 2));
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{e, Message::Structure}}}));
}

TEST_F(ArgumentKindTest, ImageSizeRequestsAndGroups)
{
    const auto picture = make<ImageArgument>(make<ImageValue>().get());
    int w = 0, h = 0;
    picture->getRequestedImageSize(w, h);
    EXPECT_EQ(std::tuple(w, h), std::tuple(-1, -1));
    std::vector<ImageArgument*> resized;
    tnRTB::SignalClient client;
    tnRTB::connect(picture->resizeSignal, &client, [&resized](ImageArgument* a) { resized.push_back(a); });
    picture->resizeImage(64, 64);
    picture->resizeImage(64, 64);
    picture->getRequestedImageSize(w, h);
    EXPECT_EQ(std::tuple(w, h, resized), std::tuple(64, 64, std::vector<ImageArgument*>{picture.get()}));

    EXPECT_THROW(GroupOfArguments(nullptr), NullError);
    const auto list = make<Arguments>();
    const auto group = make<GroupOfArguments>(list.get());
    const auto inside = make<ButtonArgument>();
    inside->setDefaultState(EArgumentState::ValidSet);
    list->addArgument(inside);
    group->setDefaultState(EArgumentState::Invalid);
    MessageRecorder recorder(group);
    group->setGroupOfArgumentsKind(EGroupOfArgumentsKind::Group);
    group->setGroupOfArgumentsKind(EGroupOfArgumentsKind::Page);
    group->setArgumentsControlHint(EGroupOfArgumentsControlHint::AsArguments);
    group->setArgumentsControlHint(EGroupOfArgumentsControlHint::ColorWell);
    group->reset();
    EXPECT_EQ(std::tuple(group->getState(), inside->getState()),
              std::tuple(EArgumentState::ValidDefault, EArgumentState::ValidSet));
    const Entity* g = group.get();
    EXPECT_EQ(
        recorder.chains,
        (std::vector<Chain>{{{g, Message::Appearance}},
                            {{g, Message::Appearance}},
                            {{g, Message::Forward}, {list.get(), Message::Forward}, {inside.get(), Message::Value}}}));
}

TEST_F(ArgumentKindTest, PaneSignalsAReplacementWithThePreviousArgumentAlive)
{
    const tn::Reference<ArgumentPane> pane(new ArgumentPane(make<LabelArgument>().get()));
    const Argument* first = pane->getArgument();
    bool firstAlive = true;
    tnRTB::SignalClient client;
    tnRTB::connect(first->destroyedSignal, &client, [&firstAlive](Entity*) { firstAlive = false; });
    std::vector<std::tuple<const Argument*, const Argument*, bool>> seen;
    tnRTB::connect(pane->argumentSignal, &client,
                   [&](Argument* previous, Argument* shown) { seen.emplace_back(previous, shown, firstAlive); });
    const auto next = make<ButtonArgument>();
    pane->setArgument(next);
    pane->setArgument(next);
    pane->setArgument(nullptr);
    // The pane held the last reference on the first argument: it died after
    // the listeners saw it.
    EXPECT_FALSE(firstAlive);
    EXPECT_EQ(seen, (std::vector<std::tuple<const Argument*, const Argument*, bool>>{{first, next.get(), true},
                                                                                     {next.get(), nullptr, false}}));
    EXPECT_EQ(pane->getArgument(), nullptr);
}

} // namespace
