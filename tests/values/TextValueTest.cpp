// Text values: the label they pass on, default and reset, and assign, after
// which the shared text's changes reach both values' listeners.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/values/TextValue.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using tnUI::Label;
using tnUI::Message;
using tnUI::MutableLabel;
using tnUI::TextValue;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class TextValueTest : public tnUITest::EntityTest {};

TEST_F(TextValueTest, LabelChangesArriveAsForward)
{
    const tn::Reference<TextValue> value(new TextValue);
    MessageRecorder recorder(value);
    MutableLabel* text = value->getValue();
    text->set("Hello");
    text->set("Hello");
    value->markChanged();
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{value.get(), Message::Forward}, {text, Message::Label}},
                                                   {{value.get(), Message::Value}}}));
}

TEST_F(TextValueTest, DefaultAndReset)
{
    const tn::Reference<Label> label(new Label("Title"));
    const tn::Reference<TextValue> value(new TextValue(label.get()));
    EXPECT_TRUE(*value->getValue() == L"Title");
    MessageRecorder recorder(value);
    // The default starts empty; setting it sends nothing.
    value->reset();
    EXPECT_TRUE(value->getValue()->isEmpty());
    const tn::Reference<Label> fallback(new Label("Untitled"));
    value->setDefault(fallback.get());
    value->reset();
    value->reset();
    EXPECT_TRUE(*value->getValue() == L"Untitled" && recorder.chains.size() == 2u);

    const Label* none = nullptr;
    EXPECT_THROW(tn::Reference<TextValue>(new TextValue(none)), tnUI::NullError);
    EXPECT_THROW(value->setDefault(none), tnUI::NullError);
}

TEST_F(TextValueTest, AssignSharesTheTextAndMovesListening)
{
    tn::Reference<TextValue> source(new TextValue);
    const tn::Reference<TextValue> target(new TextValue);
    const tn::Reference<Label> fallback(new Label("Default"));
    source->setDefault(fallback.get());
    source->setEditble(false);
    const tn::Reference<MutableLabel> ownLabel(target->getValue());
    MessageRecorder sourceRecorder(source), targetRecorder(target);

    EXPECT_FALSE(target->assign(nullptr));
    EXPECT_TRUE(target->assign(source));
    // Again, and from itself: still one connection to the shared text.
    EXPECT_TRUE(target->assign(source) && target->assign(target));
    EXPECT_EQ(std::tuple(target->getValue(), target->getEditable()), std::tuple(source->getValue(), false));
    EXPECT_TRUE(targetRecorder.chains.empty());

    MutableLabel* shared = source->getValue();
    shared->set("Changed");
    ownLabel->set("Forgotten");
    EXPECT_EQ(targetRecorder.chains,
              (std::vector<Chain>{{{target.get(), Message::Forward}, {shared, Message::Label}}}));
    EXPECT_EQ(sourceRecorder.chains.size(), 1u);

    // The shared text outlives the source; reset uses the copied default.
    source = nullptr;
    target->reset();
    EXPECT_TRUE(*target->getValue() == L"Default" && targetRecorder.chains.size() == 2u);
}

} // namespace
