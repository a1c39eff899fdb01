// The application's name registry beside QHash, documents opened and closed
// in bulk, at 100 to 100,000 entries.

#include "BenchSupport.h"

#include <tnUI/application/Application.h>
#include <tnUI/application/Document.h>
#include <tnUI/application/DocumentInstance.h>
#include <tnUI/commands/CommandDefn.h>

#include <QHash>
#include <QString>

#include <vector>

namespace tnBench {
namespace {

void registrySizes(benchmark::internal::Benchmark* b)
{
    b->ArgName("entries")->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);
}

tnString::CString commandName(std::int64_t i)
{
    return tnString::CString("command." + std::to_string(i));
}

// N command definitions made once; the timed part registers them all in a
// fresh application, which lets go of them when it dies.
void BM_Registry_Insert_Ours(benchmark::State& state)
{
    const auto n = state.range(0);
    std::vector<tn::Reference<tnUI::CommandDefn>> commands;
    for (std::int64_t i = 0; i < n; ++i)
        commands.emplace_back(new tnUI::MomentaryCommandDefn(commandName(i)));
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        const tn::Reference<tnUI::Application> app(new tnUI::Application);
        for (const auto& c : commands)
            app->addCommand(c.get());
        if (app->getNumCommands() != n)
            state.SkipWithError("a command was not registered");
    }
    report(state, n, "per_entry", before);
}
BENCHMARK(BM_Registry_Insert_Ours)->Apply(registrySizes);

// The same insertions into a QHash keyed by QString.
void BM_Registry_Insert_QHash(benchmark::State& state)
{
    const auto n = state.range(0);
    std::vector<QString> names;
    std::vector<int> objects(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i)
        names.push_back(QString::fromStdString(commandName(i).str()));
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        QHash<QString, int*> table;
        for (std::size_t i = 0; i < names.size(); ++i)
            table.insert(names[i], &objects[i]);
        if (table.size() != n)
            state.SkipWithError("an entry was not inserted");
    }
    report(state, n, "per_entry", before);
}
BENCHMARK(BM_Registry_Insert_QHash)->Apply(registrySizes);

// Every registered name looked up once, by a key made beforehand.
void BM_Registry_Lookup_Ours(benchmark::State& state)
{
    const auto n = state.range(0);
    const tn::Reference<tnUI::Application> app(new tnUI::Application);
    std::vector<tnString::CString> names;
    for (std::int64_t i = 0; i < n; ++i) {
        names.push_back(commandName(i));
        app->addCommand(new tnUI::MomentaryCommandDefn(names.back()));
    }
    std::int64_t found = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (const auto& name : names)
            found += app->getCommand(name) != nullptr;
        benchmark::DoNotOptimize(found);
    }
    report(state, n, "per_lookup", before);
    checkDelivery(state, found, state.iterations() * n);
}
BENCHMARK(BM_Registry_Lookup_Ours)->Apply(registrySizes);

void BM_Registry_Lookup_QHash(benchmark::State& state)
{
    const auto n = state.range(0);
    std::vector<QString> names;
    std::vector<int> objects(static_cast<std::size_t>(n));
    QHash<QString, int*> table;
    for (std::int64_t i = 0; i < n; ++i) {
        names.push_back(QString::fromStdString(commandName(i).str()));
        table.insert(names.back(), &objects[static_cast<std::size_t>(i)]);
    }
    std::int64_t found = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (const auto& name : names)
            found += table.value(name) != nullptr;
        benchmark::DoNotOptimize(found);
    }
    report(state, n, "per_lookup", before);
    checkDelivery(state, found, state.iterations() * n);
}
BENCHMARK(BM_Registry_Lookup_QHash)->Apply(registrySizes);

// N documents, each with one instance, opened; then closed in the order
// they were opened: a document leaves the application with its last instance.
void BM_Documents_OpenClose(benchmark::State& state)
{
    const auto n = state.range(0);
    const tn::Reference<tnUI::Application> app(new tnUI::Application);
    std::vector<tnUI::DocumentInstance*> instances(static_cast<std::size_t>(n));
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (auto& instance : instances)
            instance = new tnUI::DocumentInstance(new tnUI::Document(app.get()));
        for (auto* instance : instances)
            instance->getDocument()->removeInstance(instance);
        if (app->getNumDocuments() != 0)
            state.SkipWithError("a document stayed open");
    }
    report(state, n, "per_document", before);
}
BENCHMARK(BM_Documents_OpenClose)->Apply(registrySizes);

} // namespace
} // namespace tnBench
