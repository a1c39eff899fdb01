// Drives scalar, unit, vector and colour values, conditions, expression
// trees and a value list through a script decoded from the fuzzer's input and
// checks them against a reference model.
//
// The pool holds three real values (a plain one, a length and an angle), two
// integer and two boolean values and a condition (the leaves), each created
// set or unset, and up to eight expression nodes built during the script over
// earlier leaves and nodes (a node may use one operand twice). Operations
// store numbers through the member and the free setters (special doubles
// included: signed zeros, tolerance-sized, huge, infinite and NaN), in
// internal or display units, change units (units outside the tables too),
// set and clear ranges, reset leaves and whole trees, change the editable
// flag, assign one leaf to another, update the condition with a scripted
// truth and build nodes. A value list takes leaves and nodes at positions
// near each other within and beyond the tolerance, loses them, is searched
// and reset. Four arrays (two, three and four components of the kinds the
// input chooses, the four-component one possibly a colour of either scale,
// and one of any length) are set whole, have single components set, ranged,
// re-united, and are reset and assigned to each other.
//
// The model keeps each leaf's and component's set flag, number, default,
// range, units and editable flag and applies the documented rules directly:
// exact clamping and change tests in internal units (a NaN never equals the
// stored number), display numbers through the unit tables' magnitudes, the
// first store fixing the default, resets through the tree left to right
// stopping at the first unset leaf, short-circuit And and Or, exact ordering
// comparisons, equality within the tolerance, division by a near-zero
// divisor giving 2147483647, list members in insertion order found within
// the tolerance, one root "Value" per changing whole-array set, a rebuild of
// an array of any length announced once and an update in place by each
// changed component. After each operation every value is evaluated both ways
// (or must raise NotSetError), isSet, ranges, units, flags and list contents
// must agree, and a listener on every leaf, node, array, fixed-size array
// component and the list must have heard exactly the messages the model
// predicts: one root "Value" message per real change, none otherwise, and one
// "Forward" message per message of each operand use, changed component and
// list connection (a member added twice is connected twice; removing either
// occurrence cuts one).

#include "FuzzInput.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/ColorValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/LinearValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/RealValueArray.h>
#include <tnUI/values/ValueList.h>

#include <algorithm>
#include <climits>
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
using tnUI::RealValueArray;

constexpr int kReals = 3, kInts = 2, kBools = 2;
constexpr int kLeaves = kReals + kInts + kBools + 1; // the last one is the condition
constexpr int kMaxNodes = 8;
constexpr int kMaxOps = 64;
constexpr int kArrays = 4; // two, three and four components, then any length

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
    // A list position: near 0.5 within and beyond the tolerance, or any.
    double position()
    {
        static const double table[] = {0.0,
                                       -0.0,
                                       0.5,
                                       0.5 + epsilonTol / 2,
                                       0.5 - epsilonTol / 2,
                                       0.5 + epsilonTol,
                                       1.0,
                                       std::numeric_limits<double>::infinity(),
                                       std::numeric_limits<double>::quiet_NaN()};
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

// The unit tables' magnitudes, with the documented values outside the tables.
double linearMagnitude(int u)
{
    static const double table[] = {0.001, 0.01, 1.0, 0.0254};
    return u >= 0 && u < 4 ? table[u] : 0.01;
}

double angleMagnitude(int u)
{
    return u == 0 ? 57.29577951308232 : 1.0;
}

enum UnitKind { NoUnit = 0, Length = 1, Angle = 2 }; // as RealValueArray::type

struct ModelLeaf {
    Kind kind = Kind::Real;
    UnitKind units = NoUnit;
    int internalUnit = 1, displayUnit = 1; // centimeter, degree
    int own = 0;                           // a component's root messages in this operation
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

    double factor() const
    {
        if (units == Length)
            return linearMagnitude(internalUnit) / linearMagnitude(displayUnit);
        if (units == Angle)
            return angleMagnitude(internalUnit) / angleMagnitude(displayUnit);
        return 1.0;
    }
};

// An array: its components, and what its listener must hear in an operation.
struct ModelArray {
    std::vector<ModelLeaf> parts;
    int roots = 0, forwards = 0;
    bool editable = true;
    bool initialized = false; // any length: set at least once
    UnitKind kind = NoUnit;   // any length: the kind of every component
    int colour = -1;          // a colour's scale: 0 for [0, 1], 1 for [0, 255]
};

struct ModelMember {
    int object;
    double position;
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
                m.units = static_cast<UnitKind>(i);
                m_values[i] = tn::Reference<NumericValue>(newReal(m.units, startSet, v));
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
        makeArrays(in);
        m_list = new tnUI::ValueList;
        m_listListener = std::make_unique<Listener>(m_list.get());
        m_connections.assign(kLeaves + kMaxNodes, 0);
    }

    int objects() const { return kLeaves + static_cast<int>(m_nodes.size()); }

    void run(Reader& in, int opIndex)
    {
        m_opIndex = opIndex;
        m_own.assign(objects(), 0);
        for (auto& l : m_listeners)
            l->roots = l->forwards = l->others = 0;
        for (int k = 0; k < kArrays; ++k) {
            m_arrayListeners[k]->roots = m_arrayListeners[k]->forwards = m_arrayListeners[k]->others = 0;
            m_model[k].roots = m_model[k].forwards = 0;
            for (ModelLeaf& p : m_model[k].parts)
                p.own = 0;
        }
        for (auto& parts : m_partListeners)
            for (auto& l : parts)
                l->roots = l->forwards = l->others = 0;
        m_listListener->roots = m_listListener->forwards = m_listListener->others = 0;
        const std::uint8_t op = in.next() % 16;
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

    // A real value of the kind given, unset or holding v.
    static tnUI::RealValue* newReal(UnitKind u, bool set, double v)
    {
        switch (u) {
        case Length: return set ? new tnUI::LinearValue(v) : new tnUI::LinearValue;
        case Angle: return set ? new tnUI::AngleValue(v) : new tnUI::AngleValue;
        case NoUnit: break;
        }
        return set ? new tnUI::RealValue(v) : new tnUI::RealValue;
    }

    // The arrays: component kinds (a later one may repeat the one before),
    // the four-component one possibly a colour, the one of any length empty,
    // unset or built from numbers.
    void makeArrays(Reader& in)
    {
        RealValueArray::type t[4];
        for (int i = 0; i < 4; ++i)
            t[i] = static_cast<RealValueArray::type>(in.next() % (i == 0 ? 3 : 4));
        const int colour = in.next() % 3 - 1;
        const auto nKind = static_cast<RealValueArray::type>(in.next() % 3);
        const int n = in.next() % 4;
        const bool built = (in.next() & 1) != 0;
        std::vector<double> numbers(n);
        for (double& x : numbers)
            x = in.real();
        m_arrays[0] = new tnUI::RealValue2(t[0], t[1]);
        m_arrays[1] = new tnUI::RealValue3(t[0], t[1], t[2]);
        m_arrays[2] = colour < 0
                          ? tn::Reference<RealValueArray>(new tnUI::RealValue4(t[0], t[1], t[2], t[3]))
                          : tn::Reference<RealValueArray>(tnUI::ColorValue::create(tnUI::ColorValue::Type(colour)));
        m_arrays[3] = built ? new tnUI::RealValueN(numbers, nKind) : new tnUI::RealValueN(nKind, n);
        for (int k = 0; k < kArrays; ++k) {
            ModelArray& a = m_model[k];
            a.parts.resize(k + 2 < 4 ? k + 2 : 4);
            UnitKind previous = NoUnit;
            for (std::size_t i = 0; i < a.parts.size(); ++i) {
                if (t[i] != RealValueArray::SameAsPrevious)
                    previous = static_cast<UnitKind>(t[i]);
                a.parts[i].units = previous;
            }
            m_arrayListeners[k] = std::make_unique<Listener>(m_arrays[k].get());
        }
        m_model[2].colour = colour;
        for (ModelLeaf& p : m_model[2].parts) {
            if (colour >= 0) {
                p.units = NoUnit;
                p.min = 0.0;
                p.max = colour == 0 ? 1.0 : 255.0;
            }
        }
        ModelArray& any = m_model[3];
        any.kind = static_cast<UnitKind>(nKind);
        any.initialized = built;
        any.parts.assign(n, ModelLeaf{});
        for (int i = 0; i < n; ++i) {
            any.parts[i].units = any.kind;
            if (built)
                store(any.parts[i], numbers[i]);
        }
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < m_arrays[k]->size(); ++i)
                m_partListeners[k].push_back(std::make_unique<Listener>(m_arrays[k]->getValue(i)));
    }

    // Sets a unit of a unit value from the input (values outside the table
    // included); true when the change is announced.
    static bool changeUnit(tnUI::RealValue* v, ModelLeaf& m, Reader& in)
    {
        const bool display = (in.next() & 1) != 0;
        const int u = in.next() % 6 - 1;
        if (m.units == Length) {
            auto* l = static_cast<tnUI::LinearValue*>(v);
            display ? l->setDisplayUnit(tnUI::LinearUnit(u)) : l->setInternalUnit(tnUI::LinearUnit(u));
        } else if (m.units == Angle) {
            auto* a = static_cast<tnUI::AngleValue*>(v);
            display ? a->setDisplayUnit(tnUI::AngleUnit(u)) : a->setInternalUnit(tnUI::AngleUnit(u));
        } else {
            return false;
        }
        int& held = display ? m.displayUnit : m.internalUnit;
        const bool announced = display && held != u;
        held = u;
        return announced;
    }

    // A new range; true when it clamps a set number to another one, which is
    // announced.
    static bool rangeModel(ModelLeaf& m, double lo, double hi)
    {
        m.min = lo;
        m.max = hi;
        return m.set && store(m, m.value);
    }

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
                // The display setters divide by the unit factor first.
                const bool display = how == 1 || (how == 2 && !viaFree);
                bool changed = false;
                if (viaFree && display)
                    tnUI::setDisplayValue(m_values[leaf].get(), d);
                else if (viaFree)
                    tnUI::setInternalValue(m_values[leaf].get(), d);
                else if (how == 0)
                    changed = real(leaf)->setInternalValue(d);
                else if (how == 1)
                    changed = real(leaf)->setDisplayValue(d);
                else if (how == 2)
                    changed = real(leaf)->setDisplayValueSilent(d);
                else
                    changed = real(leaf)->setInternalValueSilent(d);
                const bool expected = store(m, display ? d / m.factor() : d);
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
        case 9: // a unit of the length or the angle
            if (m.kind == Kind::Real && changeUnit(real(leaf), m, in))
                ++m_own[leaf];
            break;
        case 10: listOperation(in, realThrew); break;
        case 11: setFixed(in); break;
        case 12: setAnyLength(in); break;
        case 13: componentOperation(in); break;
        case 14: arrayOperation(in, realThrew); break;
        default: // 15: evaluation only, below
            break;
        }
    }

    // The value list: add a leaf or node (or null), remove an index (in range
    // or not), clear, find a position, reset every member.
    void listOperation(Reader& in, bool& realThrew)
    {
        const int sub = in.next() % 6;
        if (sub <= 1) {
            const double position = in.position();
            const int o = in.next() % objects();
            if ((in.next() & 15) == 0) {
                expectError<tnUI::NullError>([&] { m_list->addValue(position, nullptr); }, "addValue(null)");
                return;
            }
            m_list->addValue(position, object(o));
            m_members.push_back({o, position});
            ++m_connections[o];
        } else if (sub == 2) {
            const int i = in.next() % (static_cast<int>(m_members.size()) + 2) - 1;
            if (i < 0 || i >= static_cast<int>(m_members.size())) {
                expectError<tnUI::IndexError>([&] { m_list->removeValue(i); }, "removeValue out of range");
                return;
            }
            m_list->removeValue(i);
            // One connection per occurrence: the value's other occurrences
            // keep theirs.
            --m_connections[m_members[i].object];
            m_members.erase(m_members.begin() + i);
        } else if (sub == 3) {
            m_list->clear();
            m_members.clear();
            std::fill(m_connections.begin(), m_connections.end(), 0);
        } else if (sub == 4) {
            const double p = in.position();
            int expected = -1;
            for (std::size_t i = 0; i < m_members.size() && expected < 0; ++i)
                if (std::fabs(m_members[i].position - p) < epsilonTol)
                    expected = static_cast<int>(i);
            if (m_list->findPosition(p) != expected)
                fail("findPosition differs from the model", m_opIndex, expected);
        } else {
            library(realThrew, [&] { m_list->reset(); });
            const std::vector<ModelMember> members = m_members;
            for (const ModelMember& member : members)
                modelReset(member.object);
        }
    }

    template <class E, class F>
    void expectError(F&& f, const char* what)
    {
        try {
            f();
        } catch (const E&) {
            return;
        }
        fail(what, m_opIndex, -1);
    }

    // Every component of a fixed-size array takes a number silently; one
    // root message when any changed.
    void setFixed(Reader& in)
    {
        const int k = in.next() % 3;
        const bool display = (in.next() & 1) != 0;
        double d[4];
        for (double& x : d)
            x = in.real();
        if (k == 0) {
            auto* a = static_cast<tnUI::RealValue2*>(m_arrays[0].get());
            display ? a->setDisplayValue(d[0], d[1]) : a->setInternalValue(tnLinear::Tuple2(d[0], d[1]));
        } else if (k == 1) {
            auto* a = static_cast<tnUI::RealValue3*>(m_arrays[1].get());
            display ? a->setDisplayValue(tnLinear::Tuple3(d[0], d[1], d[2])) : a->setInternalValue(d[0], d[1], d[2]);
        } else {
            auto* a = static_cast<tnUI::RealValue4*>(m_arrays[2].get());
            display ? a->setDisplayValue(d[0], d[1], d[2], d[3]) : a->setInternalValue(d[0], d[1], d[2], d[3]);
        }
        bool changed = false;
        ModelArray& a = m_model[k];
        for (std::size_t i = 0; i < a.parts.size(); ++i)
            changed |= store(a.parts[i], display ? d[i] / a.parts[i].factor() : d[i]);
        if (changed)
            ++a.roots;
    }

    // The array of any length: the same length after a first set updates in
    // place, each changed component announcing itself; anything else
    // rebuilds the components, announced once.
    void setAnyLength(Reader& in)
    {
        const bool display = (in.next() & 1) != 0;
        std::vector<double> v(in.next() % 5);
        for (double& x : v)
            x = in.real();
        auto* array = static_cast<tnUI::RealValueN*>(m_arrays[3].get());
        display ? array->setDisplayValue(v) : array->setInternalValue(v);
        ModelArray& a = m_model[3];
        if (a.initialized && v.size() == a.parts.size()) {
            for (std::size_t i = 0; i < v.size(); ++i)
                if (store(a.parts[i], display ? v[i] / a.parts[i].factor() : v[i]))
                    ++a.forwards;
        } else {
            a.parts.assign(v.size(), ModelLeaf{});
            for (std::size_t i = 0; i < v.size(); ++i) {
                a.parts[i].units = a.kind;
                store(a.parts[i], v[i]);
            }
            ++a.roots;
        }
        a.initialized = true;
    }

    // One component of an array: a number, a range, no range or a unit. Its
    // own message reaches the array as "Forward".
    void componentOperation(Reader& in)
    {
        const int k = in.next() % kArrays;
        const int index = in.next();
        const int sub = in.next() % 4;
        const double d = in.real(), lo = in.real(), hi = in.real();
        ModelArray& a = m_model[k];
        if (a.parts.empty())
            return;
        const int i = index % static_cast<int>(a.parts.size());
        tnUI::RealValue* c = m_arrays[k]->getValue(i);
        ModelLeaf& p = a.parts[i];
        bool announced = false;
        if (sub == 0) {
            c->setInternalValue(d);
            announced = store(p, d);
        } else if (sub == 1) {
            c->setRange(lo, hi);
            announced = rangeModel(p, lo, hi);
        } else if (sub == 2) {
            c->setRangeUnbounded();
            p.min = std::numeric_limits<double>::max();
            p.max = std::numeric_limits<double>::lowest();
        } else {
            announced = changeUnit(c, p, in);
        }
        if (announced) {
            ++p.own;
            ++a.forwards;
        }
    }

    // Reset, editable flag, or assign from another array (or itself): each
    // component takes the source's number silently, then its range, which
    // announces a second clamp; a shorter source raises IndexError and an
    // unset component NotSetError, after the components before it.
    void arrayOperation(Reader& in, bool& realThrew)
    {
        const int k = in.next() % kArrays;
        const int sub = in.next() % 3;
        const int from = in.next() % kArrays;
        ModelArray& a = m_model[k];
        if (sub == 0) {
            library(realThrew, [&] { m_arrays[k]->reset(); });
            for (ModelLeaf& p : a.parts) {
                if (!p.set)
                    throw NotSet();
                if (store(p, p.defaultValue)) {
                    ++p.own;
                    ++a.forwards;
                }
            }
        } else if (sub == 1) {
            const bool e = (in.next() & 1) != 0;
            m_arrays[k]->setEditble(e);
            if (a.editable != e)
                ++a.roots;
            a.editable = e;
        } else {
            enum Outcome { Assigned, Unset, Short } outcome = Assigned, expected = Assigned;
            try {
                if (!m_arrays[k]->assign(m_arrays[from].get()))
                    fail("assign between arrays refused", m_opIndex, k);
            } catch (const tnUI::NotSetError&) {
                outcome = Unset;
            } catch (const tnUI::IndexError&) {
                outcome = Short;
            }
            const ModelArray source = m_model[from];
            for (std::size_t i = 0; i < a.parts.size() && expected == Assigned; ++i) {
                if (i >= source.parts.size()) {
                    expected = Short;
                } else if (!source.parts[i].set) {
                    expected = Unset;
                } else {
                    ModelLeaf& p = a.parts[i];
                    store(p, source.parts[i].value);
                    if (rangeModel(p, source.parts[i].min, source.parts[i].max)) {
                        ++p.own;
                        ++a.forwards;
                    }
                }
            }
            if (expected == Assigned)
                a.editable = source.editable;
            if (outcome != expected)
                fail("assign between arrays differs from the model", m_opIndex, k);
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
        int listForwards = 0;
        for (int o = 0; o < objects(); ++o) {
            const Listener& l = *m_listeners[o];
            if (l.roots != m_own[o] || l.forwards != total[o] - m_own[o] || l.others != 0)
                fail("the messages heard differ from the model", opIndex, o);
            listForwards += m_connections[o] * total[o];
        }
        if (!heard(*m_listListener, 0, listForwards))
            fail("the list's messages differ from the model", opIndex, -1);
        for (int k = 0; k < kArrays; ++k) {
            const ModelArray& a = m_model[k];
            if (!heard(*m_arrayListeners[k], a.roots, a.forwards))
                fail("an array's messages differ from the model", opIndex, k);
            // Components of the fixed-size arrays hear only their own changes.
            for (std::size_t i = 0; k < 3 && i < a.parts.size(); ++i)
                if (!heard(*m_partListeners[k][i], a.parts[i].own, 0))
                    fail("a component's messages differ from the model", opIndex, k);
        }
    }

    static bool heard(const Listener& l, int roots, int forwards)
    {
        return l.roots == roots && l.forwards == forwards && l.others == 0;
    }

    // A real value or component against its model: set flag, both numbers,
    // range, unit factor and kind.
    static bool sameReal(const tnUI::RealValue* v, const ModelLeaf& m)
    {
        std::optional<double> internal, display;
        try {
            internal = v->evalInternal();
            display = v->evalDisplay();
        } catch (const tnUI::NotSetError&) {
        }
        const UnitKind units = dynamic_cast<const tnUI::LinearValue*>(v)  ? Length
                               : dynamic_cast<const tnUI::AngleValue*>(v) ? Angle
                                                                          : NoUnit;
        return v->isSet() == m.set && internal.has_value() == m.set && units == m.units &&
               (!m.set || (sameNumber(*internal, m.value) && sameNumber(*display, m.value * m.factor()))) &&
               v->getDisplayConversionFactor() == m.factor() && sameNumber(v->getRange().getMin(), m.min) &&
               sameNumber(v->getRange().getMax(), m.max);
    }

    // The whole-array reads agree with the components' model, or raise
    // NotSetError when one is unset.
    void checkArray(int k, int opIndex)
    {
        const ModelArray& a = m_model[k];
        const RealValueArray& array = *m_arrays[k];
        bool allSet = true;
        if (array.size() != static_cast<int>(a.parts.size()) || array.getEditable() != a.editable)
            fail("an array's size or editable flag differs from the model", opIndex, k);
        for (std::size_t i = 0; i < a.parts.size(); ++i) {
            allSet = allSet && a.parts[i].set;
            if (!sameReal(array.getValue(static_cast<int>(i)), a.parts[i]))
                fail("a component differs from the model", opIndex, k);
        }
        std::vector<double> internal, display;
        try {
            if (k == 3) {
                const auto& n = static_cast<const tnUI::RealValueN&>(array);
                internal = n.evalInternal();
                display = n.evalDisplay();
            } else {
                readFixed(array, internal, false);
                readFixed(array, display, true);
            }
        } catch (const tnUI::NotSetError&) {
            if (allSet)
                fail("an array of set components raised NotSetError", opIndex, k);
            return;
        }
        if (!allSet || internal.size() != a.parts.size() || display.size() != a.parts.size())
            fail("an array with an unset component was read", opIndex, k);
        for (std::size_t i = 0; i < a.parts.size(); ++i)
            if (!sameNumber(internal[i], a.parts[i].value) ||
                !sameNumber(display[i], a.parts[i].value * a.parts[i].factor()))
                fail("an array's numbers differ from its components", opIndex, k);
        if (a.colour >= 0)
            checkColour(static_cast<const tnUI::ColorValue&>(array), a, opIndex);
    }

    static void readFixed(const RealValueArray& array, std::vector<double>& out, bool display)
    {
        if (array.size() == 2) {
            const auto& a = static_cast<const tnUI::RealValue2&>(array);
            const tnLinear::Tuple2 t = display ? a.evalDisplay() : a.evalInternal();
            out = {t.x, t.y};
        } else if (array.size() == 3) {
            const auto& a = static_cast<const tnUI::RealValue3&>(array);
            const tnLinear::Tuple3 t = display ? a.evalDisplay() : a.evalInternal();
            out = {t.x, t.y, t.z};
        } else {
            const auto& a = static_cast<const tnUI::RealValue4&>(array);
            const tnLinear::Tuple4 t = display ? a.evalDisplay() : a.evalInternal();
            out = {t.x, t.y, t.z, t.w};
        }
    }

    // A colour's channels as bytes (truncated toward zero, saturating, NaN as
    // 0) and as fractions.
    static void checkColour(const tnUI::ColorValue& colour, const ModelArray& a, int opIndex)
    {
        int bytes[4];
        double fractions[4];
        colour.evalBytes(bytes);
        colour.evalBytes(fractions);
        for (int i = 0; i < 4; ++i) {
            const double v = a.parts[i].value;
            const double b = a.colour == 0 ? v * 255.0 : v;
            const int expected = std::isnan(b) ? 0 : static_cast<int>(std::clamp(b, double(INT_MIN), double(INT_MAX)));
            if (bytes[i] != expected || !sameNumber(fractions[i], a.colour == 0 ? v : v * 0.00392156862745098))
                fail("a colour's bytes differ from the model", opIndex, i);
        }
    }

    void checkList(int opIndex)
    {
        bool same = m_list->size() == static_cast<int>(m_members.size());
        for (std::size_t i = 0; same && i < m_members.size(); ++i)
            same = m_list->getValue(static_cast<int>(i)) == object(m_members[i].object) &&
                   sameNumber(m_list->getPosition(static_cast<int>(i)), m_members[i].position);
        if (!same)
            fail("the list's members or positions differ from the model", opIndex, -1);
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
            if (o >= kLeaves &&
                static_cast<tnUI::Expression*>(v)->isBoolExpression() == isArithmetic(m_modelNodes[o - kLeaves].kind))
                fail("isBoolExpression differs from the node's kind", opIndex, o);
            if (o < kLeaves && m_leaves[o].kind == Kind::Real && !sameReal(real(o), m_leaves[o]))
                fail("a real value's numbers, range or units differ from the model", opIndex, o);
            if (o < kLeaves && m_leaves[o].kind == Kind::Int) {
                const tnLinear::Range1d& range = integer(o)->getRange();
                if (!sameNumber(range.getMin(), m_leaves[o].min) || !sameNumber(range.getMax(), m_leaves[o].max))
                    fail("the range differs from the model", opIndex, o);
            }
        }
        for (int k = 0; k < kArrays; ++k)
            checkArray(k, opIndex);
        checkList(opIndex);
    }

    tn::Reference<NumericValue> m_values[kLeaves];
    std::vector<tn::Reference<NumericValue>> m_nodes;
    ModelLeaf m_leaves[kLeaves];
    std::vector<ModelNode> m_modelNodes;
    std::vector<std::unique_ptr<Listener>> m_listeners;
    int m_opIndex = 0;
    std::vector<int> m_own; // root messages each object sent itself in this operation
    tn::Reference<RealValueArray> m_arrays[kArrays];
    ModelArray m_model[kArrays];
    std::unique_ptr<Listener> m_arrayListeners[kArrays];
    std::vector<std::unique_ptr<Listener>> m_partListeners[3];
    tn::Reference<tnUI::ValueList> m_list;
    std::unique_ptr<Listener> m_listListener;
    std::vector<ModelMember> m_members;
    std::vector<int> m_connections; // the list's connections to each object
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
