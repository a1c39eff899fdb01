// Drives scalar values, conditions and expression trees through a script
// decoded from the fuzzer's input and checks them against a reference model.
//
// The pool holds two real, two integer and two boolean values and a
// condition (the leaves), each created set or unset, and up to eight
// expression nodes built during the script over earlier leaves and nodes (a
// node may use one operand twice). Operations store numbers through the
// member and the free setters (special doubles included: signed zeros,
// tolerance-sized numbers, huge, infinite and NaN), set and clear ranges,
// reset leaves and whole trees, change the editable flag, assign one leaf to
// another, update the condition with a scripted truth and build nodes.
//
// The model keeps each leaf's set flag, number, default, range and editable
// flag and applies the documented rules directly: exact clamping and change
// tests (a NaN never equals the stored number), the first store fixing the
// default, resets through the tree left to right stopping at the first unset
// leaf, short-circuit And and Or, exact ordering comparisons, equality within
// the tolerance, division by a near-zero divisor giving 2147483647. After
// each operation every leaf and node is evaluated both ways (or must raise
// NotSetError in both), isSet must agree, and a listener on every leaf and
// node must have heard exactly the messages the model predicts: one root
// "Value" message per real change of a leaf, none otherwise, and at each node
// one "Forward" message per message of each operand use.

#include "FuzzInput.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/RealValue.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

using tnLinear::epsilonTol;
using tnUI::NumericValue;

constexpr int kReals = 2, kInts = 2, kBools = 2;
constexpr int kLeaves = kReals + kInts + kBools + 1; // the last one is the condition
constexpr int kMaxNodes = 8;
constexpr int kMaxOps = 64;

enum class Kind { Real, Int, Bool, Condition };

Kind leafKind(int i)
{
    if (i < kReals)
        return Kind::Real;
    if (i < kReals + kInts)
        return Kind::Int;
    if (i < kReals + kInts + kBools)
        return Kind::Bool;
    return Kind::Condition;
}

enum NodeKind : std::uint8_t {
    And,
    Or,
    Less,
    LessEq,
    Greater,
    GreaterEq,
    Equal,
    NotEqual,
    Add,
    Subtract,
    Multiply,
    Divide,
    Not,
    NodeKindCount
};

bool isArithmetic(NodeKind k)
{
    return k >= Add && k <= Divide;
}

class Reader : public FuzzInput {
public:
    using FuzzInput::FuzzInput;
    double real()
    {
        static const double table[] = {0.0,
                                       -0.0,
                                       1.0,
                                       -1.0,
                                       0.5,
                                       3.0,
                                       10.0,
                                       epsilonTol,
                                       -epsilonTol,
                                       epsilonTol / 2,
                                       -epsilonTol / 2,
                                       1e300,
                                       -1e300,
                                       std::numeric_limits<double>::infinity(),
                                       -std::numeric_limits<double>::infinity(),
                                       std::numeric_limits<double>::quiet_NaN(),
                                       2147483647.0,
                                       -2147483649.0,
                                       std::numeric_limits<double>::denorm_min()};
        const std::uint8_t b = next();
        if (b >= 0xf0)
            return raw<double>();
        return table[b % std::size(table)];
    }
    int integer()
    {
        static const int table[] = {
            0, 1, -1, 2, 3, 7, 100, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};
        const std::uint8_t b = next();
        if (b >= 0xf0)
            return raw<int>();
        return table[b % std::size(table)];
    }
};

[[noreturn]] void fail(const char* what, int opIndex, int object)
{
    std::fprintf(stderr, "value_fuzzer: %s (object %d) after operation %d\n", what, object, opIndex);
    __builtin_trap();
}

bool sameNumber(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

// ---------------------------------------------------------------------------
// The library side.

class FuzzCondition : public tnUI::Condition {
public:
    bool compute() override { return next; }
    bool next = false;
};

// Counts the messages an entity sends, by kind.
struct Listener {
    explicit Listener(const tnUI::Entity* e)
    {
        tnRTB::connect(e->messageSignal, &client, [this](tnUI::Message& m) {
            if (m.isRoot() && m.getType() == tnUI::Message::Value)
                ++roots;
            else if (!m.isRoot() && m.getType() == tnUI::Message::Forward)
                ++forwards;
            else
                ++others;
        });
    }
    int roots = 0, forwards = 0, others = 0;
    tnRTB::SignalClient client;
};

// ---------------------------------------------------------------------------
// The model.

struct NotSet {};

struct ModelLeaf {
    Kind kind = Kind::Real;
    bool set = false;
    double value = 0.0; // real, int (exactly) and bool (0/1) alike
    double defaultValue = 0.0;
    double min = std::numeric_limits<double>::max();
    double max = std::numeric_limits<double>::lowest();
    bool editable = true;
    // The condition.
    bool computed = false;
    bool truth = false;
    bool next = false;
};

struct ModelNode {
    NodeKind kind = Not;
    int left = 0, right = 0; // operand objects; leaves first, then nodes
    bool editable = true;
};

class World {
public:
    World(Reader& in)
    {
        for (int i = 0; i < kLeaves; ++i) {
            ModelLeaf& m = m_leaves[i];
            m.kind = leafKind(i);
            const bool startSet = (in.next() & 1) != 0 && m.kind != Kind::Condition;
            switch (m.kind) {
            case Kind::Real: {
                const double v = in.real();
                m_values[i] = startSet ? tn::Reference<NumericValue>(new tnUI::RealValue(v))
                                       : tn::Reference<NumericValue>(new tnUI::RealValue);
                m.value = m.defaultValue = v;
                break;
            }
            case Kind::Int: {
                const int v = in.integer();
                m_values[i] = startSet ? tn::Reference<NumericValue>(new tnUI::IntValue(v))
                                       : tn::Reference<NumericValue>(new tnUI::IntValue);
                m.value = m.defaultValue = v;
                break;
            }
            case Kind::Bool: {
                const bool v = (in.next() & 1) != 0;
                m_values[i] = startSet ? tn::Reference<NumericValue>(new tnUI::BoolValue(v))
                                       : tn::Reference<NumericValue>(new tnUI::BoolValue);
                m.value = m.defaultValue = v ? 1.0 : 0.0;
                break;
            }
            case Kind::Condition: m_values[i] = tn::Reference<NumericValue>(new FuzzCondition); break;
            }
            m.set = startSet;
            // An unset value holds zeros, which assign copies.
            if (!startSet)
                m.value = m.defaultValue = 0.0;
            m_listeners.push_back(std::make_unique<Listener>(m_values[i].get()));
        }
    }

    int objects() const { return kLeaves + static_cast<int>(m_nodes.size()); }

    void run(Reader& in, int opIndex)
    {
        m_opIndex = opIndex;
        m_own.assign(objects(), 0);
        for (auto& l : m_listeners)
            l->roots = l->forwards = l->others = 0;
        const std::uint8_t op = in.next() % 12;
        const int leaf = in.next() % kLeaves;
        bool realThrew = false;
        bool modelThrew = false;
        try {
            apply(op, leaf, in, realThrew);
        } catch (const NotSet&) {
            modelThrew = true;
        }
        if (realThrew != modelThrew)
            fail(realThrew ? "the library raised NotSetError, the model did not"
                           : "the model raised, the library did not",
                 opIndex, leaf);
        checkMessages(opIndex);
        checkState(opIndex);
    }

private:
    tnUI::RealValue* real(int i) { return static_cast<tnUI::RealValue*>(m_values[i].get()); }
    tnUI::IntValue* integer(int i) { return static_cast<tnUI::IntValue*>(m_values[i].get()); }
    tnUI::BoolValue* flag(int i) { return static_cast<tnUI::BoolValue*>(m_values[i].get()); }
    NumericValue* object(int o) { return o < kLeaves ? m_values[o].get() : m_nodes[o - kLeaves].get(); }

    static bool bounded(const ModelLeaf& m) { return !(m.max < m.min); }

    // Stores a number as the setters do; true when it counts as a change.
    static bool store(ModelLeaf& m, double v)
    {
        double x = v;
        if (bounded(m)) {
            if (v < m.min)
                x = m.min;
            else if (v > m.max)
                x = m.max;
        }
        if (m.kind == Kind::Int)
            x = static_cast<double>(static_cast<int>(x));
        if (m.set && m.value == x)
            return false;
        if (!m.set)
            m.defaultValue = x;
        m.value = x;
        m.set = true;
        return true;
    }

    void storeAnnounced(int i, double v)
    {
        if (store(m_leaves[i], v))
            ++m_own[i];
    }

    void modelReset(int o)
    {
        if (o >= kLeaves) {
            const ModelNode n = m_modelNodes[o - kLeaves];
            modelReset(n.left);
            if (n.kind != Not)
                modelReset(n.right);
            return;
        }
        ModelLeaf& m = m_leaves[o];
        if (m.kind == Kind::Condition)
            return;
        if (!m.set)
            throw NotSet();
        storeAnnounced(o, m.defaultValue);
    }

    template <class F>
    static void library(bool& threw, F&& f)
    {
        try {
            f();
        } catch (const tnUI::NotSetError&) {
            threw = true;
        }
    }

    void apply(std::uint8_t op, int leaf, Reader& in, bool& realThrew)
    {
        ModelLeaf& m = m_leaves[leaf];
        switch (op) {
        case 0: // store through the member setter
        case 1: // store through the free setter, of the right or a wrong kind
        {
            const double d = in.real();
            const int i = in.integer();
            const bool b = (in.next() & 1) != 0;
            const bool viaFree = op == 1;
            if (viaFree && (in.next() & 3) == 0) {
                // A setter of another kind: TypeError, nothing changes.
                bool typeError = false;
                try {
                    if (m.kind == Kind::Real)
                        tnUI::setValue(m_values[leaf].get(), i);
                    else
                        tnUI::setInternalValue(m_values[leaf].get(), d);
                } catch (const tnUI::TypeError&) {
                    typeError = true;
                }
                if (!typeError)
                    fail("a setter of another kind was accepted", m_opIndex, leaf);
                break;
            }
            switch (m.kind) {
            case Kind::Real: {
                const int how = in.next() % 4;
                const bool announced = viaFree || how <= 1;
                bool changed = false;
                if (viaFree)
                    tnUI::setInternalValue(m_values[leaf].get(), d);
                else if (how == 0)
                    changed = real(leaf)->setInternalValue(d);
                else if (how == 1)
                    changed = real(leaf)->setDisplayValue(d);
                else if (how == 2)
                    changed = real(leaf)->setDisplayValueSilent(d);
                else
                    changed = real(leaf)->setInternalValueSilent(d);
                const bool expected = store(m, d);
                if (!viaFree && changed != expected)
                    fail("a real setter's result", m_opIndex, leaf);
                if (expected && announced)
                    ++m_own[leaf];
                break;
            }
            case Kind::Int:
                if (viaFree)
                    tnUI::setValue(m_values[leaf].get(), i);
                else
                    integer(leaf)->setValue(i);
                storeAnnounced(leaf, i);
                break;
            case Kind::Bool:
                if (viaFree)
                    tnUI::setValue(m_values[leaf].get(), b);
                else
                    flag(leaf)->setValue(b);
                storeAnnounced(leaf, b ? 1.0 : 0.0);
                break;
            case Kind::Condition: {
                auto* c = static_cast<FuzzCondition*>(m_values[leaf].get());
                c->next = b;
                m.next = b;
                c->update();
                if (!m.computed || m.truth != b) {
                    m.computed = true;
                    m.truth = b;
                    ++m_own[leaf];
                }
                break;
            }
            }
            break;
        }
        case 2: // a range
        {
            if (m.kind == Kind::Real) {
                const double lo = in.real(), hi = in.real();
                real(leaf)->setRange(lo, hi);
                m.min = lo;
                m.max = hi;
                if (m.set)
                    storeAnnounced(leaf, m.value);
            } else if (m.kind == Kind::Int) {
                const int lo = in.integer(), hi = in.integer();
                integer(leaf)->setRange(lo, hi);
                m.min = lo;
                m.max = hi;
                if (m.set)
                    storeAnnounced(leaf, m.value);
            }
            break;
        }
        case 3: // no range
            if (m.kind == Kind::Real)
                real(leaf)->setRangeUnbounded();
            else if (m.kind == Kind::Int)
                integer(leaf)->setRangeUnbounded();
            else
                break;
            m.min = std::numeric_limits<double>::max();
            m.max = std::numeric_limits<double>::lowest();
            break;
        case 4: // reset a leaf or a whole tree
        {
            const int o = in.next() % objects();
            library(realThrew, [&] { object(o)->reset(); });
            modelReset(o);
            break;
        }
        case 5: // the editable flag of a leaf or a node
        {
            const int o = in.next() % objects();
            const bool e = (in.next() & 1) != 0;
            object(o)->setEditble(e);
            bool& held = o < kLeaves ? m_leaves[o].editable : m_modelNodes[o - kLeaves].editable;
            if (held != e) {
                held = e;
                ++m_own[o];
            }
            break;
        }
        case 6: // assign another leaf
        {
            const int from = in.next() % kLeaves;
            const bool accepted = m_values[leaf]->assign(m_values[from].get());
            const ModelLeaf source = m_leaves[from];
            // A condition keeps the base rule: any value is accepted and
            // only the editable flag is copied.
            const bool expected = source.kind == m.kind || m.kind == Kind::Condition;
            if (accepted != expected)
                fail("assign's result", m_opIndex, leaf);
            if (m.kind == Kind::Condition) {
                m.editable = source.editable;
            } else if (expected) {
                m.value = source.value;
                m.defaultValue = source.defaultValue;
                m.min = source.min;
                m.max = source.max;
                m.set = true;
                m.editable = source.editable;
            }
            break;
        }
        case 7: // a new node
        case 8: {
            const NodeKind kind = static_cast<NodeKind>(in.next() % NodeKindCount);
            const int left = in.next() % objects();
            const int right = in.next() % objects();
            if (m_nodes.size() >= kMaxNodes)
                break;
            NumericValue* l = object(left);
            NumericValue* r = object(right);
            tn::Reference<NumericValue> node;
            switch (kind) {
            case And: node = tn::Reference<NumericValue>(new tnUI::ExpressionAnd(l, r)); break;
            case Or: node = tn::Reference<NumericValue>(new tnUI::ExpressionOr(l, r)); break;
            case Less: node = tn::Reference<NumericValue>(new tnUI::ExpressionLess(l, r)); break;
            case LessEq: node = tn::Reference<NumericValue>(new tnUI::ExpressionLessEq(l, r)); break;
            case Greater: node = tn::Reference<NumericValue>(new tnUI::ExpressionGreater(l, r)); break;
            case GreaterEq: node = tn::Reference<NumericValue>(new tnUI::ExpressionGreaterEq(l, r)); break;
            case Equal: node = tn::Reference<NumericValue>(new tnUI::ExpressionEqual(l, r)); break;
            case NotEqual: node = tn::Reference<NumericValue>(new tnUI::ExpressionNotEqual(l, r)); break;
            case Add: node = tn::Reference<NumericValue>(new tnUI::ExpressionAdd(l, r)); break;
            case Subtract: node = tn::Reference<NumericValue>(new tnUI::ExpressionSubtract(l, r)); break;
            case Multiply: node = tn::Reference<NumericValue>(new tnUI::ExpressionMultiply(l, r)); break;
            case Divide: node = tn::Reference<NumericValue>(new tnUI::ExpressionDivide(l, r)); break;
            case Not:
            case NodeKindCount: node = tn::Reference<NumericValue>(new tnUI::ExpressionNot(l)); break;
            }
            m_nodes.push_back(node);
            m_modelNodes.push_back({kind == NodeKindCount ? Not : kind, left, right});
            m_own.push_back(0);
            m_listeners.push_back(std::make_unique<Listener>(node.get()));
            break;
        }
        default: // 9-11: evaluation only, below
            break;
        }
    }

    // The number of messages each object is expected to have sent: its own
    // root messages, plus one forward per message of each operand use.
    void checkMessages(int opIndex)
    {
        std::vector<int> total(objects(), 0);
        for (int o = 0; o < objects(); ++o) {
            total[o] = m_own[o];
            if (o >= kLeaves) {
                const ModelNode& n = m_modelNodes[o - kLeaves];
                total[o] += total[n.left] + (n.kind == Not ? 0 : total[n.right]);
            }
        }
        for (int o = 0; o < objects(); ++o) {
            const Listener& l = *m_listeners[o];
            if (l.roots != m_own[o] || l.forwards != total[o] - m_own[o] || l.others != 0)
                fail("the messages heard differ from the model", opIndex, o);
        }
    }

    // The model's evaluation.
    bool modelSet(int o) const
    {
        if (o < kLeaves)
            return m_leaves[o].kind != Kind::Condition && m_leaves[o].set;
        const ModelNode& n = m_modelNodes[o - kLeaves];
        return n.kind == Not ? modelSet(n.left) : modelSet(n.left) && modelSet(n.right);
    }

    double modelDouble(int o) const
    {
        if (o < kLeaves) {
            const ModelLeaf& m = m_leaves[o];
            if (m.kind == Kind::Condition)
                return m.truth ? 1.0 : 0.0;
            if (!m.set)
                throw NotSet();
            return m.value;
        }
        const ModelNode& n = m_modelNodes[o - kLeaves];
        switch (n.kind) {
        case Add: {
            const double l = modelDouble(n.left);
            return l + modelDouble(n.right);
        }
        case Subtract: {
            const double l = modelDouble(n.left);
            return l - modelDouble(n.right);
        }
        case Multiply: {
            const double l = modelDouble(n.left);
            return l * modelDouble(n.right);
        }
        case Divide: {
            const double r = modelDouble(n.right);
            if (std::fabs(r) < epsilonTol)
                return 2147483647.0;
            return modelDouble(n.left) / r;
        }
        default: return modelBool(o) ? 1.0 : 0.0;
        }
    }

    bool modelBool(int o) const
    {
        if (o < kLeaves) {
            const ModelLeaf& m = m_leaves[o];
            switch (m.kind) {
            case Kind::Condition: return m.truth;
            case Kind::Real: return !(std::fabs(modelDouble(o) - 0.0) < epsilonTol);
            case Kind::Int:
            case Kind::Bool: return modelDouble(o) != 0.0;
            }
        }
        const ModelNode& n = m_modelNodes[o - kLeaves];
        if (isArithmetic(n.kind))
            return !(std::fabs(modelDouble(o)) < epsilonTol);
        switch (n.kind) {
        case And: return modelBool(n.left) && modelBool(n.right);
        case Or: return modelBool(n.left) || modelBool(n.right);
        case Not: return !modelBool(n.left);
        default: break;
        }
        const double l = modelDouble(n.left);
        const double r = modelDouble(n.right);
        switch (n.kind) {
        case Less: return l < r;
        case LessEq: return l <= r;
        case Greater: return l > r;
        case GreaterEq: return l >= r;
        case Equal: return std::fabs(l - r) < epsilonTol;
        case NotEqual: return !(std::fabs(l - r) < epsilonTol);
        default: return false;
        }
    }

    template <class T, class Real, class Model>
    static void compare(const Real& real, const Model& model, bool (*same)(T, T), int opIndex, int o, const char* what)
    {
        std::optional<T> r, m;
        try {
            r = real();
        } catch (const tnUI::NotSetError&) {
        }
        try {
            m = model();
        } catch (const NotSet&) {
        }
        if (r.has_value() != m.has_value() || (r && !same(*r, *m))) {
            std::fprintf(stderr, "value_fuzzer: library %s %.17g, model %s %.17g\n", r ? "gives" : "raises",
                         r ? static_cast<double>(*r) : 0.0, m ? "gives" : "raises", m ? static_cast<double>(*m) : 0.0);
            fail(what, opIndex, o);
        }
    }

    static bool sameBool(bool a, bool b) { return a == b; }

    void checkState(int opIndex)
    {
        for (int o = 0; o < objects(); ++o) {
            NumericValue* v = object(o);
            compare<double>([v] { return v->evalDouble(); }, [this, o] { return modelDouble(o); }, &sameNumber, opIndex,
                            o, "evalDouble differs from the model");
            compare<bool>([v] { return v->evalBool(); }, [this, o] { return modelBool(o); }, &sameBool, opIndex, o,
                          "evalBool differs from the model");
            const bool editable = o < kLeaves ? m_leaves[o].editable : m_modelNodes[o - kLeaves].editable;
            if (v->isSet() != modelSet(o) || v->getEditable() != editable)
                fail("isSet or the editable flag differs from the model", opIndex, o);
            if (o < kLeaves && m_leaves[o].kind != Kind::Condition && m_leaves[o].kind != Kind::Bool) {
                const tnLinear::Range1d& range =
                    m_leaves[o].kind == Kind::Real ? real(o)->getRange() : integer(o)->getRange();
                if (!sameNumber(range.getMin(), m_leaves[o].min) || !sameNumber(range.getMax(), m_leaves[o].max))
                    fail("the range differs from the model", opIndex, o);
            }
        }
    }

    tn::Reference<NumericValue> m_values[kLeaves];
    std::vector<tn::Reference<NumericValue>> m_nodes;
    ModelLeaf m_leaves[kLeaves];
    std::vector<ModelNode> m_modelNodes;
    std::vector<std::unique_ptr<Listener>> m_listeners;
    int m_opIndex = 0;
    std::vector<int> m_own; // root messages each object sent itself in this operation
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int32_t liveAtStart = tnUI::Entity::numberOfActiveObjects();
    {
        Reader in(data, size);
        World world(in);
        for (int opIndex = 0; opIndex < kMaxOps && !in.done(); ++opIndex)
            world.run(in, opIndex);
    }
    if (tnUI::Entity::numberOfActiveObjects() != liveAtStart)
        fail("entities left alive", kMaxOps, -1);
    return 0;
}
