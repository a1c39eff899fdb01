// A leaf value's change forwarded to a listener at the root of an expression
// tree, and the evaluation of the same trees.

#include "BenchSupport.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/RealValue.h>

#include <vector>

namespace tnBench {
namespace {

// A chain of `depth` expression nodes above one real leaf, alternating
// ExpressionAdd (the node below plus a constant) and ExpressionNot, so that
// every node has exactly one path to the leaf.
struct ExpressionChain {
    explicit ExpressionChain(std::int64_t depth) : leaf(new tnUI::RealValue(1.0)), constant(new tnUI::RealValue(0.5))
    {
        tnUI::NumericValue* below = leaf.get();
        for (std::int64_t i = 0; i < depth; ++i) {
            if (i % 2 == 0)
                nodes.emplace_back(new tnUI::ExpressionAdd(below, constant.get()));
            else
                nodes.emplace_back(new tnUI::ExpressionNot(below));
            below = nodes.back().get();
        }
    }

    tnUI::NumericValue& root() const { return *nodes.back(); }

    tn::Reference<tnUI::RealValue> leaf;
    tn::Reference<tnUI::RealValue> constant;
    std::vector<tn::Reference<tnUI::NumericValue>> nodes;
};

void depths(benchmark::internal::Benchmark* b)
{
    b->ArgName("depth")->Arg(1)->Arg(4)->Arg(16);
}

[[gnu::noinline]] void changeLeaf(tnUI::RealValue& leaf, double v)
{
    leaf.setInternalValue(v);
}

// One change of the leaf (alternating two numbers, so every store is a
// change) reaches the root's listener as one chain of "Forward" messages.
void BM_Value_ForwardThroughTree(benchmark::State& state)
{
    const auto depth = state.range(0);
    const ExpressionChain chain(depth);
    tn::Reference<MessageCounter> listener(new MessageCounter);
    tnRTB::connect(chain.root().messageSignal, listener.get(), &MessageCounter::onMessage);
    double next = 2.0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        changeLeaf(*chain.leaf, next);
        next = 3.0 - next;
    }
    report(state, depth, "per_level", before);
    checkDelivery(state, listener->count, state.iterations());
}
BENCHMARK(BM_Value_ForwardThroughTree)->Apply(depths);

[[gnu::noinline]] bool evaluate(const tnUI::NumericValue& root)
{
    return root.evalBool();
}

// One evaluation of the root, which walks the whole chain down to the leaf.
void BM_Value_EvaluateTree(benchmark::State& state)
{
    const auto depth = state.range(0);
    const ExpressionChain chain(depth);
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluate(chain.root()));
    report(state, depth, "per_level", before);
}
BENCHMARK(BM_Value_EvaluateTree)->Apply(depths);

} // namespace
} // namespace tnBench
