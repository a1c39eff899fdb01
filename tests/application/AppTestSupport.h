#pragma once

// Helpers shared by the application and command tests, with the headers
// they use: a capture of the diagnostic output, a toolkit window
// implementation that records what it is asked, fixtures that check that
// each test leaves as many live entities and toolkit implementations as it
// found.

#include "entity/EntityTestSupport.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/Document.h>
#include <tnUI/application/DocumentInstance.h>
#include <tnUI/application/DocumentWindow.h>
#include <tnUI/application/Environment.h>
#include <tnUI/application/EventFilter.h>
#include <tnUI/application/TestWindow.h>
#include <tnUI/application/ToolkitImpl.h>
#include <tnUI/application/UtilityWindow.h>
#include <tnUI/application/WindowPane.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/foundation/AppOutput.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/BoolValue.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace tnUITest {

// Collects what is written to the diagnostic output, at a chosen verbosity,
// for as long as it lives.
class OutputCapture {
public:
    explicit OutputCapture(int verbosity = 3)
        : m_oldVerbosity(tnOS::AppOutput::getInstance().getVerbosity()),
          m_oldSink(
              tnOS::AppOutput::getInstance().setSink([this](tnOS::AppOutput::Channel channel, std::string_view text) {
                  (channel == tnOS::AppOutput::Error ? errors : diagnostics) += text;
              }))
    {
        tnOS::AppOutput::getInstance().setVerbosity(verbosity);
    }
    ~OutputCapture()
    {
        tnOS::AppOutput::getInstance().setVerbosity(m_oldVerbosity);
        tnOS::AppOutput::getInstance().setSink(m_oldSink);
    }
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    std::string diagnostics;
    std::string errors;

private:
    int m_oldVerbosity;
    tnOS::AppOutput::Sink m_oldSink;
};

// The text "%p" makes of an address.
inline std::string address(const void* p)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

// A widget stand-in: visibility follows raise and hide, and every call is
// logged. With closeDestroys set, close() destroys the implementation at once,
// as a host that deletes its widget synchronously would.
class FakeWindowImpl : public tnUI::ToolkitWindowImpl {
public:
    explicit FakeWindowImpl(std::vector<std::string>* log = nullptr, std::string name = "impl",
                            bool closeDestroys = false)
        : m_log(log), m_name(std::move(name)), m_closeDestroys(closeDestroys)
    {}

    void raise() override { record("raise", true); }
    void hide() override { record("hide", false); }
    void close() override
    {
        record("close", visible);
        if (m_closeDestroys)
            delete this;
    }
    bool isVisible() override { return visible; }

    bool visible = false;

private:
    void record(const char* what, bool visibleAfter)
    {
        visible = visibleAfter;
        if (m_log)
            m_log->push_back(m_name + "." + what);
    }

    std::vector<std::string>* m_log;
    std::string m_name;
    bool m_closeDestroys;
};

// Checks that a test leaves the live-implementation count, as well as the
// live-entity count, where it found it.
class CountedTest : public EntityTest {
protected:
    void SetUp() override
    {
        EntityTest::SetUp();
        m_implsAtStart = tnUI::ToolkitImpl::numberOfActiveObjects();
    }
    void TearDown() override
    {
        EXPECT_EQ(tnUI::ToolkitImpl::numberOfActiveObjects(), m_implsAtStart);
        EntityTest::TearDown();
    }

private:
    std::int32_t m_implsAtStart = 0;
};

// A host's document window whose closing can be refused.
class HostDocumentWindow : public tnUI::DocumentWindow {
public:
    explicit HostDocumentWindow(tnUI::DocumentInstance* d) : DocumentWindow(d) {}

    void realizeWindow() override {}
    bool canCloseWindow() override
    {
        ++closeQuestions;
        return canClose;
    }

    bool canClose = true;
    int closeQuestions = 0;
};

// A host's pane.
class HostPane : public tnUI::WindowPane {};

// Makes an application for every test and destroys it before the counts are
// checked.
class ApplicationTest : public CountedTest {
protected:
    void SetUp() override
    {
        CountedTest::SetUp();
        app = new tnUI::Application;
    }
    void TearDown() override
    {
        app = nullptr;
        CountedTest::TearDown();
    }

    // A new document of the application, named name when given.
    tnUI::Document* document(const char* name = nullptr)
    {
        auto* d = new tnUI::Document(app);
        if (name)
            d->setName(tnString::CString(name));
        return d;
    }
    // A new instance of d, shown in a document window bound to impl (when
    // given).
    HostDocumentWindow* show(tnUI::Document* d, tnUI::ToolkitWindowImpl* impl = nullptr)
    {
        auto* instance = new tnUI::DocumentInstance(d);
        auto* window = new HostDocumentWindow(instance);
        if (impl)
            window->setQtDocumentWindow(nullptr, impl);
        return window;
    }

    tn::Reference<tnUI::Application> app;
};

// An application with one document "doc" shown in a document window.
class ShownDocumentTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        doc = document("doc");
        window = show(doc);
        instance = window->getDocumentInstance();
    }

    tnUI::Document* doc = nullptr;
    HostDocumentWindow* window = nullptr;
    tnUI::DocumentInstance* instance = nullptr;
};

} // namespace tnUITest
