// A large application's model built with tnUI and with Qt's own classes, the
// same shape on both sides, at 100 to 100,000 commands:
//  - tnUI: N momentary command definitions, each named, labeled, enabled by
//    one shared BoolValue and registered with an Application; one command
//    instance of each in a command group of at most kPerMenu instances, the
//    groups in one root command group;
//  - Qt: N QActions with their text, a QHash<QString, QAction*> registry, a
//    switch object whose changed(bool) signal drives every action's
//    setEnabled, and QMenus two levels deep (a root QMenu of submenus of at
//    most kPerMenu actions).
// The timed part builds the model from names and texts made beforehand, each
// side in its own string type. The teardown follows untimed; its time is
// reported apart. Per command: time, allocations (every malloc, Qt's own
// included), heap bytes the built model holds, teardown time.
//
// On this machine a page the process touches for the first time costs about
// 10 us, as much as building a few dozen commands. Whether a build finds the
// pages of the previous one depends on where the allocator's free memory
// lies when the teardown ends, so both sides run in two set conditions:
//  - fresh_pages:0, a warm heap: the allocator keeps the freed memory, every
//    build after the first reuses pages the process already has (the work of
//    the build alone);
//  - fresh_pages:1: after each teardown the allocator returns all free memory
//    to the system, so every build touches fresh pages for what it holds, as
//    the one build of a starting application does.

#include "BenchSupport.h"
#include "GuiApp.h"
#include "QtBench.h"

#include <tnUI/application/Application.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Label.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/BoolValue.h>

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QString>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace tnBench {
namespace {

// Commands per submenu.
constexpr std::int64_t kPerMenu = 20;

void modelSizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"commands", "fresh_pages"})->Unit(benchmark::kMillisecond);
    for (const std::int64_t fresh : {0, 1}) {
        for (const std::int64_t n : {100, 1000, 10000, 100000})
            b->Args({n, fresh});
    }
}

std::string commandName(std::int64_t i)
{
    return "command." + std::to_string(i);
}

std::string commandText(std::int64_t i)
{
    return "Command " + std::to_string(i);
}

// The measurements of one run besides its time: the allocations and bytes
// of the builds and the time of the teardowns, summed over the iterations.
class Meter {
public:
    explicit Meter(std::int64_t commands) : m_commands(commands) {}

    // Around the timed build: called with timing paused.
    void buildStarts() noexcept
    {
        m_bytesBefore = heapBytesInUse();
        m_allocationsBefore = mallocCount();
    }
    void buildEnds() noexcept
    {
        m_allocations += mallocCount() - m_allocationsBefore;
        m_bytes = heapBytesInUse() - m_bytesBefore;
    }
    // Runs teardown, timing it.
    template <class F>
    void tearDown(const F& teardown)
    {
        const auto start = std::chrono::steady_clock::now();
        teardown();
        m_teardown += std::chrono::steady_clock::now() - start;
    }

    void report(benchmark::State& state) const
    {
        const auto perCommand = [&](double total) {
            return total / static_cast<double>(state.iterations()) / static_cast<double>(m_commands);
        };
        state.SetItemsProcessed(state.iterations() * m_commands);
        state.counters["per_command"] =
            benchmark::Counter(static_cast<double>(m_commands),
                               benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
        state.counters["allocs_per_cmd"] = perCommand(static_cast<double>(m_allocations));
        // The last build's: every build holds the same.
        state.counters["bytes_per_cmd"] = static_cast<double>(m_bytes) / static_cast<double>(m_commands);
        state.counters["teardown_ns_per_cmd"] =
            perCommand(static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(m_teardown).count()));
    }

private:
    std::int64_t m_commands;
    std::int64_t m_bytesBefore = 0;
    std::int64_t m_bytes = 0;
    std::uint64_t m_allocationsBefore = 0;
    std::uint64_t m_allocations = 0;
    std::chrono::steady_clock::duration m_teardown{};
};

// Builds the model once per iteration (the timed part), checks the first
// build and tears every build down untimed. Model is what build fills in and
// what assigning a fresh Model tears down; afterTeardown(state) checks what
// must hold once it is gone.
template <class Model, class Build, class Check, class AfterTeardown>
void runBuilds(benchmark::State& state, const Build& build, const Check& check, const AfterTeardown& afterTeardown)
{
    const std::int64_t n = state.range(0);
    Meter meter(n);
    const HeapCondition heap(state);
    if (!heap.fresh()) {
        // The heap holds a model once before the first timed build.
        Model model;
        build(model);
        model = Model();
    }
    bool checked = false;
    for (auto _ : state) {
        state.PauseTiming();
        Model model;
        meter.buildStarts();
        state.ResumeTiming();
        build(model);
        state.PauseTiming();
        meter.buildEnds();
        if (!checked && !check(model, n))
            state.SkipWithError("the model is not complete");
        checked = true;
        meter.tearDown([&model] { model = Model(); });
        afterTeardown(state);
        heap.settle();
        state.ResumeTiming();
    }
    meter.report(state);
}

// tnUI's side.
struct OurInput {
    std::vector<tnString::CString> names, texts;
};

struct OurModel {
    tn::Reference<tnUI::Application> app;
    tn::Reference<tnUI::BoolValue> enabled;
    tn::Reference<tnUI::CommandGroup> root;
};

[[gnu::noinline]] void buildOurs(OurModel& model, const OurInput& input)
{
    model.app = new tnUI::Application;
    model.enabled = new tnUI::BoolValue(true);
    model.root = new tnUI::CommandGroup;
    tnUI::CommandGroup* menu = nullptr;
    for (std::size_t i = 0; i < input.names.size(); ++i) {
        if (i % kPerMenu == 0) {
            menu = new tnUI::CommandGroup;
            model.root->appendItem(menu);
        }
        auto* command = new tnUI::MomentaryCommandDefn(input.names[i]);
        command->setLabel(new tnUI::Label(input.texts[i]));
        command->setEnabledExpression(model.enabled.get());
        model.app->addCommand(command);
        menu->appendItem(new tnUI::CommandInstance(command));
    }
}

// Every command registered, in its menu, following the switch.
bool checkOurs(const OurModel& model, std::int64_t n)
{
    if (model.app->getNumCommands() != n)
        return false;
    for (const bool on : {false, true}) {
        model.enabled->setValue(on);
        std::int64_t seen = 0;
        for (int m = 0; m < model.root->getNumElements(); ++m) {
            const auto* menu = dynamic_cast<const tnUI::Group*>(model.root->getElement(m));
            for (int i = 0; menu && i < menu->getNumElements(); ++i, ++seen) {
                if (menu->getElement(i)->getEnabled() != on)
                    return false;
            }
        }
        if (seen != n)
            return false;
    }
    return true;
}

void BM_Model_Build_Ours(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    OurInput input;
    for (std::int64_t i = 0; i < n; ++i) {
        input.names.emplace_back(commandName(i));
        input.texts.emplace_back(commandText(i));
    }
    const std::int32_t entitiesBefore = tnUI::Entity::numberOfActiveObjects();
    runBuilds<OurModel>(
        state, [&input](OurModel& model) { buildOurs(model, input); }, checkOurs,
        [entitiesBefore](benchmark::State& s) {
            if (tnUI::Entity::numberOfActiveObjects() != entitiesBefore)
                s.SkipWithError("entities outlived the teardown");
        });
}
BENCHMARK(BM_Model_Build_Ours)->Apply(modelSizes);

// Qt's side.
struct QtInput {
    std::vector<QString> names, texts;
};

struct QtModel {
    std::unique_ptr<QtSwitch> enabled;
    QHash<QString, QAction*> registry;
    std::unique_ptr<QMenu> root; // owns the submenus, which own their actions
};

[[gnu::noinline]] void buildQt(QtModel& model, const QtInput& input)
{
    model.enabled = std::make_unique<QtSwitch>();
    model.root = std::make_unique<QMenu>();
    QMenu* menu = nullptr;
    for (std::size_t i = 0; i < input.names.size(); ++i) {
        if (i % kPerMenu == 0) {
            menu = new QMenu(model.root.get());
            model.root->addMenu(menu);
        }
        auto* action = new QAction(input.texts[i], menu);
        model.registry.insert(input.names[i], action);
        QObject::connect(model.enabled.get(), &QtSwitch::changed, action, &QAction::setEnabled);
        menu->addAction(action);
    }
}

bool checkQt(const QtModel& model, std::int64_t n)
{
    if (model.registry.size() != n)
        return false;
    for (const bool on : {false, true}) {
        Q_EMIT model.enabled->changed(on);
        std::int64_t seen = 0;
        for (QAction* entry : model.root->actions()) {
            for (QAction* action : entry->menu()->actions()) {
                ++seen;
                if (action->isEnabled() != on)
                    return false;
            }
        }
        if (seen != n)
            return false;
    }
    return true;
}

void BM_Model_Build_Qt(benchmark::State& state)
{
    ensureGuiApplication();
    const std::int64_t n = state.range(0);
    QtInput input;
    for (std::int64_t i = 0; i < n; ++i) {
        input.names.push_back(QString::fromStdString(commandName(i)));
        input.texts.push_back(QString::fromStdString(commandText(i)));
    }
    runBuilds<QtModel>(
        state, [&input](QtModel& model) { buildQt(model, input); }, checkQt, [](benchmark::State&) {});
}
BENCHMARK(BM_Model_Build_Qt)->Apply(modelSizes);

} // namespace
} // namespace tnBench
