// Command definitions: naming rules of the constructors, the enabled
// condition and its "Appearance" messages, the class and force command as
// forwarded members, the kinds' answers and the dumps.

#include "commands/CommandTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Name.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>

#include <gtest/gtest.h>

namespace {

using tnString::CString;
using tnUI::BoolValue;
using tnUI::CommandInstance;
using tnUI::ContinuousCommandDefn;
using tnUI::Message;
using tnUI::MomentaryCommandDefn;
using tnUITest::Chain;
using tnUITest::Log;
using tnUITest::MessageRecorder;

class CommandDefnTest : public tnUITest::EntityTest {};

// A plain definition, neither momentary nor continuous, as a host may derive
// one; its condition is built on demand from a flag it is given.
class PlainCommand : public tnUI::CommandDefn {
public:
    PlainCommand() = default;
    explicit PlainCommand(const tnUI::Name* n) : CommandDefn(n) {}
    explicit PlainCommand(const CString& t) : CommandDefn(t) {}

    tn::Reference<tnUI::NumericValue> createCondition() override
    {
        ++conditionsMade;
        return condition;
    }

    tn::Reference<tnUI::NumericValue> condition;
    int conditionsMade = 0;
};

TEST_F(CommandDefnTest, ConstructorsNameTheCommand)
{
    const tn::Reference<tnUI::Name> name(new tnUI::Name(CString("save")));
    EXPECT_STREQ(tn::Reference<PlainCommand>(new PlainCommand(name.get()))->nameAsChar(), "save");
    EXPECT_EQ(tn::Reference<PlainCommand>(new PlainCommand(name.get()))->getName(), name.get());
    EXPECT_STREQ(tn::Reference<MomentaryCommandDefn>(new MomentaryCommandDefn(CString("cut")))->nameAsChar(), "cut");
    EXPECT_STREQ(tn::Reference<ContinuousCommandDefn>(new ContinuousCommandDefn(name.get()))->nameAsChar(), "save");
    EXPECT_EQ(tn::Reference<PlainCommand>(new PlainCommand)->getName(), nullptr);
}

TEST_F(CommandDefnTest, ConstructorsRefuseAMissingOrChangingName)
{
    const tn::Reference<tnUI::Name> empty(new tnUI::Name(CString("")));
    const tn::Reference<tnUI::MutableName> changing(new tnUI::MutableName(CString("open")));
    EXPECT_THROW(tn::Reference<PlainCommand>(new PlainCommand(static_cast<const tnUI::Name*>(nullptr))),
                 tnUI::NullError);
    EXPECT_THROW(tn::Reference<PlainCommand>(new PlainCommand(empty.get())), tnUI::NullError);
    EXPECT_THROW(tn::Reference<MomentaryCommandDefn>(new MomentaryCommandDefn(CString(""))), tnUI::NullError);
    EXPECT_THROW(tn::Reference<ContinuousCommandDefn>(new ContinuousCommandDefn(CString(""))), tnUI::NullError);
    EXPECT_THROW(tn::Reference<tnUI::TestCommandDefn>(new tnUI::TestCommandDefn(CString(""))), tnUI::NullError);
    // A name that may change cannot name a command; the refused name is still
    // whole.
    EXPECT_THROW(tn::Reference<MomentaryCommandDefn>(new MomentaryCommandDefn(changing.get())), tnUI::ImplError);
    EXPECT_EQ(changing->getRefCount(), 1);
}

TEST_F(CommandDefnTest, KindsAnswerWhatTheyAre)
{
    struct Case {
        const char* what;
        tn::Reference<tnUI::CommandDefn> defn;
        bool momentary, continuous, actsLikeMomentary, tool;
    };
    const tn::Reference<ContinuousCommandDefn> transient(new ContinuousCommandDefn(CString("zoom")));
    transient->setActsLikeMomentary(true);
    const Case cases[] = {
        {"plain", new PlainCommand(CString("p")), false, false, false, false},
        {"momentary", new MomentaryCommandDefn(CString("m")), true, false, true, false},
        {"test", new tnUI::TestCommandDefn(CString("t")), true, false, true, false},
        {"continuous", new ContinuousCommandDefn(CString("c")), false, true, false, true},
        {"transient tool", transient, false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.defn->isMomentary(), c.momentary);
        EXPECT_EQ(c.defn->isContinuous(), c.continuous);
        EXPECT_EQ(c.defn->actsLikeMomentary(), c.actsLikeMomentary);
        EXPECT_EQ(c.defn->isTool(), c.tool);
    }
}

TEST_F(CommandDefnTest, EnabledFollowsTheExpressionAndItsChangesArriveAsAppearance)
{
    const tn::Reference<PlainCommand> defn(new PlainCommand(CString("paste")));
    const tn::Reference<BoolValue> clipboardFull(new BoolValue(false));
    EXPECT_TRUE(defn->getEnabled());

    MessageRecorder recorder(defn.get());
    defn->setEnabledExpression(clipboardFull.get());
    EXPECT_TRUE(recorder.chains.empty()); // setting sends nothing
    EXPECT_FALSE(defn->getEnabled());

    clipboardFull->setValue(true);
    EXPECT_TRUE(defn->getEnabled());
    ASSERT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(recorder.chains[0], (Chain{{defn.get(), Message::Appearance}, {clipboardFull.get(), Message::Value}}));

    // An expression tree: its forwarded change is resent the same way.
    const tn::Reference<tnUI::ExpressionNot> negated(new tnUI::ExpressionNot(clipboardFull.get()));
    defn->setEnabledExpression(negated.get());
    EXPECT_FALSE(defn->getEnabled());
    recorder.chains.clear();
    clipboardFull->setValue(false);
    EXPECT_TRUE(defn->getEnabled());
    ASSERT_EQ(recorder.chains.size(), 1U); // the replaced expression is no longer heard
    EXPECT_EQ(recorder.chains[0], (Chain{{defn.get(), Message::Appearance},
                                         {negated.get(), Message::Forward},
                                         {clipboardFull.get(), Message::Value}}));

    defn->setEnabledExpression(nullptr);
    EXPECT_TRUE(defn->getEnabled());
    clipboardFull->setValue(true);
    EXPECT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(clipboardFull->getRefCount(), 2); // ours and the negation's
}

TEST_F(CommandDefnTest, UnsetEnabledExpressionRaisesThroughGetEnabled)
{
    const tn::Reference<PlainCommand> defn(new PlainCommand(CString("p")));
    const tn::Reference<BoolValue> unset(new BoolValue);
    defn->setEnabledExpression(unset.get());
    EXPECT_THROW(defn->getEnabled(), tnUI::NotSetError);
}

// A host's condition, computed from a flag of the host.
class FlagCondition : public tnUI::Condition {
public:
    bool compute() override { return flag; }

    bool flag = false;
};

TEST_F(CommandDefnTest, HostConditionIsInstalledFromCreateCondition)
{
    const tn::Reference<PlainCommand> defn(new PlainCommand(CString("undo")));
    defn->setCommandEnabledCondition(); // no condition: nothing installed
    EXPECT_EQ(defn->conditionsMade, 1);
    EXPECT_EQ(defn->getEnabledExpression(), nullptr);

    const tn::Reference<FlagCondition> condition(new FlagCondition);
    condition->update();
    defn->condition = condition.get();
    defn->setCommandEnabledCondition();
    EXPECT_EQ(defn->getEnabledExpression(), condition.get());
    EXPECT_FALSE(defn->getEnabled());

    MessageRecorder recorder(defn.get());
    condition->flag = true;
    condition->update();
    EXPECT_TRUE(defn->getEnabled());
    ASSERT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(recorder.chains[0].front(), (tnUITest::Link{defn.get(), Message::Appearance}));

    // The definition's and the test's references; the temporary one is gone.
    defn->condition = nullptr;
    EXPECT_EQ(condition->getRefCount(), 2);
}

TEST_F(CommandDefnTest, ClassIsForwardedAndReplacedSilently)
{
    Log log;
    const tn::Reference<tnUITest::LoggingClass> drawing(new tnUITest::LoggingClass(nullptr, log));
    const tn::Reference<tnUITest::LoggingClass> viewing(new tnUITest::LoggingClass(nullptr, log));
    const tn::Reference<ContinuousCommandDefn> pen(new ContinuousCommandDefn(CString("pen")));
    MessageRecorder recorder(pen.get());

    pen->setClass(drawing.get());
    EXPECT_TRUE(recorder.chains.empty());
    EXPECT_EQ(pen->getClass(), drawing.get());

    drawing->setName(CString("drawing")); // a "Name" message of the class
    ASSERT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(recorder.chains[0], (Chain{{pen.get(), Message::Forward}, {drawing.get(), Message::Name}}));

    pen->setClass(viewing.get());
    viewing->setName(CString("v"));
    EXPECT_EQ(recorder.chains.size(), 2U);
    EXPECT_EQ(recorder.chains[1].back().entity, viewing.get());

    pen->setClass(nullptr);
    EXPECT_EQ(pen->getClass(), nullptr);
    EXPECT_EQ(viewing->getRefCount(), 1);
    EXPECT_TRUE(log.empty()); // the class is told nothing by the definition
}

TEST_F(CommandDefnTest, ForceCommandMustBeAToolThatStaysSelected)
{
    const tn::Reference<MomentaryCommandDefn> paste(new MomentaryCommandDefn(CString("paste")));
    EXPECT_TRUE(paste->getDoesStateChange());
    EXPECT_EQ(paste->getForceCommand(), nullptr);

    const tn::Reference<ContinuousCommandDefn> select(new ContinuousCommandDefn(CString("select")));
    const tn::Reference<ContinuousCommandDefn> zoom(new ContinuousCommandDefn(CString("zoom")));
    zoom->setActsLikeMomentary(true);
    const tn::Reference<CommandInstance> selectTool(new CommandInstance(select.get()));
    const tn::Reference<CommandInstance> zoomTool(new CommandInstance(zoom.get()));
    const tn::Reference<CommandInstance> other(new CommandInstance(new MomentaryCommandDefn(CString("copy"))));

    EXPECT_THROW(paste->setForceCommand(nullptr), tnUI::NullError);
    EXPECT_THROW(paste->setForceCommand(zoomTool.get()), tnUI::ImplError);
    EXPECT_THROW(paste->setForceCommand(other.get()), tnUI::ImplError);
    EXPECT_EQ(paste->getForceCommand(), nullptr);

    MessageRecorder recorder(paste.get());
    paste->setForceCommand(selectTool.get());
    EXPECT_EQ(paste->getForceCommand(), selectTool.get());
    EXPECT_TRUE(recorder.chains.empty());

    // The force command's messages, its definition's included, come through.
    const tn::Reference<tnUI::MutableLabel> label(new tnUI::MutableLabel("Select"));
    select->setLabel(label.get());
    label->set("Pick");
    ASSERT_EQ(recorder.chains.size(), 2U);
    EXPECT_EQ(recorder.chains[1], (Chain{{paste.get(), Message::Forward},
                                         {selectTool.get(), Message::Forward},
                                         {select.get(), Message::Forward},
                                         {label.get(), Message::Label}}));

    paste->setDoesStateChange(false);
    EXPECT_FALSE(paste->getDoesStateChange());
    EXPECT_EQ(recorder.chains.size(), 2U);
}

TEST_F(CommandDefnTest, ContinuousDefaultsAndFlags)
{
    const tn::Reference<ContinuousCommandDefn> tool(new ContinuousCommandDefn(CString("brush")));
    EXPECT_FALSE(tool->actsLikeMomentary());
    EXPECT_FALSE(tool->getAllMotionEvents());
    EXPECT_TRUE(tool->getCompressMotionEvents());

    MessageRecorder recorder(tool.get());
    tool->setActsLikeMomentary(true);
    tool->setAllMotionEvents(true);
    tool->setCompressMotionEvents(false);
    EXPECT_TRUE(tool->actsLikeMomentary());
    EXPECT_TRUE(tool->getAllMotionEvents());
    EXPECT_FALSE(tool->getCompressMotionEvents());
    EXPECT_TRUE(recorder.chains.empty());

    // finished() with nobody listening reaches nobody; a listener hears the
    // definition itself.
    tool->finished();
    std::vector<ContinuousCommandDefn*> heard;
    tnRTB::SignalClient client;
    tnRTB::connect(tool->finishedSignal, &client, [&heard](ContinuousCommandDefn* d) { heard.push_back(d); });
    tool->finished();
    EXPECT_EQ(heard, (std::vector<ContinuousCommandDefn*>{tool.get()}));
}

TEST_F(CommandDefnTest, DefaultInteractionsNeedAState)
{
    const tn::Reference<ContinuousCommandDefn> tool(new ContinuousCommandDefn(CString("brush")));
    const tn::Reference<CommandInstance> ci(new CommandInstance(tool.get()));
    tnUI::CallInfo call(nullptr, nullptr, nullptr, ci.get());
    tnUI::MouseEvent m;
    tnUI::KeyEvent k;
    tnUI::WheelEvent w;
    tnUI::TabletEvent t;
    EXPECT_THROW(tool->commandSelected(call), tnUI::ImplError);
    EXPECT_THROW(tool->newInteraction(call, true), tnUI::ImplError);
    EXPECT_THROW(tool->commandUnselected(call), tnUI::ImplError);
    EXPECT_THROW(tool->start(call), tnUI::ImplError);
    EXPECT_THROW(tool->stop(call), tnUI::ImplError);
    EXPECT_THROW(tool->handleEvent(call, m), tnUI::ImplError);
    EXPECT_THROW(tool->handleEvent(call, k), tnUI::ImplError);
    EXPECT_THROW(tool->handleEvent(call, w), tnUI::ImplError);
    EXPECT_THROW(tool->handleEvent(call, t), tnUI::ImplError);
}

TEST_F(CommandDefnTest, Dumps)
{
    using tnUITest::dumpOf;
    using tnUITest::head;
    const tn::Reference<tnUI::TestCommandDefn> trial(new tnUI::TestCommandDefn(CString("trial")));
    tnUI::CallInfo call(nullptr, nullptr, nullptr, nullptr);
    trial->execute(call); // does nothing, raises nothing

    const tnUITest::DumpText trialDump = dumpOf(*trial, "cmd");
    ASSERT_GE(trialDump.size(), 3U);
    EXPECT_EQ(trialDump.front(), head(*trial, "cmd"));
    EXPECT_EQ(trialDump.back(), (std::pair<int, std::string>{1, "doesStateChange = true"}));

    // Enabled expression and class after the decorated entity's lines; then
    // the force command and the flag.
    Log log;
    const tn::Reference<tnUITest::LoggingClass> editing(new tnUITest::LoggingClass("editing", log));
    const tn::Reference<BoolValue> enabled(new BoolValue(true));
    const tn::Reference<ContinuousCommandDefn> select(new ContinuousCommandDefn(CString("select")));
    const tn::Reference<CommandInstance> selectTool(new CommandInstance(select.get()));
    const tn::Reference<MomentaryCommandDefn> paste(new MomentaryCommandDefn(CString("paste")));
    paste->setEnabledExpression(enabled.get());
    paste->setClass(editing.get());
    paste->setForceCommand(selectTool.get());
    paste->setDoesStateChange(false);

    const tnUITest::DumpText pasteDump = dumpOf(*paste);
    std::vector<std::pair<int, std::string>> heads;
    for (const auto& line : pasteDump) {
        if (line.first == 1 && line.second.rfind("entity ", 0) == 0)
            heads.push_back(line);
    }
    ASSERT_EQ(heads.size(), 4U); // name, enabled, class, forceCommand
    EXPECT_EQ(heads[1], head(*enabled, "enabled", 1));
    EXPECT_EQ(heads[2], head(*editing, "class", 1));
    EXPECT_EQ(heads[3], head(*selectTool, "forceCommand", 1));
    EXPECT_EQ(pasteDump.back(), (std::pair<int, std::string>{1, "doesStateChange = false"}));

    // A tool ends with its two flags; compressMotionEvents is not written.
    select->setAllMotionEvents(true);
    const tnUITest::DumpText toolDump = dumpOf(*select);
    ASSERT_GE(toolDump.size(), 2U);
    EXPECT_EQ(toolDump[toolDump.size() - 2], (std::pair<int, std::string>{1, "actsLikeMomentary = false"}));
    EXPECT_EQ(toolDump.back(), (std::pair<int, std::string>{1, "allMotionEvents = true"}));
}

} // namespace
