// A leaf value's change forwarded to a listener at the root of an expression
// tree, and the evaluation of the same trees; one component's change of a
// vector reaching the vector's listener, next to a scalar's change reaching
// its own; a colour's round trip through HSL, next to QColor's.

#include "BenchSupport.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/RealValueArray.h>

#include <QColor>

#include <array>
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

// Changes value (alternating two numbers, so every store is a change) at
// every iteration; a listener of announcer must hear each change once.
void changeEveryIteration(benchmark::State& state, tnUI::RealValue& value, tnUI::Entity& announcer)
{
    tn::Reference<MessageCounter> listener(new MessageCounter);
    tnRTB::connect(announcer.messageSignal, listener.get(), &MessageCounter::onMessage);
    double next = 2.0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        changeLeaf(value, next);
        next = 3.0 - next;
    }
    report(state, 1, "per_change", before);
    checkDelivery(state, listener->count, state.iterations());
}

// A scalar's change (alternating two numbers) reaching its listener as one
// root "Value" message: the yardstick for the vectors below.
void BM_Value_ScalarChange(benchmark::State& state)
{
    const tn::Reference<tnUI::RealValue> value(new tnUI::RealValue(1.0));
    changeEveryIteration(state, *value, *value);
}
BENCHMARK(BM_Value_ScalarChange);

// One component of a RealValue4 changed through its own setter: the
// component's "Value" reaches the vector's listener as "Forward".
void BM_Value_Vector4ComponentChange(benchmark::State& state)
{
    const tn::Reference<tnUI::RealValue4> vector(new tnUI::RealValue4);
    vector->setInternalValue(1.0, 1.0, 1.0, 1.0);
    changeEveryIteration(state, *vector->getValue(2), *vector);
}
BENCHMARK(BM_Value_Vector4ComponentChange);

[[gnu::noinline]] void setVector(tnUI::RealValue4& vector, double z)
{
    vector.setInternalValue(1.0, 1.0, z, 1.0);
}

// The whole vector set with one component different: four silent stores and
// one root "Value" message.
void BM_Value_Vector4SetOneDifferent(benchmark::State& state)
{
    const tn::Reference<tnUI::RealValue4> vector(new tnUI::RealValue4);
    vector->setInternalValue(1.0, 1.0, 1.0, 1.0);
    tn::Reference<MessageCounter> listener(new MessageCounter);
    tnRTB::connect(vector->messageSignal, listener.get(), &MessageCounter::onMessage);
    double next = 2.0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        setVector(*vector, next);
        next = 3.0 - next;
    }
    report(state, 1, "per_change", before);
    checkDelivery(state, listener->count, state.iterations());
}
BENCHMARK(BM_Value_Vector4SetOneDifferent);

// One component of a vector of n components changed: the cost does not
// depend on n.
void BM_Value_VectorNComponentChange(benchmark::State& state)
{
    const auto n = state.range(0);
    const tn::Reference<tnUI::RealValueN> vector(
        new tnUI::RealValueN(std::vector<double>(static_cast<std::size_t>(n), 1.0)));
    changeEveryIteration(state, *vector->getValue(static_cast<int>(n / 2)), *vector);
}
BENCHMARK(BM_Value_VectorNComponentChange)->ArgName("components")->Arg(100)->Arg(10000)->Arg(100000);

// 4096 colours spread over the RGB cube, greys included.
std::vector<std::array<int, 3>> colourGrid()
{
    std::vector<std::array<int, 3>> colours;
    for (int r = 0; r < 256; r += 17)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 17)
                colours.push_back({r, g, b});
    return colours;
}

// RGB to HSL and back, per colour, with the library's functions.
void BM_Color_RoundTrip(benchmark::State& state)
{
    const std::vector<std::array<int, 3>> colours = colourGrid();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (const auto& c : colours) {
            float h, s, l, r, g, b;
            tnUI::getHSLFromRGB(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]), h, s, l);
            tnUI::getRGBFromHSL(h, s, l, r, g, b);
            benchmark::DoNotOptimize(r + g + b);
        }
    }
    report(state, static_cast<std::int64_t>(colours.size()), "per_colour", before);
}
BENCHMARK(BM_Color_RoundTrip);

// The same with what a Qt host has at hand: QColor's HSL conversion.
void BM_Color_RoundTripQColor(benchmark::State& state)
{
    const std::vector<std::array<int, 3>> colours = colourGrid();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (const auto& c : colours) {
            const QColor back = QColor::fromRgb(c[0], c[1], c[2]).toHsl().toRgb();
            benchmark::DoNotOptimize(back.rgb());
        }
    }
    report(state, static_cast<std::int64_t>(colours.size()), "per_colour", before);
}
BENCHMARK(BM_Color_RoundTripQColor);

} // namespace
} // namespace tnBench
