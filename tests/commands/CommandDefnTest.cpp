// Command definitions: naming, kinds, the enabled condition and forwarded members.

#include "commands/CommandTestSupport.h"

#include <tnUI/entity/Name.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;
using Chains = std::vector<Chain>;

using CommandDefnTest = EntityTest;

// A definition neither momentary nor continuous, with a host's condition.
class PlainCommand : public CommandDefn {
public:
    explicit PlainCommand(const Name* n) : CommandDefn(n) {}
    tn::Reference<NumericValue> createCondition() override { return condition; }
    tn::Reference<NumericValue> condition;
};

// A host's condition, computed from a flag of the host.
class FlagCondition : public Condition {
public:
    bool compute() override { return flag; }
    bool flag = false;
};

template <class T, class Arg>
void make(Arg arg)
{
    const tn::Reference<T> made(new T(arg));
}

TEST_F(CommandDefnTest, NamesKindsAndRefusals)
{
    const tn::Reference<MutableName> changing(new MutableName(CString("open")));
    EXPECT_THROW(make<PlainCommand>(static_cast<const Name*>(nullptr)), NullError);
    EXPECT_THROW(make<PlainCommand>(tn::Reference<Name>(new Name(CString(""))).get()), NullError);
    EXPECT_THROW(make<MomentaryCommandDefn>(CString("")), NullError);
    EXPECT_THROW(make<ContinuousCommandDefn>(CString("")), NullError);
    EXPECT_THROW(make<MomentaryCommandDefn>(changing.get()), ImplError);
    EXPECT_EQ(changing->getRefCount(), 1); // the refused name is still whole

    const tn::Reference<Name> p(new Name(CString("p")));
    const tn::Reference<ContinuousCommandDefn> transient(new ContinuousCommandDefn(CString("zoom")));
    transient->setActsLikeMomentary(true);
    // Momentary, continuous, acts like momentary, tool.
    const std::pair<tn::Reference<CommandDefn>, std::string> kinds[] = {
        {new PlainCommand(p.get()), "0000"},
        {new MomentaryCommandDefn(CString("m")), "1010"},
        {new TestCommandDefn(CString("t")), "1010"},
        {new ContinuousCommandDefn(CString("c")), "0101"},
        {transient, "0111"},
    };
    for (const auto& [d, expected] : kinds) {
        const bool answers[] = {d->isMomentary(), d->isContinuous(), d->actsLikeMomentary(), d->isTool()};
        std::string text;
        for (bool a : answers)
            text += a ? '1' : '0';
        EXPECT_EQ(text, expected) << d->nameAsChar();
    }
}

TEST_F(CommandDefnTest, EnabledFollowsTheExpressionAndItsChangesArriveAsAppearance)
{
    const tn::Reference<Name> name(new Name(CString("paste")));
    const tn::Reference<PlainCommand> defn(new PlainCommand(name.get()));
    const tn::Reference<BoolValue> full(new BoolValue(false));
    MessageRecorder recorder(defn.get());
    defn->setEnabledExpression(full.get());
    EXPECT_FALSE(defn->getEnabled());
    // An expression tree: its forwarded change is resent the same way; the
    // replaced expression is no longer heard.
    const tn::Reference<ExpressionNot> negated(new ExpressionNot(full.get()));
    full->setValue(true);
    defn->setEnabledExpression(negated.get());
    full->setValue(false);
    EXPECT_TRUE(defn->getEnabled());
    EXPECT_EQ(
        recorder.chains,
        (Chains{{{defn.get(), Message::Appearance}, {full.get(), Message::Value}},
                {{defn.get(), Message::Appearance}, {negated.get(), Message::Forward}, {full.get(), Message::Value}}}));
    const tn::Reference<BoolValue> unset(new BoolValue);
    defn->setEnabledExpression(unset.get());
    EXPECT_THROW(defn->getEnabled(), NotSetError);

    // A host's condition comes from createCondition; none installs nothing.
    defn->setEnabledExpression(nullptr);
    defn->setCommandEnabledCondition();
    EXPECT_EQ(defn->getEnabledExpression(), nullptr);
    const tn::Reference<FlagCondition> condition(new FlagCondition);
    condition->update();
    defn->condition = condition.get();
    defn->setCommandEnabledCondition();
    defn->condition = nullptr;
    EXPECT_EQ(condition->getRefCount(), 2); // the definition's and the test's
    EXPECT_FALSE(defn->getEnabled());
    condition->flag = true;
    condition->update();
    EXPECT_TRUE(defn->getEnabled());
    EXPECT_EQ(recorder.chains.back().front(), (Link{defn.get(), Message::Appearance}));
}

TEST_F(CommandDefnTest, ClassAndForceCommandAreForwardedAndSetSilently)
{
    const tn::Reference<MomentaryCommandDefn> paste(new MomentaryCommandDefn(CString("paste")));
    Log log;
    const tn::Reference<LoggingClass> drawing(new LoggingClass(nullptr, log));
    const tn::Reference<ContinuousCommandDefn> select(new ContinuousCommandDefn(CString("select")));
    const tn::Reference<ContinuousCommandDefn> zoom(new ContinuousCommandDefn(CString("zoom")));
    zoom->setActsLikeMomentary(true);
    const tn::Reference<CommandInstance> selectTool(new CommandInstance(select.get()));
    const tn::Reference<CommandInstance> zoomTool(new CommandInstance(zoom.get()));
    EXPECT_THROW(paste->setForceCommand(nullptr), NullError);
    EXPECT_THROW(paste->setForceCommand(zoomTool.get()), ImplError);
    EXPECT_THROW(paste->setForceCommand(tn::Reference<CommandInstance>(new CommandInstance(paste.get())).get()),
                 ImplError);
    EXPECT_EQ(paste->getForceCommand(), nullptr);

    MessageRecorder recorder(paste.get());
    paste->setForceCommand(selectTool.get());
    paste->setClass(drawing.get());
    const tn::Reference<MutableLabel> label(new MutableLabel("Select"));
    select->setLabel(label.get());
    recorder.chains.clear();
    label->set("Pick");
    drawing->setName(CString("drawing"));
    paste->setClass(nullptr);
    EXPECT_EQ(recorder.chains, (Chains{{{paste.get(), Message::Forward},
                                        {selectTool.get(), Message::Forward},
                                        {select.get(), Message::Forward},
                                        {label.get(), Message::Label}},
                                       {{paste.get(), Message::Forward}, {drawing.get(), Message::Name}}}));
    EXPECT_EQ(drawing->getRefCount(), 1);
    EXPECT_TRUE(log.empty()); // the class is told nothing by the definition
}

TEST_F(CommandDefnTest, DefaultInteractionsNeedAStateAndFinishedReachesListeners)
{
    const tn::Reference<ContinuousCommandDefn> tool(new ContinuousCommandDefn(CString("brush")));
    const tn::Reference<CommandInstance> ci(new CommandInstance(tool.get()));
    CallInfo call(nullptr, nullptr, nullptr, ci.get());
    for (int i = 0; i < numInteractions; ++i)
        EXPECT_THROW(interact(*tool, call, i), ImplError) << i;
    std::vector<ContinuousCommandDefn*> heard;
    tnRTB::SignalClient client;
    tnRTB::connect(tool->finishedSignal, &client, [&heard](ContinuousCommandDefn* d) { heard.push_back(d); });
    tool->finished();
    EXPECT_EQ(heard, (std::vector<ContinuousCommandDefn*>{tool.get()}));
}

} // namespace
