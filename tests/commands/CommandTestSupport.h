#pragma once

// Helpers shared by the command tests: a log that commands, states, classes
// and a recording host write into; tools and momentary commands written the
// way a host writes them; and the dump of an entity as (level, text) pairs.

#include "entity/EntityTestSupport.h"

#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/foundation/Event.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace tnUITest {

using Log = std::vector<std::string>;

// The name of the command instance of a call, "-" without one.
inline std::string commandOf(const tnUI::CallInfo* call)
{
    const tnUI::CommandInstance* ci = call ? call->getCommandInstance() : nullptr;
    return ci ? ci->nameAsChar() : "-";
}

// The button of a mouse event as the tools log it.
inline std::string buttonText(const tnUI::MouseEvent& e)
{
    switch (e.getButton()) {
    case tnUI::MouseEvent::NoButton: return "motion";
    case tnUI::MouseEvent::ButtonUp: return "release";
    default: return e.getClickCount() > 0 ? "press" : "drag";
    }
}

inline std::string tabletText(const tnUI::TabletEvent& e)
{
    static const char* const types[] = {"press", "drag", "motion", "release", "enter", "leave"};
    return types[e.getType()];
}

// A tool as a host writes one: every interaction is logged as
// "<name>.<call>", events with what they are and where. The calls go on to
// the state afterwards when passOn is set, as the default operations do.
class LoggingTool : public tnUI::ContinuousCommandDefn {
public:
    LoggingTool(const char* name, Log& log, bool passOn = false)
        : ContinuousCommandDefn(tnString::CString(name)), m_log(log), m_passOn(passOn)
    {}

    void commandSelected(tnUI::CallInfo& call) override
    {
        record("Selected");
        if (m_passOn)
            ContinuousCommandDefn::commandSelected(call);
    }
    void newInteraction(tnUI::CallInfo& call, bool isNew) override
    {
        record(isNew ? "NewInteraction(new)" : "NewInteraction(again)");
        if (m_passOn)
            ContinuousCommandDefn::newInteraction(call, isNew);
    }
    void commandUnselected(tnUI::CallInfo& call) override
    {
        record("Unselected");
        if (m_passOn)
            ContinuousCommandDefn::commandUnselected(call);
    }
    void start(tnUI::CallInfo& call) override
    {
        record("Start");
        if (m_passOn)
            ContinuousCommandDefn::start(call);
        if (onStart)
            onStart(call);
    }
    void stop(tnUI::CallInfo& call) override
    {
        record("Stop");
        if (m_passOn)
            ContinuousCommandDefn::stop(call);
    }
    void handleEvent(tnUI::CallInfo& call, tnUI::MouseEvent& e) override
    {
        lastMouse = e;
        record("Mouse " + buttonText(e) + " " + std::to_string(static_cast<int>(e.getLocalXY().x)));
        if (m_passOn)
            ContinuousCommandDefn::handleEvent(call, e);
        if (onMouse)
            onMouse(call, e);
    }
    void handleEvent(tnUI::CallInfo& call, tnUI::TabletEvent& e) override
    {
        lastTablet = e;
        record("Tablet " + tabletText(e) + " " + std::to_string(static_cast<int>(e.getLocalXY().x)));
        if (m_passOn)
            ContinuousCommandDefn::handleEvent(call, e);
    }
    void handleEvent(tnUI::CallInfo& call, tnUI::KeyEvent& e) override
    {
        record("Key");
        if (m_passOn)
            ContinuousCommandDefn::handleEvent(call, e);
    }
    void handleEvent(tnUI::CallInfo& call, tnUI::WheelEvent& e) override
    {
        record("Wheel " + std::to_string(e.getDelta()));
        if (m_passOn)
            ContinuousCommandDefn::handleEvent(call, e);
    }

    // Copies of the last events received.
    tnUI::MouseEvent lastMouse;
    tnUI::TabletEvent lastTablet;
    // Run after the logging, for tests that act from within a call.
    std::function<void(tnUI::CallInfo&)> onStart;
    std::function<void(tnUI::CallInfo&, tnUI::MouseEvent&)> onMouse;

private:
    void record(const std::string& what) { m_log.push_back(std::string(nameAsChar()) + "." + what); }

    Log& m_log;
    bool m_passOn;
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
// and "<name>.classUnselected(...)"; "null" stands for a missing call. A null
// name leaves the class unnamed.
class LoggingClass : public tnUI::CommandClass {
public:
    LoggingClass(const char* name, Log& log) : m_log(log)
    {
        if (name)
            setName(tnString::CString(name));
    }

    void classSelected(tnUI::CallInfo* call) override { record("classSelected", call); }
    void classUnselected(tnUI::CallInfo* call) override { record("classUnselected", call); }

    // The document instance of the last classUnselected call.
    const tnUI::DocumentInstance* lastUnselectedInstance = nullptr;

private:
    void record(const char* what, tnUI::CallInfo* call)
    {
        if (call && std::string(what) == "classUnselected")
            lastUnselectedInstance = call->getDocumentInstance();
        m_log.push_back(std::string(nameAsChar()) + "." + what + "(" + (call ? commandOf(call) : "null") + ")");
    }

    Log& m_log;
};

// A host watching a controller: "[<type>" before and "]<type>" after every
// call, and "+<class>" / "-<class>" for the class signal. It checks that the
// controller reports a call in progress during every before notice and
// after the matching after notice only while an outer call is still open.
class RecordingHost {
public:
    RecordingHost(tnUI::CommandController& controller, Log& log) : m_controller(controller), m_log(log)
    {
        tnRTB::connect(controller.clientCallSignal, &m_client,
                       [this](tnUI::CommandController::CallType t, tnUI::CallInfo& call, bool before) {
                           m_log.push_back((before ? "[" : "]") + std::string(tnUI::enumName(t)));
                           m_depth += before ? 1 : -1;
                           if (m_controller.isClientCallActive() != (m_depth > 0))
                               ++depthMismatches;
                           lastCall = &call;
                       });
        tnRTB::connect(controller.commandClassSignal, &m_client, [this](tnUI::CommandClass* c, bool current) {
            m_log.push_back((current ? "+" : "-") + std::string(c->nameAsChar()));
        });
    }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    int depthMismatches = 0;
    const tnUI::CallInfo* lastCall = nullptr;

private:
    tnUI::CommandController& m_controller;
    Log& m_log;
    int m_depth = 0;
    tnRTB::SignalClient m_client;
};

// The entries of log without the host's notices ("[..." and "]...").
inline Log callsOnly(const Log& log)
{
    Log result;
    std::copy_if(log.begin(), log.end(), std::back_inserter(result),
                 [](const std::string& s) { return s[0] != '[' && s[0] != ']'; });
    return result;
}

// A mouse event at x (the same for the three positions).
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
    return mouse(tnUI::MouseEvent::Left, x, 0);
}
inline tnUI::MouseEvent release(double x)
{
    return mouse(tnUI::MouseEvent::ButtonUp, x, 0);
}
inline tnUI::MouseEvent motion(double x)
{
    return mouse(tnUI::MouseEvent::NoButton, x, 0);
}

// The lines of a dump as (level, text), without numbers and indentation.
using DumpText = std::vector<std::pair<int, std::string>>;

inline DumpText dumpText(const std::vector<std::string>& lines)
{
    DumpText result;
    for (const std::string& line : lines) {
        const std::string body = line.substr(7); // "00001: "
        const std::size_t text = body.find_first_not_of(" |");
        result.emplace_back(static_cast<int>(text / 2), body.substr(text));
    }
    return result;
}

inline DumpText dumpOf(const tnUI::Entity& e, const char* label = nullptr)
{
    DumpCapture dump;
    EXPECT_TRUE(dump.opened());
    e.dump(dump.file, 0, label);
    return dumpText(dump.lines());
}

// The first line of an entity dumped at level 0, as dumpText gives it.
inline std::pair<int, std::string> head(const tnUI::Entity& e, const char* label, int level = 0)
{
    std::string text = "entity " + std::string(e.getTypeName().asChar());
    if (label)
        text += " \"" + std::string(label) + "\"";
    return {level, text + " (refs = " + std::to_string(e.getRefCount()) + ", ptr = " + ptr(&e) + ")"};
}

} // namespace tnUITest
