// Call records: answers, forgetting dying objects and copies.

#include "commands/CommandTestSupport.h"

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;

class CallInfoTest : public ShownDocumentTest {
protected:
    void SetUp() override
    {
        ShownDocumentTest::SetUp();
        pane = new HostPane;
        pane->setWindow(window);
        tool = new CommandInstance(new ContinuousCommandDefn(CString("pen")));
    }
    void TearDown() override
    {
        tool = nullptr;
        pane = nullptr;
        ShownDocumentTest::TearDown();
    }

    tn::Reference<HostPane> pane;
    tn::Reference<CommandInstance> tool;
};

TEST_F(CallInfoTest, AnswersFromItsObjects)
{
    const CallInfo empty(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::tuple(empty.getApplication(), empty.getEnvironment(), empty.getValue(CString("zoom"))),
              std::tuple(app.get(), nullptr, nullptr));
    const tn::Reference<Environment> editing(new Environment(CString("editing"), tnString::IString()));
    instance->setEnvironment(editing.get());
    BoolValue* zoom = registerBool(app.get(), CString("zoom"), true);
    const CallInfo call(pane.get(), window, instance, tool.get());
    EXPECT_EQ(
        std::tuple(call.getDocumentWindow(), call.getDocument(), call.getEnvironment(), call.getValue(CString("zoom"))),
        std::tuple(window, doc, editing.get(), zoom));

    // Valid needs the pane, window and document instance, not the command.
    EXPECT_TRUE(call.isValid() && CallInfo(pane.get(), window, instance, nullptr).isValid());
    EXPECT_FALSE(CallInfo(nullptr, window, instance, tool.get()).isValid());
    EXPECT_FALSE(CallInfo(pane.get(), nullptr, instance, tool.get()).isValid());
    EXPECT_FALSE(CallInfo(pane.get(), window, nullptr, tool.get()).isValid());
    const CallInfo other(nullptr, nullptr, nullptr, tool.get());
    EXPECT_TRUE(call.isSameCommandInstance(&other));
    EXPECT_FALSE(call.isSameCommandInstance(nullptr) || empty.isSameCommandInstance(&other));

    // A window that is not a document window belongs to none.
    const tn::Reference<TestWindow> loose(new TestWindow);
    EXPECT_EQ(CallInfo(nullptr, loose.get(), nullptr, nullptr).getDocumentWindow(), nullptr);
}

TEST_F(CallInfoTest, EachDyingObjectIsForgottenWithOneContentMessage)
{
    const tn::Reference<CallInfo> call(new CallInfo(pane.get(), window, instance, tool.get()));
    MessageRecorder recorder(call.get());
    tool = nullptr;
    EXPECT_EQ(call->getCommandInstance(), nullptr);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{call.get(), Message::Content}}}));
    EXPECT_FALSE(call->isCommandContinuous());

    pane = nullptr;
    EXPECT_EQ(call->getWindowPane(), nullptr);
    EXPECT_EQ(recorder.chains.size(), 2U);

    // The document lets go of the instance, which takes its window along.
    doc->removeInstance(instance);
    EXPECT_EQ(std::tuple(call->getWindow(), call->getDocumentInstance(), call->getDocument()),
              std::tuple(nullptr, nullptr, nullptr));
    EXPECT_EQ(recorder.chains.size(), 4U);
}

// How a pointer, its copies and assignments watch their objects is the
// watched pointer's test; here: a copy and an assigned record forget dying
// objects with their own content messages.
TEST_F(CallInfoTest, CopiesAndAssignedRecordsForgetOnTheirOwn)
{
    CallInfo original(nullptr, window, instance, tool.get());
    const CallInfo same(nullptr, window, instance, tool.get());
    const CallInfo& self = original;
    original = self;
    EXPECT_EQ(original.getWindow(), window);
    original = same;
    const tn::Reference<CommandInstance> other(new CommandInstance(new MomentaryCommandDefn(CString("m"))));
    original = CallInfo(pane.get(), nullptr, nullptr, other.get());
    EXPECT_EQ(std::tuple(original.getWindowPane(), original.getWindow(), original.getCommandInstance()),
              std::tuple(pane.get(), nullptr, other.get()));
    EXPECT_TRUE(original.isCommandMomentary() && original.actsLikeMomentary());

    MessageRecorder recorder(&original), sameRecorder(&same);
    const CallInfo copy(same); // NOLINT(performance-unnecessary-copy-initialization): the copy is tested
    tool = nullptr;
    EXPECT_TRUE(recorder.chains.empty());
    EXPECT_EQ(sameRecorder.chains.size(), 1U); // the copy's callback is its own
    EXPECT_EQ(std::tuple(copy.getCommandInstance(), same.getCommandInstance()), std::tuple(nullptr, nullptr));
    EXPECT_EQ(copy.getRefCount(), 0);
}

} // namespace
