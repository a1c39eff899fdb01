#pragma once

// Helpers shared by the command tests: a log that commands, classes and a
// recording host write into; tools and momentary commands written the way a
// host writes them.

#include "application/AppTestSupport.h"

#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandInstanceState.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/foundation/Event.h>

#include <functional>
#include <utility>

namespace tnUITest {

using Log = std::vector<std::string>;

// The entries of log joined by spaces, without the host's notices ("[..."
// and "]...") unless withNotices is set.
inline std::string joined(const Log& log, bool withNotices = false)
{
    std::string result;
    for (const std::string& s : log) {
        if (!withNotices && (s[0] == '[' || s[0] == ']'))
            continue;
        result += (result.empty() ? "" : " ") + s;
    }
    return result;
}

// A tool's logic as a host writes it, in a definition or in a state: every
// interaction is logged as "<name>.<call>", events with what they are and
// where. Start and stop go on to the base afterwards when passOn is set, as a
// definition's default operations go on to the state.
template <class Base>
class LoggingInteractions : public Base {
public:
    template <class Arg>
    LoggingInteractions(const Arg& arg, std::string name, Log* log, bool passOn)
        : Base(arg), m_name(std::move(name)), m_log(log), m_passOn(passOn)
    {}

    void commandSelected(tnUI::CallInfo&) override { record("Selected"); }
    void newInteraction(tnUI::CallInfo&, bool isNew) override
    {
        record(isNew ? "NewInteraction(new)" : "NewInteraction(again)");
    }
    void commandUnselected(tnUI::CallInfo&) override { record("Unselected"); }
    void start(tnUI::CallInfo& call) override
    {
        record("Start");
        if (m_passOn)
            Base::start(call);
    }
    void stop(tnUI::CallInfo& call) override
    {
        record("Stop");
        if (m_passOn)
            Base::stop(call);
    }
    void handleEvent(tnUI::CallInfo&, tnUI::MouseEvent& e) override
    {
        const char* kind = e.getButton() == tnUI::MouseEvent::NoButton   ? "motion"
                           : e.getButton() == tnUI::MouseEvent::ButtonUp ? "release"
                           : e.getClickCount() > 0                       ? "press"
                                                                         : "drag";
        record(std::string("Mouse ") + kind + " " + std::to_string(static_cast<int>(e.getLocalXY().x)));
    }
    void handleEvent(tnUI::CallInfo&, tnUI::TabletEvent& e) override
    {
        static const char* const types[] = {"press", "drag", "motion", "release", "enter", "leave"};
        lastTablet = e;
        record(std::string("Tablet ") + types[e.getType()] + " " + std::to_string(static_cast<int>(e.getLocalXY().x)));
    }
    void handleEvent(tnUI::CallInfo&, tnUI::KeyEvent&) override { record("Key"); }
    void handleEvent(tnUI::CallInfo&, tnUI::WheelEvent& e) override { record("Wheel " + std::to_string(e.getDelta())); }

    // A copy of the last tablet event received.
    tnUI::TabletEvent lastTablet;
    // Run after the logging of every call, with its name as logged ("Stop",
    // "NewInteraction(new)", "Mouse press 1"...).
    std::function<void(const std::string&)> onCall;

private:
    void record(const std::string& what)
    {
        if (m_log)
            m_log->push_back(m_name + "." + what);
        if (onCall)
            onCall(what);
    }

    std::string m_name;
    Log* m_log;
    bool m_passOn;
};

// A tool whose logic is in its definition.
class LoggingTool : public LoggingInteractions<tnUI::ContinuousCommandDefn> {
public:
    LoggingTool(const char* name, Log& log, bool passOn = false)
        : LoggingInteractions(tnString::CString(name), name, &log, passOn)
    {}
};

// A tool's logic for one document instance; it counts its init calls.
class LoggingState : public LoggingInteractions<tnUI::ContinuousCommandState> {
public:
    explicit LoggingState(tnUI::DocumentInstance* d, Log* log = nullptr, std::string name = "state")
        : LoggingInteractions(tnUI::CallInfo(nullptr, nullptr, d, nullptr), std::move(name), log, false)
    {}

    void init() override { ++inits; }

    int inits = 0;
};

// A momentary command as a host writes one: execute logs "<name>.Execute"
// and runs onExecute.
class LoggingMomentary : public tnUI::MomentaryCommandDefn {
public:
    LoggingMomentary(const char* name, Log& log) : MomentaryCommandDefn(tnString::CString(name)), m_log(log) {}

    void execute(tnUI::CallInfo& call) override
    {
        m_log.push_back(std::string(nameAsChar()) + ".Execute");
        if (onExecute)
            onExecute(call);
    }

    std::function<void(tnUI::CallInfo&)> onExecute;

private:
    Log& m_log;
};

// A command class that logs "<name>.classSelected(<command of the call>)"
// and "<name>.classUnselected(...)"; "-" stands for a call without command,
// "null" for a missing call. A null name leaves the class unnamed.
class LoggingClass : public tnUI::CommandClass {
public:
    LoggingClass(const char* name, Log& log) : m_log(log)
    {
        if (name)
            setName(tnString::CString(name));
    }

    void classSelected(tnUI::CallInfo* call) override { record("classSelected", call); }
    void classUnselected(tnUI::CallInfo* call) override
    {
        if (call)
            lastUnselectedInstance = call->getDocumentInstance();
        record("classUnselected", call);
    }

    // The document instance of the last classUnselected call.
    const tnUI::DocumentInstance* lastUnselectedInstance = nullptr;

private:
    void record(const char* what, tnUI::CallInfo* call)
    {
        const tnUI::CommandInstance* ci = call ? call->getCommandInstance() : nullptr;
        m_log.push_back(std::string(nameAsChar()) + "." + what + "(" +
                        (!call ? "null"
                         : ci  ? ci->nameAsChar()
                               : "-") +
                        ")");
    }

    Log& m_log;
};

// A host watching a controller: "[<type>" before and "]<type>" after every
// call, and "+<class>" / "-<class>" for the class signal. It counts the
// notices during which the controller's call-in-progress flag disagrees with
// the nesting of the notices.
class RecordingHost {
public:
    RecordingHost(tnUI::CommandController& controller, Log& log) : m_controller(controller), m_log(log)
    {
        tnRTB::connect(controller.clientCallSignal, &m_client,
                       [this](tnUI::CommandController::CallType t, tnUI::CallInfo&, bool before) {
                           m_log.push_back(std::string(before ? "[" : "]") + tnUI::enumName(t));
                           m_depth += before ? 1 : -1;
                           if (m_controller.isClientCallActive() != (m_depth > 0))
                               ++depthMismatches;
                       });
        tnRTB::connect(controller.commandClassSignal, &m_client, [this](tnUI::CommandClass* c, bool current) {
            m_log.push_back(std::string(current ? "+" : "-") + c->nameAsChar());
        });
    }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    int depthMismatches = 0;

private:
    tnUI::CommandController& m_controller;
    Log& m_log;
    int m_depth = 0;
    tnRTB::SignalClient m_client;
};

// Makes interaction i (0 to numInteractions - 1) of tool with call, in the
// order of a tool's life: selected, new interaction, start, the mouse, key,
// wheel and tablet events (default ones), stop, unselected.
constexpr int numInteractions = 9;
inline void interact(tnUI::ContinuousCommandDefn& tool, tnUI::CallInfo& call, int i)
{
    tnUI::MouseEvent m;
    tnUI::KeyEvent k;
    tnUI::WheelEvent w;
    tnUI::TabletEvent t;
    switch (i) {
    case 0: tool.commandSelected(call); break;
    case 1: tool.newInteraction(call, true); break;
    case 2: tool.start(call); break;
    case 3: tool.handleEvent(call, m); break;
    case 4: tool.handleEvent(call, k); break;
    case 5: tool.handleEvent(call, w); break;
    case 6: tool.handleEvent(call, t); break;
    case 7: tool.stop(call); break;
    default: tool.commandUnselected(call); break;
    }
}

// A left-button mouse event at x (y is 2x; the same for the three
// positions): a press with a click count, else a drag.
inline tnUI::MouseEvent mouse(tnUI::MouseEvent::Button button, double x, int clicks = 0)
{
    const tnLinear::Point2 p(x, 2 * x);
    return tnUI::MouseEvent(p, p, p, button, clicks, 0, 0);
}
inline const auto press = [](double x) { return mouse(tnUI::MouseEvent::Left, x, 1); };
inline const auto drag = [](double x) { return mouse(tnUI::MouseEvent::Left, x); };
inline const auto release = [](double x) { return mouse(tnUI::MouseEvent::ButtonUp, x); };
inline const auto motion = [](double x) { return mouse(tnUI::MouseEvent::NoButton, x); };

} // namespace tnUITest
