// Arguments, their lists and kinds: messages of every change, sorted insertion,
// refusals, the search through nested groups, the pane, dumps and enumeration
// texts.

#include "entity/EntityTestSupport.h"

#include <tnUI/arguments/ArgumentPane.h>
#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ImageArgument.h>
#include <tnUI/arguments/LabelArgument.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/entity/Error.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/RealValue.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace tnUI;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class ArgumentTest : public tnUITest::EntityTest {};

template <class T, class... A>
tn::Reference<T> make(const A&... a)
{
    return tn::Reference<T>(new T(a...));
}

tn::Reference<ButtonArgument> ordered(double order, EArgumentState state = EArgumentState::ValidDefault)
{
    auto a = make<ButtonArgument>();
    a->setOrderValue(order);
    a->setDefaultState(state);
    a->reset();
    return a;
}

std::vector<const Argument*> entries(const Arguments& list)
{
    std::vector<const Argument*> out(static_cast<std::size_t>(list.getNumArguments()));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = list.getArgument(static_cast<int>(i));
    return out;
}

TEST_F(ArgumentTest, EnabledExpressionHintAndResetAnnounceTheirChanges)
{
    const auto arg = make<ButtonArgument>();
    EXPECT_EQ(std::tuple(arg->isEnabled(), arg->getState(), arg->getArgumentControlHint()),
              std::tuple(true, EArgumentState::ValidDefault, EArgumentControlHint::Default));
    const auto flag = make<BoolValue>(false);
    MessageRecorder recorder(arg);
    std::vector<bool> fired;
    tnRTB::SignalClient client;
    tnRTB::connect(arg->enabledSignal, &client, [&fired](bool b) { fired.push_back(b); });

    arg->setArgumentControlHint(EArgumentControlHint::Default);
    arg->setArgumentControlHint(EArgumentControlHint::Slider);
    arg->setEnabledExpression(flag);
    EXPECT_FALSE(arg->isEnabled());
    arg->setEnabledExpression(flag);
    arg->setInvertEnabled(true);
    EXPECT_TRUE(arg->isEnabled());
    flag->setValue(true);
    arg->setEnabledExpression(nullptr);
    flag->setValue(false);
    arg->reset(); // no default state: the state stays
    EXPECT_EQ(std::tuple(arg->isEnabled(), arg->getState()), std::tuple(true, EArgumentState::ValidDefault));
    arg->setDefaultState(EArgumentState::ValidSet);
    arg->reset();
    EXPECT_EQ(arg->getState(), EArgumentState::ValidSet);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{arg, Message::State}},
                                                   {{arg, Message::State}},
                                                   {{arg, Message::State}, {flag.get(), Message::Value}},
                                                   {{arg, Message::State}},
                                                   {{arg, Message::Value}},
                                                   {{arg, Message::Value}}}));
    EXPECT_EQ(fired, std::vector<bool>{false});
}

TEST_F(ArgumentTest, AnItemPassesItsValueOnAndResetsIt)
{
    const auto item = make<ButtonArgument>();
    const auto flag = make<BoolValue>(true), other = make<BoolValue>(true);
    item->setValue(flag);
    item->setValue(flag); // again: still passed on once
    // The value is also the enabled expression; letting the expression go
    // keeps the value passed on.
    item->setEnabledExpression(flag);
    item->setEnabledExpression(nullptr);
    MessageRecorder recorder(item);
    flag->setValue(false);
    item->setDefaultState(EArgumentState::Invalid);
    item->reset();
    EXPECT_EQ(std::tuple(flag->getValue(), item->getState()), std::tuple(true, EArgumentState::Invalid));
    item->setValue(other);
    flag->setValue(false);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{item, Message::Forward}, {flag.get(), Message::Value}},
                                                   {{item, Message::Forward}, {flag.get(), Message::Value}},
                                                   {{item, Message::Value}}}));

    // An unset value refuses the reset: the state stays, nothing is sent.
    item->setValue(make<RealValue>());
    item->setDefaultState(EArgumentState::ValidSet);
    recorder.chains.clear();
    EXPECT_THROW(item->reset(), NotSetError);
    EXPECT_EQ(std::tuple(item->getState(), recorder.chains.size()), std::tuple(EArgumentState::Invalid, 0u));
}

TEST_F(ArgumentTest, ListsInsertSortedRefuseRepeatsAndNestingAndReportTheWeakestState)
{
    const auto list = make<Arguments>();
    const auto two = ordered(2), one = ordered(1), twoAgain = ordered(2), zero = ordered(0), three = ordered(3);
    MessageRecorder recorder(list);
    list->addSeparator();
    for (Argument* a : std::initializer_list<Argument*>{two, one, twoAgain, zero, three})
        list->addArgumentSorted(a);
    // Equal keys keep their order; the separator is passed over.
    EXPECT_EQ(entries(*list), (std::vector<const Argument*>{nullptr, zero, one, two, twoAgain, three}));
    EXPECT_EQ(recorder.chains.size(), 5u); // the separator sent nothing

    const auto inner = make<Arguments>(), deepest = make<Arguments>();
    const auto group = make<GroupOfArguments>(inner), deep = make<GroupOfArguments>(deepest);
    const auto nested = ordered(5);
    list->addArgument(group);
    inner->addArgument(deep);
    deepest->addArgument(nested);
    recorder.chains.clear();
    const std::vector<const Argument*> before = entries(*list);
    const std::pair<Arguments*, Argument*> refused[] = {
        {list, one}, {list, nested}, {inner, group}, {deepest, group}, {deepest, deep}};
    for (const auto& [into, arg] : refused) {
        EXPECT_THROW(into->addArgument(arg), CycleError);
        EXPECT_THROW(into->addArgumentSorted(arg), CycleError);
    }
    EXPECT_THROW(list->addArgument(nullptr), NullError);
    EXPECT_THROW(list->addArgumentSorted(nullptr), NullError);
    EXPECT_THROW(list->removeArgument(nullptr), NullError);
    for (int i : {-1, list->getNumArguments()})
        EXPECT_THROW(list->getArgument(i), IndexError);
    list->removeArgument(ordered(0));
    EXPECT_EQ(std::tuple(entries(*list), recorder.chains.size(), inner->getNumArguments(), deepest->getNumArguments()),
              std::tuple(before, 0u, 1, 1));

    // A nested change arrives through every level; a removed argument's
    // changes no longer arrive.
    nested->setArgumentControlHint(EArgumentControlHint::Gauge);
    list->removeArgument(one);
    one->setArgumentControlHint(EArgumentControlHint::Gauge);
    ASSERT_EQ(recorder.chains.size(), 2u);
    EXPECT_EQ(std::tuple(recorder.chains[0].size(), recorder.chains[0].back(), recorder.chains[1]),
              std::tuple(6u, tnUITest::Link{nested, Message::State}, Chain{{list, Message::Structure}}));

    // The weakest state of the arguments; reset reaches each of them.
    using S = EArgumentState;
    const auto fresh = make<Arguments>();
    std::vector<S> states{fresh->getState()};
    fresh->addSeparator();
    for (S s : {S::ValidPreset, S::ValidSet, S::Invalid}) {
        states.push_back(fresh->getState());
        fresh->addArgument(ordered(0, s));
    }
    states.push_back(fresh->getState());
    EXPECT_EQ(states, (std::vector<S>{S::Invalid, S::Invalid, S::ValidPreset, S::ValidSet, S::Invalid}));

    MessageRecorder resets(fresh);
    fresh->reset();
    EXPECT_EQ(resets.chains.size(), 3u);
}

TEST_F(ArgumentTest, FindArgumentOfValueSearchesDepthFirstInDisplayOrder)
{
    const auto v = make<BoolValue>(true), w = make<BoolValue>(true);
    const auto top = make<Arguments>(), mid = make<Arguments>(), low = make<Arguments>();
    const auto root = make<GroupOfArguments>(top), midGroup = make<GroupOfArguments>(mid),
               lowGroup = make<GroupOfArguments>(low);
    const auto deepW = make<ValueArgument>(w), deepV = make<ValueArgument>(v), laterV = make<ValueArgument>(v);
    top->addSeparator();
    top->addArgument(midGroup);
    top->addArgument(laterV);
    mid->addArgument(make<EnumArgument>());
    mid->addArgument(lowGroup);
    low->addArgument(deepW);
    low->addArgument(deepV);
    EXPECT_EQ(findArgumentOfValue(root, w), deepW.get());
    EXPECT_EQ(findArgumentOfValue(root, v), deepV.get());
    EXPECT_EQ(findArgumentOfValue(midGroup, make<BoolValue>(true)), nullptr);
    EXPECT_EQ(findArgumentOfValue(root, nullptr), nullptr);
    EXPECT_EQ(findArgumentOfValue(nullptr, v), nullptr);
}

TEST_F(ArgumentTest, ValueArgumentsRefuseWrongValuesAndKeepFormatsAndUnitLabel)
{
    EXPECT_THROW(ValueArgument(nullptr), NullError);
    EXPECT_THROW(ImageArgument(nullptr), NullError);
    const auto flag = make<BoolValue>(true);
    const auto image = make<ImageValue>(2, 2);
    ValueArgument value(flag);
    ImageArgument picture(image);
    EXPECT_THROW(value.setValue(nullptr), NullError);
    EXPECT_THROW(picture.setValue(static_cast<ImageValue*>(nullptr)), NullError);
    EXPECT_THROW(picture.setValue(static_cast<Value*>(nullptr)), NullError);
    EXPECT_THROW(picture.setValue(static_cast<Value*>(flag.get())), TypeError);
    EXPECT_EQ(std::tuple(value.getValue(), picture.getValue(), picture.getImage()),
              std::tuple(static_cast<Value*>(flag.get()), static_cast<Value*>(image.get()), image.get()));

    const auto arg = make<ValueArgument>();
    const auto format = [&arg] { return std::pair(arg->getDisplayFormat(), arg->getDisplayPrecision()); };
    arg->setFormatReal(3);
    EXPECT_EQ(format(), std::pair(ValueArgument::Real, 3));
    arg->setFormatInt();
    EXPECT_EQ(format(), std::pair(ValueArgument::Int, 0));

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
    EXPECT_EQ(recorder.chains, std::vector<Chain>(3, Chain{{arg.get(), Message::Forward}, {mm.get(), Message::Label}}));
}

TEST_F(ArgumentTest, EnumChoicesSelectionAndKind)
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
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{arg, Message::Structure}},
                                                   {{arg, Message::Structure}},
                                                   {{arg, Message::Forward}, {selected, Message::Value}},
                                                   {{arg, Message::Appearance}}}));

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
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{arg, Message::Structure}}}));
}

TEST_F(ArgumentTest, ImageSizeRequestsAndGroups)
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
    const auto group = make<GroupOfArguments>(list);
    const auto inside = make<ButtonArgument>();
    inside->setDefaultState(EArgumentState::ValidSet);
    list->addArgument(inside);
    group->setDefaultState(EArgumentState::Invalid);
    MessageRecorder recorder(group);
    group->setGroupOfArgumentsKind(EGroupOfArgumentsKind::Group);
    group->setGroupOfArgumentsKind(EGroupOfArgumentsKind::Page);
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

TEST_F(ArgumentTest, PaneSignalsAReplacementWithThePreviousArgumentAlive)
{
    const tn::Reference<ArgumentPane> pane(new ArgumentPane(make<LabelArgument>().get()));
    const Argument* first = pane->getArgument();
    bool firstAlive = true;
    tnRTB::SignalClient client;
    tnRTB::connect(first->destroyedSignal, &client, [&firstAlive](Entity*) { firstAlive = false; });
    using Seen = std::vector<std::tuple<const Argument*, const Argument*, bool>>;
    Seen seen;
    tnRTB::connect(pane->argumentSignal, &client,
                   [&](Argument* previous, Argument* shown) { seen.emplace_back(previous, shown, firstAlive); });
    const auto next = make<ButtonArgument>();
    pane->setArgument(next);
    pane->setArgument(next);
    pane->setArgument(nullptr);
    // The pane held the last reference on the first argument: it died after
    // the listeners saw it.
    EXPECT_FALSE(firstAlive);
    EXPECT_EQ(seen, (Seen{{first, next.get(), true}, {next.get(), nullptr, false}}));
    EXPECT_EQ(pane->getArgument(), nullptr);
}

TEST_F(ArgumentTest, ADumpRefusesAValueOutsideItsTableBeforeWritingALine)
{
    const auto state = make<ButtonArgument>(), defaultState = make<ButtonArgument>();
    state->setDefaultState(static_cast<EArgumentState>(7));
    state->reset();
    defaultState->setDefaultState(static_cast<EArgumentState>(-1));
    const auto choice = make<EnumArgument>();
    choice->setEnumArgumentKind(static_cast<EEnumArgumentKind>(10));
    const auto group = make<GroupOfArguments>(make<Arguments>().get());
    group->setGroupOfArgumentsKind(static_cast<EGroupOfArgumentsKind>(3));
    for (const Argument* a : std::initializer_list<const Argument*>{state, defaultState, choice, group}) {
        tnUITest::DumpCapture dump;
        EXPECT_THROW(a->dump(dump.file, 0, nullptr), ImplError);
        EXPECT_EQ(dump.lines(), std::vector<std::string>{});
    }
}

template <class E>
const char* text(int v)
{
    return enumName(static_cast<E>(v));
}

TEST(ArgumentEnumText, EveryEnumerationHasItsFixedTexts)
{
    struct Table {
        const char* (*text)(int);
        int first;
        const char* texts;
    };
    // clang-format off
    const Table tables[] = {
        {text<EArgumentState>, 0, "Invalid ValidDefault ValidSet ValidPreset"},
        {text<EArgumentControlHint>, 0,
         "Default Slider Gauge RVEC RVECNoTracking FontComboBox PushButton DoneButton Switch"},
        {text<EArgumentItemEvent>, 0,
         "ItemNoEvent ItemSelected ItemUnselected ItemChecked ItemUnchecked ItemDoubleClicked"},
        {text<ValueArgument::Format>, 1, "Natural Bool Int Real String"},
        {text<EEnumArgumentKind>, 0,
         "Popup ListBox Segmented Segmented1 Segmented2 Segmented3 Radio1 Radio2 Radio3 MarkingMenu"},
        {text<EGroupOfArgumentsKind>, 0, "Group Page Collapsible"},
        {text<EGroupOfArgumentsControlHint>, 0, "AsArguments Sliders ColorControl ColorWell BrushWell BrushControl"},
    };
    // clang-format on
    for (const Table& t : tables) {
        SCOPED_TRACE(t.texts);
        std::istringstream words(t.texts);
        int v = t.first;
        for (std::string word; words >> word; ++v)
            EXPECT_STREQ(t.text(v), word.c_str());
        for (int outside : {t.first - 1, v, 1000})
            EXPECT_THROW(t.text(outside), ImplError) << outside;
    }
}

} // namespace
