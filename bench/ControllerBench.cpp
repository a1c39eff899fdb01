// Input delivery through a command controller: forwardEvent of one mouse drag
// motion to the current tool, without a listener and with one listener on
// clientCallSignal (each delivered event is bracketed by two notices), next
// to one emission of clientCallSignal on its own. The tool keeps its logic
// either in its definition (the direct case) or in its state for the
// document instance (the default operations look the state up per event).

#include "BenchSupport.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/Document.h>
#include <tnUI/application/DocumentInstance.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/foundation/Event.h>

#include <cstdint>

namespace tnBench {
namespace {

using tnUI::CallInfo;
using tnUI::CommandController;

// A tool whose definition handles the drag itself.
class DragTool : public tnUI::ContinuousCommandDefn {
public:
    DragTool() : ContinuousCommandDefn(tnString::CString("drag")) {}
    void commandSelected(CallInfo& /*call*/) override {}
    void newInteraction(CallInfo& /*call*/, bool /*isNew*/) override {}
    void commandUnselected(CallInfo& /*call*/) override {}
    void start(CallInfo& /*call*/) override {}
    void stop(CallInfo& /*call*/) override {}
    void handleEvent(CallInfo& /*call*/, tnUI::MouseEvent& /*e*/) override { touch(events); }

    std::int64_t events = 0;
};

// A tool's state for one document that handles the drag.
class DragState : public tnUI::ContinuousCommandState {
public:
    explicit DragState(const CallInfo& call) : ContinuousCommandState(call) {}
    void handleEvent(CallInfo& /*call*/, tnUI::MouseEvent& /*e*/) override { touch(events); }

    std::int64_t events = 0;
};

// A host listening to the controller's client notices.
struct NoticeCounter {
    void onNotice(CommandController::CallType /*t*/, CallInfo& /*call*/, bool /*before*/) { touch(count); }

    tnRTB::SignalClient signalClient;
    std::int64_t count = 0;
};

tnUI::MouseEvent dragMotion()
{
    const tnLinear::Point2 p(10.0, 20.0);
    return tnUI::MouseEvent(p, p, p, tnUI::MouseEvent::Left, 0, 0, tnUI::MouseEvent::LeftMask);
}

[[gnu::noinline]] void deliver(CommandController& controller, tnUI::MouseEvent& e)
{
    controller.forwardEvent(e);
}

void listenerCounts(benchmark::internal::Benchmark* b)
{
    b->ArgName("listeners")->Arg(0)->Arg(1);
}

void BM_Controller_ForwardDrag(benchmark::State& state)
{
    const auto listeners = state.range(0);
    const tn::Reference<CommandController> controller(new CommandController(nullptr));
    auto* tool = new DragTool;
    const tn::Reference<tnUI::CommandInstance> instance(new tnUI::CommandInstance(tool));
    controller->select(nullptr, instance.get());
    NoticeCounter host;
    if (listeners > 0)
        tnRTB::connect(controller->clientCallSignal, &host, &NoticeCounter::onNotice);
    tnUI::MouseEvent e = dragMotion();

    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        deliver(*controller, e);
    report(state, 1, "per_event", before);
    checkDelivery(state, tool->events, state.iterations());
    if (listeners > 0)
        checkDelivery(state, host.count, 2 * state.iterations());
}
BENCHMARK(BM_Controller_ForwardDrag)->Apply(listenerCounts);

void BM_Controller_ForwardDragToState(benchmark::State& state)
{
    const auto listeners = state.range(0);
    const tn::Reference<tnUI::Application> app(new tnUI::Application);
    auto* doc = new tnUI::Document(app.get());
    auto* documentInstance = new tnUI::DocumentInstance(doc);
    CommandController& controller = documentInstance->getCommandController();
    const tn::Reference<tnUI::CommandInstance> instance(
        new tnUI::CommandInstance(new tnUI::ContinuousCommandDefn(tnString::CString("brush"))));
    auto* toolState = new DragState(CallInfo(nullptr, nullptr, documentInstance, nullptr));
    instance->setInstanceState(toolState);
    controller.select(nullptr, instance.get());
    NoticeCounter host;
    if (listeners > 0)
        tnRTB::connect(controller.clientCallSignal, &host, &NoticeCounter::onNotice);
    tnUI::MouseEvent e = dragMotion();

    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        deliver(controller, e);
    report(state, 1, "per_event", before);
    checkDelivery(state, toolState->events, state.iterations());
}
BENCHMARK(BM_Controller_ForwardDragToState)->Apply(listenerCounts);

[[gnu::noinline]] void notify(const CommandController& controller, CallInfo& call)
{
    controller.clientCallSignal.fire(CommandController::MouseEvent, call, true);
}

// The cost of one client notice, to set against the event figures.
void BM_Controller_NoticeEmission(benchmark::State& state)
{
    const tn::Reference<CommandController> controller(new CommandController(nullptr));
    const tn::Reference<CallInfo> call(new CallInfo(nullptr, nullptr, nullptr, nullptr));
    NoticeCounter host;
    tnRTB::connect(controller->clientCallSignal, &host, &NoticeCounter::onNotice);

    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        notify(*controller, *call);
    report(state, 1, "per_emission", before);
    checkDelivery(state, host.count, state.iterations());
}
BENCHMARK(BM_Controller_NoticeEmission);

} // namespace
} // namespace tnBench
