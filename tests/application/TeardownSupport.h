#pragma once

// A whole host to tear down in many random orders: whatever the host lets go
// of first, nothing may be used after it is freed and nothing may be left
// alive. The test programs add their own parts and steps.

#include "commands/CommandTestSupport.h"

#include <algorithm>
#include <functional>
#include <random>
#include <string>

namespace tnUITest {

using namespace tnUI;
using tnString::CString;
using tnString::IString;

// A representative host, every part of it held by a handle of the host's
// own: an application with two environments, a menu bar of commands, two
// documents (one shown twice), tools selected, and widget stand-ins that
// the host deletes itself or that delete themselves when closed.
struct Host {
    Host()
    {
        app = new Application;
        paint = new Environment(CString("paint"), IString("Paint"));
        sculpt = new Environment(CString("sculpt"), IString("Sculpt"));
        app->addEnvironment(paint);
        app->addEnvironment(sculpt);
        painting = new LoggingClass("painting", log);
        brush = new LoggingTool("brush", log);
        smudge = new LoggingTool("smudge", log);
        flip = new LoggingMomentary("flip", log);
        menu = new CommandGroup;
        menu->setName(CString("menu"));
        app->addMenu(menu);
        app->setMenuBar(CString("menu"));
        for (CommandDefn* d : {static_cast<CommandDefn*>(brush.get()), static_cast<CommandDefn*>(smudge.get()),
                               static_cast<CommandDefn*>(flip.get())}) {
            d->setClass(painting);
            app->addCommand(d);
            auto* ci = new CommandInstance(d);
            menu->appendItem(ci);
            paint->getCommandGroup()->appendItem(tn::Reference<CommandInstance>(new CommandInstance(d)));
        }
        docA = new Document(app);
        docB = new Document(app);
        windowA = shown(docA, 0);
        windowB1 = shown(docB, 1);
        windowB2 = shown(docB, 2);
        tools = new UtilityWindow(windowA);
        tools->setContent(tn::Reference<HostPane>(new HostPane));
        bind(3, [this](ToolkitWindowImpl* i) { tools->setQtUtilityWindow(nullptr, i); });
        a = windowA->getDocumentInstance();
        b1 = windowB1->getDocumentInstance();
        b2 = windowB2->getDocumentInstance();
        // A host that lets go of its application as soon as it is told to
        // exit.
        tnRTB::connect(app->exitSignal, &client, [this] { app = nullptr; });
        app->setActiveDocumentInstance(a);
        app->setActiveEnvironment(paint);
        app->selectCommand(static_cast<CommandInstance*>(menu->getElement(0)));
        windowB1->selectCommand(static_cast<CommandInstance*>(menu->getElement(1)));
        windowB2->selectCommand(static_cast<CommandInstance*>(paint->getCommandGroup()->getElement(0)));
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    ~Host()
    {
        for (FakeWindowImpl*& impl : impls)
            delete impl;
    }

    HostDocumentWindow* shown(Document* d, int widget)
    {
        auto* window = new HostDocumentWindow(new DocumentInstance(d));
        bind(widget, [window](ToolkitWindowImpl* i) { window->setQtDocumentWindow(nullptr, i); });
        return window;
    }
    // Makes widget number n (odd ones delete themselves when closed) and
    // forgets it when it dies, however it dies.
    void bind(int n, const std::function<void(ToolkitWindowImpl*)>& give)
    {
        auto* impl = new FakeWindowImpl(nullptr, "widget", n % 2 == 1);
        impls[static_cast<std::size_t>(n)] = impl;
        tnRTB::connect(impl->implDestroyedSignal, &client,
                       [this, n](ToolkitImpl*) { impls[static_cast<std::size_t>(n)] = nullptr; });
        give(impl);
    }

    Log log;
    tnRTB::SignalClient client;
    FakeWindowImpl* impls[4] = {};
    tn::Reference<Application> app;
    tn::Reference<Environment> paint, sculpt;
    tn::Reference<LoggingClass> painting;
    tn::Reference<LoggingTool> brush, smudge;
    tn::Reference<LoggingMomentary> flip;
    tn::Reference<CommandGroup> menu;
    tn::Reference<Document> docA, docB;
    tn::Reference<HostDocumentWindow> windowA, windowB1, windowB2;
    tn::Reference<UtilityWindow> tools;
    tn::Reference<DocumentInstance> a, b1, b2;
};

// What a host may do while it tears down: each step acts only through the
// handles it still holds.
using Step = std::function<void(Host&)>;

// Steps that each let go of one of the handles.
template <class... T>
std::vector<Step> lettingGo(tn::Reference<T> Host::*... handles)
{
    return {[handles](Host& h) { h.*handles = nullptr; }...};
}

// The steps of every host.
inline const std::vector<Step>& hostSteps()
{
    static const std::vector<Step> all = [] {
        std::vector<Step> steps =
            lettingGo(&Host::app, &Host::paint, &Host::sculpt, &Host::painting, &Host::brush, &Host::smudge,
                      &Host::flip, &Host::menu, &Host::docA, &Host::docB, &Host::windowA, &Host::windowB1,
                      &Host::windowB2, &Host::tools, &Host::a, &Host::b1, &Host::b2);
        for (std::size_t n = 0; n < 4; ++n) {
            steps.emplace_back([n](Host& h) {
                delete h.impls[n];
                h.impls[n] = nullptr;
            });
        }
        const Step others[] = {
            [](Host&) {
                if (Application* app = Application::findInstance())
                    app->closeAllWindows();
            },
            [](Host& h) {
                if (h.b2 && h.b2->getDocument())
                    h.b2->getDocument()->removeInstance(h.b2);
            },
            [](Host& h) {
                if (Application* app = Application::findInstance())
                    app->setActiveDocumentInstance(h.b1);
            },
            [](Host& h) {
                if (Application* app = Application::findInstance())
                    app->setActiveEnvironment(h.sculpt);
            },
            [](Host& h) {
                if (h.a)
                    h.a->getCommandController().select(nullptr, nullptr);
            },
            [](Host& h) {
                if (h.menu && h.menu->getNumElements() > 0)
                    h.menu->removeItem(0);
            },
            [](Host& h) {
                if (h.windowA)
                    h.windowA->hideGroup();
            },
            [](Host& h) {
                if (h.windowA)
                    h.windowA->raiseWindow();
            },
            [](Host& h) {
                if (h.app)
                    h.app->forceExit();
            },
        };
        steps.insert(steps.end(), std::begin(others), std::end(others));
        return steps;
    }();
    return all;
}

// Builds a host of type H and runs every step on it in the given number of
// seeded random orders; live entities and toolkit implementations are back
// at their start after each, and no application is left.
template <class H>
void tearDownInEveryOrder(const std::vector<Step>& steps, unsigned orders)
{
    const std::int32_t entities = Entity::numberOfActiveObjects();
    const std::int32_t impls = ToolkitImpl::numberOfActiveObjects();
    std::vector<std::size_t> order(steps.size());
    for (unsigned seed = 1; seed <= orders; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::mt19937 random(seed);
        std::shuffle(order.begin(), order.end(), random);
        {
            H host;
            for (std::size_t step : order)
                steps[step](host);
        }
        ASSERT_EQ(Entity::numberOfActiveObjects(), entities);
        ASSERT_EQ(ToolkitImpl::numberOfActiveObjects(), impls);
        ASSERT_EQ(Application::findInstance(), nullptr);
    }
}

} // namespace tnUITest
