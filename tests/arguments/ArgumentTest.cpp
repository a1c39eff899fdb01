// Arguments and their lists: the enabled expression and the messages of
// state, hint and reset; sorted insertion, refused insertions, the list's
// state and forwarding; the search of a value through nested groups; and the
// texts of every argument enumeration.

#include "entity/EntityTestSupport.h"

#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/entity/Error.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/RealValue.h>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

namespace {

using namespace tnUI;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class ArgumentTest : public tnUITest::EntityTest {};

template <class T, class... A>
tn::Reference<T> make(A... a)
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
    std::vector<const Argument*> out;
    for (int i = 0; i < list.getNumArguments(); ++i)
        out.push_back(list.getArgument(i));
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
    const Argument* a = arg.get();
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{a, Message::State}},
                                                   {{a, Message::State}},
                                                   {{a, Message::State}, {flag.get(), Message::Value}},
                                                   {{a, Message::State}},
                                                   {{a, Message::Value}},
                                                   {{a, Message::Value}}}));
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
    const Argument* a = item.get();
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{a, Message::Forward}, {flag.get(), Message::Value}},
                                                   {{a, Message::Forward}, {flag.get(), Message::Value}},
                                                   {{a, Message::Value}}}));

    // An unset value refuses the reset: the state stays, nothing is sent.
    item->setValue(make<RealValue>());
    item->setDefaultState(EArgumentState::ValidSet);
    recorder.chains.clear();
    EXPECT_THROW(item->reset(), NotSetError);
    EXPECT_EQ(std::tuple(item->getState(), recorder.chains.size()), std::tuple(EArgumentState::Invalid, 0u));
}

TEST_F(ArgumentTest, ListsInsertSortedAndRefuseWhatWouldRepeatOrNest)
{
    const auto list = make<Arguments>();
    const auto two = ordered(2), one = ordered(1), twoAgain = ordered(2), zero = ordered(0), three = ordered(3);
    MessageRecorder recorder(list);
    list->addArgumentSorted(two);
    list->addSeparator();
    list->addArgumentSorted(one);
    list->addArgumentSorted(twoAgain);
    list->addArgumentSorted(zero);
    list->addArgumentSorted(three);
    // Equal keys keep their order; the separator is passed over.
    EXPECT_EQ(entries(*list), (std::vector<const Argument*>{zero, one, two, nullptr, twoAgain, three}));
    EXPECT_EQ(recorder.chains.size(), 5u); // the separator sent nothing

    const auto inner = make<Arguments>(), deepest = make<Arguments>();
    const auto group = make<GroupOfArguments>(inner.get()), deep = make<GroupOfArguments>(deepest.get());
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
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{list.get(), Message::Forward},
                                                    {group.get(), Message::Forward},
                                                    {inner.get(), Message::Forward},
                                                    {deep.get(), Message::Forward},
                                                    {deepest.get(), Message::Forward},
                                                    {nested.get(), Message::State}},
                                                   {{list.get(), Message::Structure}}}));
}

TEST_F(ArgumentTest, ListStateIsTheWeakestAndResetReachesEveryArgument)
{
    const auto list = make<Arguments>();
    EXPECT_EQ(list->getState(), EArgumentState::Invalid);
    list->addSeparator();
    EXPECT_EQ(list->getState(), EArgumentState::Invalid);
    const auto set = ordered(0, EArgumentState::ValidSet), preset = ordered(0, EArgumentState::ValidPreset);
    list->addArgument(preset);
    list->addArgument(set);
    EXPECT_EQ(list->getState(), EArgumentState::ValidSet);
    const auto invalid = ordered(0, EArgumentState::Invalid);
    list->addArgument(invalid);
    EXPECT_EQ(list->getState(), EArgumentState::Invalid);

    MessageRecorder recorder(list);
    list->reset();
    EXPECT_EQ(recorder.chains.size(), 3u);
}

TEST_F(ArgumentTest, FindArgumentOfValueSearchesDepthFirstInDisplayOrder)
{
    const auto v = make<BoolValue>(true), w = make<BoolValue>(true);
    const auto top = make<Arguments>(), mid = make<Arguments>(), low = make<Arguments>();
    const auto root = make<GroupOfArguments>(top.get()), midGroup = make<GroupOfArguments>(mid.get()),
               lowGroup = make<GroupOfArguments>(low.get());
    const auto deepW = make<ValueArgument>(w.get()), deepV = make<ValueArgument>(v.get()),
               laterV = make<ValueArgument>(v.get());
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

TEST(ArgumentEnumText, EveryEnumerationHasItsFixedTexts)
{
    struct Table {
        std::function<const char*(int)> text;
        int first;
        std::vector<const char*> texts;
    };
    const auto named = []<class E>(E*) { return [](int v) { return enumName(static_cast<E>(v)); }; };
    const Table tables[] = {
        {named(static_cast<EArgumentState*>(nullptr)), 0, {"Invalid", "ValidDefault", "ValidSet", "ValidPreset"}},
        {named(static_cast<EArgumentControlHint*>(nullptr)),
         0,
         {"Default", "Slider", "Gauge", "RVEC", "RVECNoTracking", "FontComboBox", "PushButton", "DoneButton",
          "Switch"}},
        {named(static_cast<EArgumentItemEvent*>(nullptr)),
         0,
         {"ItemNoEvent", "ItemSelected", "ItemUnselected", "ItemChecked", "ItemUnchecked", "ItemDoubleClicked"}},
        {named(static_cast<ValueArgument::Format*>(nullptr)), 1, {"Natural", "Bool", "Int", "Real", "String"}},
        {named(static_cast<EEnumArgumentKind*>(nullptr)),
         0,
         {"Popup", "ListBox", "Segmented", "Segmented1", "Segmented2", "Segmented3", "Radio1", "Radio2", "Radio3",
          "MarkingMenu"}},
        {named(static_cast<EGroupOfArgumentsKind*>(nullptr)), 0, {"Group", "Page", "Collapsible"}},
        {named(static_cast<EGroupOfArgumentsControlHint*>(nullptr)),
         0,
         {"AsArguments", "Sliders", "ColorControl", "ColorWell", "BrushWell", "BrushControl"}},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(t.texts.front());
        const int end = t.first + static_cast<int>(t.texts.size());
        for (int v = t.first; v < end; ++v)
            EXPECT_STREQ(t.text(v), t.texts[static_cast<std::size_t>(v - t.first)]);
        for (int v : {t.first - 1, end, 1000})
            EXPECT_THROW(t.text(v), ImplError) << v;
    }
}

} // namespace
