// Per-document states of command instances: attaching and refusing them,
// their owners' deaths and tools' states.

#include "commands/CommandTestSupport.h"

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;

// A state that is not a tool's.
class PlainState : public CommandInstanceState {
public:
    using CommandInstanceState::CommandInstanceState;
};

class CommandStateTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        doc = document("drawing");
        first = new DocumentInstance(doc);
        second = new DocumentInstance(doc);
        tool = new ContinuousCommandDefn(CString("pen"));
        pen = new CommandInstance(tool.get());
        action = new CommandInstance(new MomentaryCommandDefn(CString("clear")));
    }
    void TearDown() override
    {
        action = nullptr;
        pen = nullptr;
        tool = nullptr;
        ApplicationTest::TearDown();
    }

    static CallInfo callFor(DocumentInstance* d, CommandInstance* ci = nullptr)
    {
        return CallInfo(nullptr, nullptr, d, ci);
    }

    Document* doc = nullptr;
    DocumentInstance* first = nullptr;
    DocumentInstance* second = nullptr;
    tn::Reference<ContinuousCommandDefn> tool;
    tn::Reference<CommandInstance> pen;
    tn::Reference<CommandInstance> action;
};

TEST_F(CommandStateTest, OneStatePerDocumentInstanceTheLastOneWins)
{
    EXPECT_THROW(LoggingState(nullptr), NullError);
    EXPECT_THROW(pen->setInstanceState(nullptr), NullError);
    EXPECT_THROW(pen->clearInstanceState(nullptr), NullError);

    const tn::Reference<LoggingState> a(new LoggingState(first)), b(new LoggingState(first)),
        c(new LoggingState(second));
    pen->setInstanceState(a.get());
    pen->setInstanceState(c.get());
    EXPECT_EQ(std::tuple(a->inits, a->getCommand(), pen->getInstanceState(first), pen->getInstanceState(second)),
              std::tuple(1, tool.get(), a.get(), c.get()));

    pen->setInstanceState(b.get());
    EXPECT_EQ(pen->getInstanceState(first), b.get());
    EXPECT_EQ(b->getCommandInstance(), pen.get());
    EXPECT_EQ(a->getCommandInstance(), nullptr);
    EXPECT_EQ(a->getRefCount(), 1); // let go

    // Attaching the same state again re-initialises it and keeps it.
    pen->setInstanceState(b.get());
    EXPECT_EQ(std::pair(b->inits, b->getRefCount()), std::pair(2, 2));

    // Clearing leaves an empty slot.
    pen->clearInstanceState(first);
    EXPECT_EQ(pen->getInstanceState(first), nullptr);
    EXPECT_EQ(b->getCommandInstance(), nullptr);
    EXPECT_EQ(b->getRefCount(), 1);
}

TEST_F(CommandStateTest, ToolRefusesAStateThatIsNotAToolsAfterTheOldOneLostItsOwner)
{
    const tn::Reference<LoggingState> old(new LoggingState(first));
    const tn::Reference<PlainState> plain(new PlainState(callFor(first)));
    pen->setInstanceState(old.get());
    EXPECT_THROW(pen->setInstanceState(plain.get()), ImplError);
    EXPECT_EQ(old->getCommandInstance(), nullptr);
    EXPECT_EQ(pen->getInstanceState(first), old.get()); // still held, without owner
    EXPECT_EQ(plain->getRefCount(), 1);

    // A momentary command takes any kind of state.
    action->setInstanceState(plain.get());
    EXPECT_EQ(plain->getCommandInstance(), action.get());
}

TEST_F(CommandStateTest, StatesForgetADyingDocumentInstanceOrCommandInstance)
{
    const tn::Reference<LoggingState> s(new LoggingState(second)), kept(new LoggingState(first));
    pen->setInstanceState(s.get());
    pen->setInstanceState(kept.get());
    doc->removeInstance(second);
    EXPECT_EQ(std::tuple(s->getDocumentInstance(), s->getCommandInstance(), s->getRefCount()),
              std::tuple(nullptr, nullptr, 1));
    // Without its document instance it cannot be attached, and its call
    // record names none.
    EXPECT_THROW(pen->setInstanceState(s.get()), NullError);
    EXPECT_EQ(s->createCallInfo().getDocumentInstance(), nullptr);

    pen = nullptr;
    EXPECT_EQ(std::tuple(kept->getCommandInstance(), kept->getCommand(), kept->getRefCount()),
              std::tuple(nullptr, nullptr, 1));
    EXPECT_THROW(kept->getContinuousCommand(), ImplError);
}

TEST_F(CommandStateTest, ToolStateReachesItsDefinition)
{
    const tn::Reference<LoggingState> loose(new LoggingState(first));
    EXPECT_THROW(loose->finished(), ImplError);
    EXPECT_THROW(loose->setAllMotionEvents(true), ImplError);
    EXPECT_THROW(loose->getCompressMotionEvents(), ImplError);
    // Owned by a momentary command, it has no tool either.
    action->setInstanceState(loose.get());
    EXPECT_THROW(loose->getContinuousCommand(), ImplError);

    // Owned by a tool: the flags are the definition's, for every document,
    // and its call record names its window and command.
    auto* window = show(doc);
    const tn::Reference<LoggingState> s(new LoggingState(window->getDocumentInstance()));
    pen->setInstanceState(s.get());
    EXPECT_EQ(s->getContinuousCommand(), tool.get());
    const CallInfo call = s->createCallInfo();
    EXPECT_EQ(std::tuple(call.getWindow(), call.getCommandInstance(), call.getCommandInstanceState()),
              std::tuple(window, pen.get(), s.get()));
    s->setAllMotionEvents(true);
    s->setCompressMotionEvents(false);
    EXPECT_EQ(std::pair(tool->getAllMotionEvents(), tool->getCompressMotionEvents()), std::pair(true, false));
    int ends = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(tool->finishedSignal, &client, [&ends](ContinuousCommandDefn*) { ++ends; });
    s->finished();
    EXPECT_EQ(ends, 1);
}

TEST_F(CommandStateTest, DefaultToolCallsGoToTheStateOfTheCallsDocumentInstance)
{
    Log firstLog, secondLog;
    pen->setInstanceState(new LoggingState(first, &firstLog));
    pen->setInstanceState(new LoggingState(second, &secondLog));
    CallInfo call = callFor(second, pen.get());
    for (int i = 0; i < numInteractions; ++i)
        interact(*tool, call, i);
    EXPECT_EQ(joined(secondLog), "state.Selected state.NewInteraction(new) state.Start state.Mouse motion 0 state.Key "
                                 "state.Wheel 0 state.Tablet motion 0 state.Stop state.Unselected");

    // A state's own defaults do nothing.
    pen->setInstanceState(new ContinuousCommandState(callFor(first)));
    CallInfo firstCall = callFor(first, pen.get());
    for (int i = 0; i < numInteractions; ++i)
        interact(*tool, firstCall, i);
    EXPECT_TRUE(firstLog.empty());
}

} // namespace
