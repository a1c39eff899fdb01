// The diagnostic dump of an application's model: N commands and values of
// five types, each with its name (and the commands with a label), written
// to /dev/null, on a warm heap and on fresh pages (see HeapCondition).

#include "BenchSupport.h"

#include <tnUI/application/Application.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/entity/DumpFile.h>
#include <tnUI/entity/Label.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/RealValue.h>

#include <string>

namespace tnBench {
namespace {

// A model of n entities registered in an application, cycling through two
// kinds of command and three kinds of value.
tn::Reference<tnUI::Application> model(std::int64_t n)
{
    tn::Reference<tnUI::Application> app(new tnUI::Application);
    for (std::int64_t i = 0; i < n; ++i) {
        const tnString::CString name("entity." + std::to_string(i));
        switch (i % 5) {
        case 0: {
            auto* command = new tnUI::MomentaryCommandDefn(name);
            command->setLabel(tn::Reference<tnUI::Label>(new tnUI::Label(("Command " + std::to_string(i)).c_str())));
            app->addCommand(command);
            break;
        }
        case 1: app->addCommand(new tnUI::ContinuousCommandDefn(name)); break;
        case 2: {
            auto* value = new tnUI::RealValue(0.5 * static_cast<double>(i));
            value->setName(name);
            app->addValue(value);
            break;
        }
        case 3: {
            auto* value = new tnUI::IntValue(static_cast<int>(i));
            value->setName(name);
            app->addValue(value);
            break;
        }
        default: {
            auto* value = new tnUI::BoolValue(i % 2 == 0);
            value->setName(name);
            app->addValue(value);
            break;
        }
        }
    }
    return app;
}

// One whole dump into a new file, as a host writes one: header, then the
// application and everything it holds. Returns the number of lines.
[[gnu::noinline]] int dumpModel(const tnUI::Application& app)
{
    tnUI::DumpFile file;
    if (!file.open(tnString::IString("/dev/null")))
        return 0;
    file.header();
    app.dump(file, 0, nullptr);
    return file.getLineNumber() - 1;
}

void BM_Dump_Model(benchmark::State& state)
{
    const auto n = state.range(0);
    const HeapCondition heap(state);
    const tn::Reference<tnUI::Application> app = model(n);
    int lines = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        lines = dumpModel(*app);
        if (heap.fresh()) {
            state.PauseTiming();
            heap.settle();
            state.ResumeTiming();
        }
    }
    report(state, n, "per_entity", before);
    state.counters["lines"] = lines;
    // Three lines of header and the application's own, then at least two
    // lines (the entity and its name) for each entity of the model.
    if (lines < 2 * n + 4)
        state.SkipWithError("the dump left out entities of the model");
}
BENCHMARK(BM_Dump_Model)
    ->ArgNames({"entities", "fresh_pages"})
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tnBench
