#pragma once

// Helpers shared by the command tests: a log that commands, classes and a
// recording host write into; tools and momentary commands written the way a
// host writes them; and the dump of an entity as (level, text) pairs.

#include "entity/EntityTestSupport.h"

#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/CommandInstanceState.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/foundation/Event.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// A tool as a host writes one: every interaction is logged as
// "<name>.<call>", events with what they are and where. Start and stop go on
// to the state afterwards when passOn is set, as the default operations do.
class LoggingTool : public tnUI::ContinuousCommandDefn {
public:
    using Base = tnUI::ContinuousCommandDefn;

    LoggingTool(const char* name, Log& log, bool passOn = false)
        : ContinuousCommandDefn(tnString::CString(name)), m_log(log), m_passOn(passOn)
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
        if (onStart)
            onStart(call);
    }
    void stop(tnUI::CallInfo& call) override
    {
        record("Stop");
        if (m_passOn)
            Base::stop(call);
    }
    void handleEvent(tnUI::CallInfo& call, tnUI::MouseEvent& e) override
    {
        const char* kind = e.getButton() == tnUI::MouseEvent::NoButton   ? "motion"
                           : e.getButton() == tnUI::MouseEvent::ButtonUp ? "release"
                           : e.getClickCount() > 0                       ? "press"
                                                                         : "drag";
        record(std::string("Mouse ") + kind + " " + std::to_string(static_cast<int>(e.getLocalXY().x)));
        if (onMouse)
            onMouse(call, e);
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
    // Run after the logging, for tests that act from within a call.
    std::function<void(tnUI::CallInfo&)> onStart;
    std::function<void(tnUI::CallInfo&, tnUI::MouseEvent&)> onMouse;

private:
    void record(const std::string& what) { m_log.push_back(std::string(nameAsChar()) + "." + what); }

    Log& m_log;
    bool m_passOn;
};

// A host's state for one document instance: counts its init calls and logs
// the tool calls it gets as "<name>.<call>".
class LoggingState : public tnUI::ContinuousCommandState {
public:
    explicit LoggingState(tnUI::DocumentInstance* d, Log* log = nullptr, std::string name = "state")
        : ContinuousCommandState(tnUI::CallInfo(nullptr, nullptr, d, nullptr)), m_log(log), m_name(std::move(name))
    {}

    void init() override { ++inits; }
    void commandSelected(tnUI::CallInfo&) override { record("Selected"); }
    void newInteraction(tnUI::CallInfo&, bool isNew) override
    {
        record(isNew ? "NewInteraction(new)" : "NewInteraction");
    }
    void commandUnselected(tnUI::CallInfo&) override { record("Unselected"); }
    void start(tnUI::CallInfo&) override { record("Start"); }
    void stop(tnUI::CallInfo&) override { record("Stop"); }
    void handleEvent(tnUI::CallInfo&, tnUI::TabletEvent&) override { record("Tablet"); }
    void handleEvent(tnUI::CallInfo&, tnUI::WheelEvent&) override { record("Wheel"); }
    void handleEvent(tnUI::CallInfo&, tnUI::MouseEvent&) override { record("Mouse"); }
    void handleEvent(tnUI::CallInfo&, tnUI::KeyEvent&) override { record("Key"); }

    int inits = 0;

private:
    void record(const char* what)
    {
        if (m_log)
            m_log->push_back(m_name + "." + what);
    }

    Log* m_log;
    std::string m_name;
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

// A left-button mouse event at x (y is 2x; the same for the three
// positions): a press with a click count, else a drag.
inline tnUI::MouseEvent mouse(tnUI::MouseEvent::Button button, double x, int clicks = 0)
{
    const tnLinear::Point2 p(x, 2 * x);
    return tnUI::MouseEvent(p, p, p, button, clicks, 0, 0);
}
inline tnUI::MouseEvent press(double x)
{
    return mouse(tnUI::MouseEvent::Left, x, 1);
}
inline tnUI::MouseEvent drag(double x)
{
    return mouse(tnUI::MouseEvent::Left, x);
}
inline tnUI::MouseEvent release(double x)
{
    return mouse(tnUI::MouseEvent::ButtonUp, x);
}
inline tnUI::MouseEvent motion(double x)
{
    return mouse(tnUI::MouseEvent::NoButton, x);
}

// The lines of a dump as (level, text), without numbers and indentation.
using DumpLine = std::pair<int, std::string>;
using DumpText = std::vector<DumpLine>;

inline DumpText dumpOf(const tnUI::Entity& e, const char* label = nullptr)
{
    DumpCapture dump;
    EXPECT_TRUE(dump.opened());
    e.dump(dump.file, 0, label);
    DumpText result;
    for (const std::string& line : dump.lines()) {
        const std::string body = line.substr(7); // "00001: "
        const std::size_t text = body.find_first_not_of(" |");
        result.emplace_back(static_cast<int>(text / 2), body.substr(text));
    }
    return result;
}

// The first line of an entity dumped at level, as dumpOf gives it.
inline DumpLine head(const tnUI::Entity& e, const char* label, int level = 0)
{
    std::string text = "entity " + std::string(e.getTypeName().asChar());
    if (label)
        text += " \"" + std::string(label) + "\"";
    return {level, text + " (refs = " + std::to_string(e.getRefCount()) + ", ptr = " + ptr(&e) + ")"};
}

} // namespace tnUITest
