// Drives command controllers through a script decoded from the fuzzer's
// input, with commands, classes and a host that call the controllers back
// from within their own calls, and checks the controllers' rules after every
// step.
//
// The pool: an application with its controller and two documents with one
// instance (and controller) each; four tools, three momentary commands (one
// of them forcing a tool) and two command classes. The steps: select a
// command or nothing in a controller, make a tool announce its end, forward a
// key, mouse, wheel or tablet event, drop a command instance or a document
// instance, change a tool's flags, and arm a reaction. A reaction belongs to
// one call of one object (a tool's operation, a momentary command's
// execution, a class's calls, a controller's client notice of one type) and
// runs one step from within that call, a bounded number of times and to a
// bounded depth.
//
// Checked at every call: a tool is told it is selected only when it is not,
// and unselected only when it is, in each controller; its starts and stops
// alternate in each controller; a controller's class notices alternate.
// Checked after every step: no call is in progress, no momentary command is
// left current, the class in force is the current tool's and agrees with the
// class notices, and the current tool is selected. At the end every entity
// made is gone. A failed check aborts; AddressSanitizer,
// UndefinedBehaviorSanitizer and LeakSanitizer catch the rest.

#include "FuzzInput.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/Document.h>
#include <tnUI/application/DocumentInstance.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/entity/Entity.h>
#include <tnUI/foundation/Event.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace {

using tnUI::CommandController;

constexpr int numControllers = 3; // the application's, then one per document
constexpr int numTools = 4;
constexpr int numMomentaries = 3;
constexpr int numCommands = numTools + numMomentaries;
constexpr int numClasses = 2;
constexpr int maxSteps = 64;
constexpr int maxDepth = 3;
constexpr int reactionRuns = 2;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "controller_fuzzer: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what)
{
    if (!ok)
        fail(what);
}

// What a reaction answers to: an object kind, which one, and which call.
enum Trigger : int { ToolCall, MomentaryExecute, ClassCall, ControllerNotice, NumTriggers };
// A tool's calls as the reactions name them.
enum ToolOp : int { Selected, NewInteraction, Unselected, Start, Stop, Event, NumToolOps };

// One step, at the top level or from within a call.
struct Step {
    enum Kind : int { Select, Finish, Forward, DropCommand, DropInstance, Flags, NumKinds } kind = Select;
    int controller = 0;
    int target = 0; // a command (numCommands: none), a tool, a document
    int detail = 0; // the event, or the flags
};

struct Reaction {
    Trigger trigger;
    int object;
    int call;
    Step step;
    int runsLeft = reactionRuns;
};

class World;

class FuzzTool : public tnUI::ContinuousCommandDefn {
public:
    FuzzTool(World& world, int index);
    void commandSelected(tnUI::CallInfo& call) override;
    void newInteraction(tnUI::CallInfo& call, bool isNew) override;
    void commandUnselected(tnUI::CallInfo& call) override;
    void start(tnUI::CallInfo& call) override;
    void stop(tnUI::CallInfo& call) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::TabletEvent& e) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::WheelEvent& e) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::MouseEvent& e) override;
    void handleEvent(tnUI::CallInfo& call, tnUI::KeyEvent& e) override;

private:
    World& m_world;
    int m_index;
};

class FuzzMomentary : public tnUI::MomentaryCommandDefn {
public:
    FuzzMomentary(World& world, int index);
    void execute(tnUI::CallInfo& call) override;

private:
    World& m_world;
    int m_index;
};

class FuzzClass : public tnUI::CommandClass {
public:
    FuzzClass(World& world, int index) : m_world(world), m_index(index) {}
    void classSelected(tnUI::CallInfo* call) override;
    void classUnselected(tnUI::CallInfo* call) override;

private:
    World& m_world;
    int m_index;
};

class World {
public:
    explicit World(FuzzInput& in) : m_in(in)
    {
        m_app = new tnUI::Application;
        for (int d = 0; d < 2; ++d) {
            auto* document = new tnUI::Document(m_app.get());
            m_documents[d] = document;
            m_instances[d] = new tnUI::DocumentInstance(document);
        }
        for (int c = 0; c < numClasses; ++c)
            m_classes[c] = new FuzzClass(*this, c);
        for (int t = 0; t < numCommands; ++t) {
            tnUI::CommandDefn* d = nullptr;
            if (t < numTools) {
                auto* tool = new FuzzTool(*this, t);
                tool->setActsLikeMomentary(in.choose(4) == 0);
                tool->setAllMotionEvents(in.choose(2) == 0);
                d = tool;
            } else {
                auto* m = new FuzzMomentary(*this, t);
                m->setDoesStateChange(in.choose(3) != 0);
                d = m;
            }
            const int c = in.choose(numClasses + 1);
            d->setClass(c < numClasses ? m_classes[c].get() : nullptr);
            m_commands[t] = new tnUI::CommandInstance(d);
            // Each document instance gets a state, which keeps the tool's
            // started mark for that document; the application's controller
            // uses the definition's.
            for (int i = 0; t < numTools && i < 2; ++i)
                m_commands[t]->setInstanceState(
                    new tnUI::ContinuousCommandState(tnUI::CallInfo(nullptr, nullptr, m_instances[i], nullptr)));
        }
        // The last momentary command forces the first tool that is not
        // transient, if any.
        for (int t = 0; t < numTools; ++t) {
            if (!m_commands[t]->actsLikeMomentary()) {
                static_cast<tnUI::MomentaryCommandDefn*>(m_commands[numCommands - 1]->getCommand())
                    ->setForceCommand(m_commands[t].get());
                break;
            }
        }
        for (int s = 0; s < numControllers; ++s) {
            CommandController* c =
                s == 0 ? &m_app->getCommandController() : &m_instances[s - 1]->getCommandController();
            m_controllers[s] = c;
            tnRTB::connect(c->destroyedSignal, &m_client, [this, s](tnUI::Entity*) { m_controllers[s] = nullptr; });
            tnRTB::connect(c->clientCallSignal, &m_client,
                           [this, s](CommandController::CallType t, tnUI::CallInfo&, bool before) {
                               if (before)
                                   m_callers.push_back(s);
                               else
                                   m_callers.pop_back();
                               react(ControllerNotice, s, t * 2 + (before ? 1 : 0));
                           });
            tnRTB::connect(c->commandClassSignal, &m_client, [this, s](tnUI::CommandClass* k, bool current) {
                tnUI::CommandClass*& announced = m_announced[s];
                check(current ? announced == nullptr : announced == k, "class notices out of order");
                announced = current ? k : nullptr;
            });
        }
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    ~World()
    {
        m_client.disconnectAll();
        m_app = nullptr;
        m_commands = {};
        m_classes = {};
    }

    void run()
    {
        for (int i = 0; i < maxSteps && !m_in.done(); ++i) {
            if (m_in.choose(4) == 0)
                arm();
            else
                perform(readStep());
            checkAtRest();
        }
    }

    // The controller whose call is in progress; -1 outside calls.
    int caller() const { return m_callers.empty() ? -1 : m_callers.back(); }

    void toolCall(int tool, ToolOp op)
    {
        const int s = caller();
        check(s >= 0, "a tool called outside the client notices");
        bool& selected = m_selected[s][tool];
        if (op == Selected) {
            check(!selected, "a selected tool selected again");
            selected = true;
        } else if (op == Unselected) {
            check(selected, "an unselected tool unselected");
            selected = false;
        } else if (op == Start || op == Stop) {
            // Once a document instance died, the calls its controller still
            // makes have no state and use the definition's mark, which the
            // application's controller uses too: neither is checked then.
            bool& started = m_started[s][tool];
            check(!m_markShared[s] && (s != 0 || !m_anyInstanceDropped) ? started == (op == Stop) : true,
                  "a start or stop out of turn");
            started = op == Start;
        }
        // A stop nested in a stop of the same tool, as a loop makes them,
        // comes out of turn.
        react(ToolCall, tool, op);
    }

    void momentaryExecuted(int command) { react(MomentaryExecute, command, 0); }

    void classCall(int c, bool selected)
    {
        int& balance = m_classBalance[c];
        balance += selected ? 1 : -1;
        check(balance >= 0, "a class unselected more often than selected");
        react(ClassCall, c, selected ? 1 : 0);
    }

private:
    Step readStep()
    {
        Step s;
        s.kind = static_cast<Step::Kind>(m_in.choose(Step::NumKinds));
        s.controller = m_in.choose(numControllers);
        s.target = m_in.choose(numCommands + 1);
        s.detail = m_in.choose(256);
        return s;
    }

    void arm()
    {
        Reaction r{};
        r.trigger = static_cast<Trigger>(m_in.choose(NumTriggers));
        const int objects[] = {numTools, numCommands, numClasses, numControllers};
        r.object = m_in.choose(objects[r.trigger]);
        const int calls[] = {NumToolOps, 1, 2, 22};
        r.call = m_in.choose(calls[r.trigger]);
        r.step = readStep();
        m_reactions.push_back(r);
    }

    void react(Trigger trigger, int object, int call)
    {
        if (m_depth >= maxDepth)
            return;
        for (std::size_t i = 0; i < m_reactions.size(); ++i) {
            Reaction& r = m_reactions[i];
            if (r.trigger != trigger || r.object != object || r.call != call || r.runsLeft == 0)
                continue;
            --r.runsLeft;
            const Step step = r.step; // the list may grow meanwhile
            ++m_depth;
            perform(step);
            --m_depth;
        }
    }

    void perform(const Step& s)
    {
        const tn::Reference<CommandController> controller(m_controllers[s.controller]);
        switch (s.kind) {
        case Step::Select:
            if (controller) {
                tnUI::CommandInstance* ci = s.target < numCommands ? m_commands[s.target].get() : nullptr;
                if (ci || s.target == numCommands)
                    controller->select(nullptr, ci);
            }
            break;
        case Step::Finish: {
            const tn::Reference<tnUI::CommandInstance> ci(m_commands[s.target % numTools]);
            if (ci)
                ci->asContinuous()->finished();
            break;
        }
        case Step::Forward:
            if (controller)
                forward(*controller, s.detail);
            break;
        case Step::DropCommand: m_commands[s.target % numCommands] = nullptr; break;
        case Step::DropInstance: {
            // Forgotten first: the document and its instance die here.
            const int d = s.target % 2;
            tnUI::Document* document = std::exchange(m_documents[d], nullptr);
            tnUI::DocumentInstance* instance = std::exchange(m_instances[d], nullptr);
            if (document && instance) {
                m_anyInstanceDropped = true;
                m_markShared[d + 1] = true;
                document->removeInstance(instance);
            }
            break;
        }
        case Step::Flags: {
            const tn::Reference<tnUI::CommandInstance> ci(m_commands[s.target % numTools]);
            if (ci) {
                ci->asContinuous()->setAllMotionEvents((s.detail & 1) != 0);
                ci->asContinuous()->setActsLikeMomentary((s.detail & 2) != 0);
            }
            break;
        }
        case Step::NumKinds: break;
        }
    }

    // Events from one byte: the kind in the low two bits, the rest chooses
    // the button, type or position.
    static void forward(CommandController& c, int detail)
    {
        const int rest = detail >> 2;
        const tnLinear::Point2 p(rest, 2 * rest);
        switch (detail & 3) {
        case 0: {
            tnUI::KeyEvent e;
            c.forwardEvent(e);
            break;
        }
        case 1: {
            const auto button = static_cast<tnUI::MouseEvent::Button>(rest % 4);
            tnUI::MouseEvent e(p, p, p, button, (rest / 4) % 2, 0, 0);
            c.forwardEvent(e);
            break;
        }
        case 2: {
            tnUI::WheelEvent e(p, p, p, rest - 32, tnUI::WheelEvent::Vertical, 0);
            c.forwardEvent(e);
            break;
        }
        default: {
            const auto type = static_cast<tnUI::TabletEvent::Type>(rest % 6);
            tnUI::TabletEvent e(type, tnUI::TabletEvent::Stylus, tnUI::TabletEvent::Pen, p, p, p,
                                tnLinear::Vector2(0, 0), 0.5, 0.0, false, 0, 0);
            c.forwardEvent(e);
            break;
        }
        }
    }

    void checkAtRest()
    {
        check(m_callers.empty(), "a client notice left open");
        for (int s = 0; s < numControllers; ++s) {
            const CommandController* c = m_controllers[s];
            if (!c)
                continue;
            check(!c->isClientCallActive(), "a call still in progress");
            check(c->getCurrentCommand() == c->getCurrentContinuousCommand(), "a momentary command left current");
            check(m_announced[s] == c->getCurrentClass(), "the class notices disagree with the class in force");
            const tnUI::CommandInstance* tool = c->getCurrentContinuousCommand();
            if (tool) {
                check(c->getCurrentClass() == tool->getCommand()->getClass(), "the class is not the tool's");
                for (int t = 0; t < numTools; ++t) {
                    if (m_commands[t].get() == tool)
                        check(m_selected[s][t], "the current tool is not selected");
                }
            }
        }
    }

    FuzzInput& m_in;
    tn::Reference<tnUI::Application> m_app;
    std::array<tnUI::Document*, 2> m_documents{};
    std::array<tnUI::DocumentInstance*, 2> m_instances{};
    std::array<tn::Reference<FuzzClass>, numClasses> m_classes;
    std::array<tn::Reference<tnUI::CommandInstance>, numCommands> m_commands;
    std::array<CommandController*, numControllers> m_controllers{};
    std::array<tnUI::CommandClass*, numControllers> m_announced{};
    std::array<std::array<bool, numTools>, numControllers> m_selected{};
    std::array<std::array<bool, numTools>, numControllers> m_started{};
    std::array<bool, numControllers> m_markShared{};
    bool m_anyInstanceDropped = false;
    std::array<int, numClasses> m_classBalance{};
    std::vector<int> m_callers;
    std::vector<Reaction> m_reactions;
    int m_depth = 0;
    tnRTB::SignalClient m_client;
};

FuzzTool::FuzzTool(World& world, int index)
    : ContinuousCommandDefn(tnString::CString("tool")), m_world(world), m_index(index)
{}

void FuzzTool::commandSelected(tnUI::CallInfo&)
{
    m_world.toolCall(m_index, Selected);
}

void FuzzTool::newInteraction(tnUI::CallInfo&, bool)
{
    m_world.toolCall(m_index, NewInteraction);
}

void FuzzTool::commandUnselected(tnUI::CallInfo&)
{
    m_world.toolCall(m_index, Unselected);
}

void FuzzTool::start(tnUI::CallInfo&)
{
    m_world.toolCall(m_index, Start);
}

void FuzzTool::stop(tnUI::CallInfo&)
{
    m_world.toolCall(m_index, Stop);
}

void FuzzTool::handleEvent(tnUI::CallInfo&, tnUI::TabletEvent&)
{
    m_world.toolCall(m_index, Event);
}

void FuzzTool::handleEvent(tnUI::CallInfo&, tnUI::WheelEvent&)
{
    m_world.toolCall(m_index, Event);
}

void FuzzTool::handleEvent(tnUI::CallInfo&, tnUI::MouseEvent&)
{
    m_world.toolCall(m_index, Event);
}

void FuzzTool::handleEvent(tnUI::CallInfo&, tnUI::KeyEvent&)
{
    m_world.toolCall(m_index, Event);
}

FuzzMomentary::FuzzMomentary(World& world, int index)
    : MomentaryCommandDefn(tnString::CString("momentary")), m_world(world), m_index(index)
{}

void FuzzMomentary::execute(tnUI::CallInfo&)
{
    m_world.momentaryExecuted(m_index);
}

void FuzzClass::classSelected(tnUI::CallInfo*)
{
    m_world.classCall(m_index, true);
}

void FuzzClass::classUnselected(tnUI::CallInfo*)
{
    m_world.classCall(m_index, false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int32_t before = tnUI::Entity::numberOfActiveObjects();
    {
        FuzzInput in(data, size);
        World world(in);
        world.run();
    }
    check(tnUI::Entity::numberOfActiveObjects() == before, "entities left alive");
    return 0;
}
