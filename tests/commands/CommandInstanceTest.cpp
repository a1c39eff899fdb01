// Command instances without documents: messages, states and values.

#include "commands/CommandTestSupport.h"

#include <tnUI/values/Expression.h>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;
using Chains = std::vector<Chain>;

class CommandInstanceTest : public EntityTest {
protected:
    void SetUp() override
    {
        EntityTest::SetUp();
        defn = new MomentaryCommandDefn(CString("print"));
        ci = new CommandInstance(defn.get());
    }
    void TearDown() override
    {
        ci = nullptr;
        defn = nullptr;
        EntityTest::TearDown();
    }

    tn::Reference<MomentaryCommandDefn> defn;
    tn::Reference<CommandInstance> ci;
};

TEST_F(CommandInstanceTest, DefinitionAndExpressionChangesReachTheInstancesListener)
{
    const tn::Reference<MutableLabel> text(new MutableLabel("Print"));
    const tn::Reference<BoolValue> ready(new BoolValue(true)), a(new BoolValue(false)), b(new BoolValue(false)),
        c(new BoolValue(false)), d(new BoolValue(false));
    defn->setLabel(text.get());
    defn->setEnabledExpression(ready.get());
    MessageRecorder recorder(ci.get());
    ci->setEnabledExpression(a.get());
    ci->setCheckedExpression(b.get());
    ci->setVisibilityExpression(c.get());
    ci->setGroupExclusiveExpression(d.get());
    EXPECT_TRUE(recorder.chains.empty()); // setting sends nothing
    text->set("Print all");
    ready->setValue(false);
    Chains expected = {
        {{ci.get(), Message::Forward}, {defn.get(), Message::Forward}, {text.get(), Message::Label}},
        {{ci.get(), Message::Forward}, {defn.get(), Message::Appearance}, {ready.get(), Message::Value}}};
    for (BoolValue* v : {a.get(), b.get(), c.get(), d.get()}) {
        v->setValue(true);
        expected.push_back({{ci.get(), Message::Appearance}, {v, Message::Value}});
    }
    EXPECT_EQ(recorder.chains, expected);

    // One expression in two slots is heard once per slot; replacing one slot
    // lets go of it there only.
    ci->setCheckedExpression(a.get());
    recorder.chains.clear();
    a->setValue(false);
    EXPECT_EQ(recorder.chains.size(), 2U);
    ci->setCheckedExpression(nullptr);
    recorder.chains.clear();
    b->setValue(false);
    a->setValue(true);
    EXPECT_EQ(recorder.chains, (Chains{{{ci.get(), Message::Appearance}, {a.get(), Message::Value}}}));
}

TEST_F(CommandInstanceTest, VisibleSelectedAndGroupedStates)
{
    MessageRecorder recorder(ci.get());
    ci->setVisible(false); // makes a flag once, then changes it
    auto* flag = dynamic_cast<BoolValue*>(ci->getVisibilityExpression());
    ASSERT_NE(flag, nullptr);
    EXPECT_EQ(flag->getRefCount(), 1);
    ci->setVisible(true);
    ci->setVisible(true); // no change, no message
    ci->setSelected(true);
    ci->setSelected(true);
    EXPECT_EQ(ci->getVisibilityExpression(), flag);
    EXPECT_EQ(recorder.chains, (Chains{{{ci.get(), Message::Appearance}},
                                       {{ci.get(), Message::Appearance}, {flag, Message::Value}},
                                       {{ci.get(), Message::Appearance}}}));
    // A computed visibility is refused and left alone.
    const tn::Reference<BoolValue> shown(new BoolValue(true));
    const tn::Reference<ExpressionNot> hidden(new ExpressionNot(shown.get()));
    ci->setVisibilityExpression(hidden.get());
    EXPECT_THROW(ci->setVisible(true), TypeError);
    EXPECT_EQ(ci->getVisibilityExpression(), hidden.get());

    // The group-exclusive expression counts only while grouped.
    const tn::Reference<BoolValue> exclusive(new BoolValue(true));
    ci->setGroupExclusiveExpression(exclusive.get());
    EXPECT_EQ(ci->getGroupExclusiveExpression(), nullptr);
    ci->setGroupedName(CString("alignment"));
    EXPECT_EQ(static_cast<const CommandInstance&>(*ci).getGroupExclusiveExpression(), exclusive.get());
    ci->setGroupedName(CString(""));
    EXPECT_FALSE(ci->isGrouped());
    EXPECT_EQ(recorder.chains.size(), 3U);
}

tn::Reference<Value> named(const char* name)
{
    tn::Reference<Value> value(new BoolValue(true));
    if (name)
        value->setName(CString(name));
    return value;
}

TEST_F(CommandInstanceTest, ValueTableAndIterator)
{
    const auto a = named("a"), a2 = named("a"), b = named("b"), c = named("c"), nameless = named(nullptr);
    for (const auto& v : {a, b, c})
        ci->addValue(v.get());
    EXPECT_THROW(ci->addValue(a2.get()), DuplicateError);
    EXPECT_THROW(ci->addValue(nullptr), NullError);
    EXPECT_THROW(new CommandInstance(nullptr), NullError);
    EXPECT_THROW(ci->addValue(nameless.get()), NullError);
    EXPECT_EQ(ci->getValue(CString("a")), a.get());
    EXPECT_EQ(ci->getValue(CString("d")), nullptr);
    EXPECT_EQ(a->getRefCount(), 2);

    EXPECT_THROW(CommandInstanceValueIterator(nullptr), NullError);
    std::set<Value*> seen;
    for (CommandInstanceValueIterator it(ci.get()); it.valid(); it.next())
        seen.insert(it.get());
    EXPECT_EQ(seen, (std::set<Value*>{a.get(), b.get(), c.get()}));

    // Removal goes by the name: the stored one goes.
    EXPECT_FALSE(ci->removeValue(nullptr));
    EXPECT_FALSE(ci->removeValue(nameless.get()));
    EXPECT_TRUE(ci->removeValue(a2.get()));
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_FALSE(ci->removeValue(a.get()));

    // The instance holds its definition, values and expressions until it dies.
    const tn::Reference<BoolValue> expr(new BoolValue(true));
    ci->setEnabledExpression(expr.get());
    ci = nullptr;
    EXPECT_EQ(std::tuple(defn->getRefCount(), b->getRefCount(), expr->getRefCount()), std::tuple(1, 1, 1));
    EXPECT_EQ(defn->messageSignal.getNumConnections() + expr->messageSignal.getNumConnections(), 0);
}

} // namespace
