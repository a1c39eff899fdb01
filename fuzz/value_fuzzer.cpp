// Drives scalar, unit, vector and colour values, conditions, expression
// trees and value lists through a script decoded from the fuzzer's input and
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
// truth and build nodes. Four arrays (two, three and four components of the
// kinds the input chooses, the four-component one possibly a colour of
// either scale, and one of any length) are set whole, have single
// components set, ranged, re-united, and are reset and assigned to each
// other. Three slots hold value lists (an empty slot gets a new one), which
// take any of these, lists (one that would hold itself must raise
// CycleError) and members of lists, lose members, are cleared, searched,
// reset, flagged and assigned from any value. A reaction armed on a list
// acts at the next "Forward" it hears: it removes a member of a slot's list,
// clears it (the source of an assign under way, say) or drops it.
//
// The model keeps each leaf's and component's set flag, number, default,
// range, units and editable flag and applies the documented rules directly:
// exact clamping and change tests in internal units (a NaN never equals the
// stored number), display numbers through the unit tables' magnitudes, the
// first store fixing the default, resets through the tree left to right
// stopping at the first unset leaf, short-circuit And and Or, exact ordering
// comparisons, equality within the tolerance, division by a near-zero
// divisor giving 2147483647, one root "Value" per changing whole-array set, a
// rebuild of an array of any length announced once and an update in place by
// each changed component, list members in insertion order found within the
// tolerance, and a list's assign step by step (see assignList), whose clones
// it then follows like any value. It delivers every message as the signals
// do: in the order the connections were made, skipping those cut before they
// are reached, each node, array and list occurrence passing it on, so that a
// reaction acts where the library's does. After each operation every value
// is evaluated both ways (or must raise NotSetError), isSet, ranges, units,
// flags and list contents must agree, every leaf, node, array, fixed-size
// array component, list and clone must have heard exactly the model's
// messages, and lists and clones must live exactly while a slot or a live
// list holds them.

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
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <typeinfo>
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
constexpr int kSlots = 3;  // lists
constexpr std::size_t kMaxLists = 8;
constexpr int kMaxMembers = 12, kMaxNestings = 6;

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

// Counts the messages an entity sends, by kind, and notes its death.
struct Listener {
    explicit Listener(const tnUI::Entity* e)
    {
        tnRTB::connect(e->destroyedSignal, &client, [this](tnUI::Entity*) { dead = true; });
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
    bool dead = false;
    tnRTB::SignalClient client;
};

// A listener armed on a list: at the first "Forward" it hears, it removes
// member index (modulo the size) of the list in slot, clears that list or
// drops it.
struct Reaction {
    enum Kind { Remove, Clear, Drop } kind = Remove;
    int slot = 0, index = 0;
    bool fired = false;
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
    int own = 0;                           // a component's or clone's root messages
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

// An array: its components, and what its listener must have heard.
struct ModelArray {
    std::vector<ModelLeaf> parts;
    int roots = 0, forwards = 0;
    bool editable = true;
    bool initialized = false; // any length: set at least once
    UnitKind kind = NoUnit;   // any length: the kind of every component
    int colour = -1;          // a colour's scale: 0 for [0, 1], 1 for [0, 255]
    bool alive = true;        // a clone: while a list holds it
};

// What a list can hold: a leaf or node (an object), an array (the pool's,
// then clones of colours), a list, or a clone of a real value. Rct marks the
// armed reaction among a list's connections.
enum Sort : std::uint8_t { Obj, Arr, Lst, Cln, Rct };

struct Id {
    Sort sort = Obj;
    int i = 0;
    bool operator==(const Id&) const = default;
    bool operator<(const Id& o) const { return sort < o.sort || (sort == o.sort && i < o.i); }
};

// A connection on a value's signal, to the node, list or reaction that
// listens; serial tells a connection cut and made again from the original.
struct Conn {
    Id to;
    int serial = 0;
};

struct ModelMember {
    Id id;
    double position = 0.0;
};

struct ModelList {
    tnUI::ValueList* ptr = nullptr; // valid while alive
    std::vector<ModelMember> members;
    bool editable = true, alive = true;
    int roots = 0, forwards = 0;
    std::unique_ptr<Listener> listener;
};

// A clone of a real value: a plain RealValue, found in its list after the
// assign that made it.
struct ModelClone {
    ModelLeaf m;
    tnUI::RealValue* ptr = nullptr;
    bool alive = true;
    std::unique_ptr<Listener> listener;
};

struct Slot {
    tn::Reference<tnUI::ValueList> ref; // the library's side
    int model = -1;                     // the model's side: an index of m_lists
};

enum class Err { None, NotSet, Index, Type, Cycle };

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
        m_own.assign(kLeaves, 0);
        m_fwd.assign(kLeaves, 0);
    }

    int objects() const { return kLeaves + static_cast<int>(m_nodes.size()); }

    void run(Reader& in, int opIndex)
    {
        m_opIndex = opIndex;
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
        collect();
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
        m_arrayHold[0] = new tnUI::RealValue2(t[0], t[1]);
        m_arrayHold[1] = new tnUI::RealValue3(t[0], t[1], t[2]);
        m_arrayHold[2] = colour < 0
                             ? tn::Reference<RealValueArray>(new tnUI::RealValue4(t[0], t[1], t[2], t[3]))
                             : tn::Reference<RealValueArray>(tnUI::ColorValue::create(tnUI::ColorValue::Type(colour)));
        m_arrayHold[3] = built ? new tnUI::RealValueN(numbers, nKind) : new tnUI::RealValueN(nKind, n);
        m_model.resize(kArrays);
        for (int k = 0; k < kArrays; ++k) {
            m_arrays.push_back(m_arrayHold[k].get());
            ModelArray& a = m_model[k];
            a.parts.resize(k + 2 < 4 ? k + 2 : 4);
            UnitKind previous = NoUnit;
            for (std::size_t i = 0; i < a.parts.size(); ++i) {
                if (t[i] != RealValueArray::SameAsPrevious)
                    previous = static_cast<UnitKind>(t[i]);
                a.parts[i].units = previous;
            }
            m_arrayListeners.push_back(std::make_unique<Listener>(m_arrays[k]));
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
            announce(i);
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
                    announce(leaf);
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
                    announce(leaf);
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
                announce(o);
            }
            break;
        }
        case 6: // assign another leaf
        {
            const int from = in.next() % kLeaves;
            const bool accepted = m_values[leaf]->assign(m_values[from].get());
            if (accepted != assignMember({Obj, leaf}, {Obj, from}))
                fail("assign's result", m_opIndex, leaf);
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
            // A node listens to its left operand, then to its right one.
            connect({Obj, left}, {Obj, objects() - 1});
            if (m_modelNodes.back().kind != Not)
                connect({Obj, right}, {Obj, objects() - 1});
            m_own.push_back(0);
            m_fwd.push_back(0);
            m_listeners.push_back(std::make_unique<Listener>(node.get()));
            break;
        }
        case 9: // a unit of the length or the angle
            if (m.kind == Kind::Real && changeUnit(real(leaf), m, in))
                announce(leaf);
            break;
        case 11: setFixed(in); break;
        case 12: setAnyLength(in); break;
        case 13: componentOperation(in); break;
        case 14: arrayOperation(in, realThrew); break;
        default: // 10 and 15
            listOperation(in, realThrew);
            break;
        }
    }

    // An operation on the list in a slot: add a value or null, remove an
    // index (in range or not), clear, find a position, reset, assign from a
    // value, set the editable flag, or arm a reaction.
    void listOperation(Reader& in, bool& realThrew)
    {
        const int sub = in.next() % 9;
        const int l = slotList(in.next() % kSlots);
        if (l < 0)
            return;
        tnUI::ValueList* list = m_lists[l].ptr;
        const int size = length(l);
        if (sub <= 1) {
            const double position = in.position();
            const std::optional<Id> v = pick(in);
            if (!v) {
                expectError<tnUI::NullError>([&] { list->addValue(position, nullptr); }, "addValue(null)");
                return;
            }
            // Bounded, so that nested lists cannot multiply messages without end.
            if (size >= kMaxMembers || (v->sort == Lst && m_nestings >= kMaxNestings))
                return;
            const bool cycle = v->sort == Lst && reaches(v->i, l);
            if (outcome([&] { list->addValue(position, value(*v)); }) != (cycle ? Err::Cycle : Err::None))
                fail("addValue differs from the model", m_opIndex, l);
            if (!cycle) {
                add(l, *v, position);
                m_nestings += v->sort == Lst ? 1 : 0;
            }
        } else if (sub == 2) {
            const int i = in.next() % (size + 2) - 1;
            if (i < 0 || i >= size) {
                expectError<tnUI::IndexError>([&] { list->removeValue(i); }, "removeValue out of range");
                return;
            }
            list->removeValue(i);
            leave(l, i, i + 1);
        } else if (sub == 3) {
            list->clear();
            leave(l, 0, size);
        } else if (sub == 4) {
            const double p = in.position();
            const auto& members = m_lists[l].members;
            const auto at = std::find_if(members.begin(), members.end(),
                                         [p](const ModelMember& m) { return std::fabs(m.position - p) < epsilonTol; });
            const int expected = at == members.end() ? -1 : static_cast<int>(at - members.begin());
            if (list->findPosition(p) != expected)
                fail("findPosition differs from the model", m_opIndex, expected);
        } else if (sub == 5) {
            library(realThrew, [&] { list->reset(); });
            resetValue({Lst, l});
        } else if (sub == 6) {
            const std::optional<Id> from = pick(in);
            bool accepted = false, expected = false;
            const Err got = outcome([&] { accepted = list->assign(from ? value(*from) : nullptr); });
            if (got != outcome([&] { expected = from && assignMember({Lst, l}, *from); }) || accepted != expected)
                fail("a list's assign differs from the model", m_opIndex, l);
        } else if (sub == 7) {
            const bool e = (in.next() & 1) != 0;
            list->setEditble(e);
            if (m_lists[l].editable != e) {
                m_lists[l].editable = e;
                ++m_lists[l].roots;
                emit({Lst, l}, true);
            }
        } else {
            arm(l, in);
        }
    }

    // The list in slot x, a new one if the slot is empty (-1 once kMaxLists
    // were made).
    int slotList(int x)
    {
        Slot& s = m_slots[x];
        if (s.model < 0 && m_lists.size() < kMaxLists) {
            s.ref = new tnUI::ValueList;
            s.model = static_cast<int>(m_lists.size());
            m_lists.push_back({s.ref.get(), {}, true, true, 0, 0, std::make_unique<Listener>(s.ref.get())});
        }
        return s.model;
    }

    // A value from the input: a leaf or node, an array of the pool, the list
    // in a slot or one of its members; none (null) otherwise.
    std::optional<Id> pick(Reader& in)
    {
        const int how = in.next() % 8, n = in.next();
        const int l = m_slots[n % kSlots].model;
        if (how <= 1)
            return Id{Obj, n % objects()};
        if (how == 2)
            return Id{Arr, n % kArrays};
        if (l < 0 || how == 7)
            return std::nullopt;
        const std::vector<ModelMember>& members = m_lists[l].members;
        if (how <= 4 || members.empty())
            return Id{Lst, l};
        return members[n / kSlots % members.size()].id;
    }

    tnUI::Value* value(Id id)
    {
        if (id.sort == Obj || id.sort == Arr)
            return id.sort == Obj ? static_cast<tnUI::Value*>(object(id.i)) : m_arrays[id.i];
        return id.sort == Lst ? static_cast<tnUI::Value*>(m_lists[id.i].ptr) : m_clones[id.i].ptr;
    }

    ModelLeaf* leaf(Id id)
    {
        if (id.sort == Obj && id.i < kLeaves)
            return &m_leaves[id.i];
        return id.sort == Cln ? &m_clones[id.i].m : nullptr;
    }

    bool& editable(Id id)
    {
        if (id.sort == Obj && id.i >= kLeaves)
            return m_modelNodes[id.i - kLeaves].editable;
        return id.sort == Arr ? m_model[id.i].editable : id.sort == Lst ? m_lists[id.i].editable : leaf(id)->editable;
    }

    int length(int l) const { return static_cast<int>(m_lists[l].members.size()); }

    // Whether list a is list target or holds it at any depth.
    bool reaches(int a, int target) const
    {
        if (a == target)
            return true;
        for (const ModelMember& m : m_lists[a].members)
            if (m.id.sort == Lst && reaches(m.id.i, target))
                return true;
        return false;
    }

    void connect(Id from, Id to) { m_conns[from].push_back({to, m_serial++}); }

    void cut(Id from, Id to)
    {
        std::erase_if(m_conns[from], [&](const Conn& c) { return c.to == to; });
    }

    void add(int l, Id v, double position)
    {
        m_lists[l].members.push_back({v, position});
        connect(v, {Lst, l});
    }

    // Members first to last - 1 leave list l: it stops listening to each value
    // that left, then listens again to those it still holds, once per index.
    void leave(int l, int first, int last)
    {
        std::vector<ModelMember>& members = m_lists[l].members;
        last = std::min(last, length(l));
        if (first >= last)
            return;
        const std::vector<ModelMember> left(members.begin() + first, members.begin() + last);
        members.erase(members.begin() + first, members.begin() + last);
        for (const ModelMember& m : left)
            cut(m.id, {Lst, l});
        for (const ModelMember& m : members)
            if (std::any_of(left.begin(), left.end(), [&](const ModelMember& x) { return x.id == m.id; }))
                connect(m.id, {Lst, l});
    }

    // A message sent by from reaches, in order, the connections made before
    // it that are not cut when reached; nodes and lists pass it on, and the
    // armed reaction acts on the first "Forward".
    void emit(Id from, bool root = false)
    {
        const std::vector<Conn> connections = m_conns[from];
        for (const Conn& c : connections) {
            const std::vector<Conn>& now = m_conns[from];
            if (std::none_of(now.begin(), now.end(), [&](const Conn& n) { return n.serial == c.serial; }))
                continue;
            if (c.to.sort == Rct) {
                if (!root) {
                    cut(from, c.to);
                    act(*m_reaction, true);
                }
                continue;
            }
            ++(c.to.sort == Lst ? m_lists[c.to.i].forwards : m_fwd[c.to.i]);
            emit(c.to);
        }
    }

    void announce(int o)
    {
        ++m_own[o];
        emit({Obj, o});
    }

    void arrayRoot(int k)
    {
        ++m_model[k].roots;
        emit({Arr, k});
    }

    // Component i of array k announced a change; the array passes it on.
    void componentChanged(int k, std::size_t i)
    {
        ++m_model[k].parts[i].own;
        ++m_model[k].forwards;
        emit({Arr, k});
    }

    // A new reaction on list l, connected after everything else, in place of
    // the one before.
    void arm(int l, Reader& in)
    {
        m_reaction = std::make_unique<Reaction>();
        Reaction* r = m_reaction.get();
        r->kind = static_cast<Reaction::Kind>(in.next() % 3);
        r->slot = in.next() % kSlots;
        r->index = in.next();
        tnRTB::connect(m_lists[l].ptr->messageSignal, &r->client, [this, r](tnUI::Message& m) {
            if (!r->fired && m.getType() == tnUI::Message::Forward) {
                r->fired = true;
                act(*r, false);
            }
        });
        for (auto& connections : m_conns)
            std::erase_if(connections.second, [](const Conn& c) { return c.to.sort == Rct; });
        connect({Lst, l}, {Rct, 0});
    }

    // What a reaction does, to the library's lists or to the model's.
    void act(const Reaction& r, bool model)
    {
        Slot& s = m_slots[r.slot];
        const bool clear = r.kind == Reaction::Clear;
        if (model && s.model >= 0) {
            const int size = length(s.model);
            if (r.kind == Reaction::Drop)
                s.model = -1;
            else if (size > 0)
                leave(s.model, clear ? 0 : r.index % size, clear ? size : r.index % size + 1);
        } else if (!model && s.ref) {
            if (r.kind == Reaction::Drop)
                s.ref = nullptr;
            else if (clear)
                s.ref->clear();
            else if (s.ref->size() > 0)
                s.ref->removeValue(r.index % s.ref->size());
        }
    }

    // Resets a value as its kind does: a leaf or tree, every component of an
    // array, a clone, every member of a list (nested lists too), in order; an
    // unset one raises NotSet after those before it.
    void resetValue(Id id)
    {
        if (id.sort == Obj) {
            modelReset(id.i);
        } else if (id.sort == Lst) {
            const std::vector<ModelMember> members = m_lists[id.i].members;
            for (const ModelMember& m : members)
                resetValue(m.id);
        } else if (id.sort == Cln) {
            ModelLeaf& m = m_clones[id.i].m;
            if (!m.set)
                throw NotSet();
            if (store(m, m.defaultValue)) {
                ++m.own;
                emit(id);
            }
        } else {
            for (std::size_t i = 0; i < m_model[id.i].parts.size(); ++i) {
                ModelLeaf& p = m_model[id.i].parts[i];
                if (!p.set)
                    throw NotSet();
                if (store(p, p.defaultValue))
                    componentChanged(id.i, i);
            }
        }
    }

    // Member t takes s by its own assign; false when refused. A node and the
    // condition keep the base rule: any value, only the editable flag.
    bool assignMember(Id t, Id s)
    {
        if (t.sort == Lst || t.sort == Arr) {
            if (s.sort != t.sort)
                return false;
            t.sort == Lst ? assignList(t.i, s.i) : assignArray(t.i, s.i);
            return true;
        }
        ModelLeaf* to = leaf(t);
        const ModelLeaf* from = leaf(s);
        if (!to || to->kind == Kind::Condition) {
            editable(t) = editable(s);
            return true;
        }
        if (!from || from->kind != to->kind)
            return false;
        std::tie(to->value, to->defaultValue, to->min, to->max, to->editable) =
            std::tuple(from->value, from->defaultValue, from->min, from->max, from->editable);
        to->set = true;
        return true;
    }

    // Array t takes s: each component s's number silently, then its range,
    // announcing a second clamp; a shorter source raises IndexError and an
    // unset component NotSetError, after the components before it.
    void assignArray(int t, int s)
    {
        const ModelArray source = m_model[s];
        for (std::size_t i = 0; i < m_model[t].parts.size(); ++i) {
            if (i >= source.parts.size())
                throw tnUI::IndexError();
            if (!source.parts[i].set)
                throw NotSet();
            ModelLeaf& p = m_model[t].parts[i];
            store(p, source.parts[i].value);
            if (rangeModel(p, source.parts[i].min, source.parts[i].max))
                componentChanged(t, i);
        }
        m_model[t].editable = source.editable;
    }

    // A member that a list's assign lacks: a clone of o that took o by
    // assign, a plain real value for a real one, a colour for a colour;
    // TypeError for anything else, NotSetError for a colour with an unset
    // channel.
    Id cloneOf(Id o)
    {
        if (const ModelLeaf* from = leaf(o); from && from->kind == Kind::Real) {
            ModelClone c;
            c.m = *from;
            c.m.units = NoUnit;
            c.m.set = true;
            m_clones.push_back(std::move(c));
            return {Cln, static_cast<int>(m_clones.size()) - 1};
        }
        if (o.sort != Arr || m_model[o.i].colour < 0)
            throw tnUI::TypeError();
        const ModelArray a = m_model[o.i];
        if (std::any_of(a.parts.begin(), a.parts.end(), [](const ModelLeaf& p) { return !p.set; }))
            throw NotSet();
        m_model.push_back(a);
        m_arrays.push_back(nullptr);
        m_arrayListeners.push_back(nullptr);
        return {Arr, static_cast<int>(m_model.size()) - 1};
    }

    // List t takes list s. A member it lacks that cannot be cloned refuses
    // the assign before anything changed. Then its extra members leave, and
    // step by step (the lengths read again at each, since reactions may edit
    // either list) a member in place takes the source's by assign, a missing
    // one is a clone that takes the source's then, holding what it holds at
    // that step; extra members leave again and the editable flag is copied.
    void assignList(int t, int s)
    {
        if (t == s)
            return;
        const int first = length(t);
        for (int i = first; i < length(s); ++i)
            cloneOf(m_lists[s].members[i].id);
        leave(t, length(s), first);
        for (int i = 0; i < length(s); ++i) {
            const ModelMember from = m_lists[s].members[i];
            if (i < length(t)) {
                m_lists[t].members[i].position = from.position;
                assignMember(m_lists[t].members[i].id, from.id);
            } else {
                add(t, cloneOf(from.id), from.position);
            }
        }
        leave(t, length(s), length(t));
        m_lists[t].editable = m_lists[s].editable;
    }

    // What a call raised; the model raises NotSet and the library's other
    // errors.
    template <class F>
    static Err outcome(F&& f)
    {
        try {
            f();
        } catch (const tnUI::NotSetError&) {
            return Err::NotSet;
        } catch (const NotSet&) {
            return Err::NotSet;
        } catch (const tnUI::IndexError&) {
            return Err::Index;
        } catch (const tnUI::TypeError&) {
            return Err::Type;
        } catch (const tnUI::CycleError&) {
            return Err::Cycle;
        }
        return Err::None;
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
            auto* a = static_cast<tnUI::RealValue2*>(m_arrays[0]);
            display ? a->setDisplayValue(d[0], d[1]) : a->setInternalValue(tnLinear::Tuple2(d[0], d[1]));
        } else if (k == 1) {
            auto* a = static_cast<tnUI::RealValue3*>(m_arrays[1]);
            display ? a->setDisplayValue(tnLinear::Tuple3(d[0], d[1], d[2])) : a->setInternalValue(d[0], d[1], d[2]);
        } else {
            auto* a = static_cast<tnUI::RealValue4*>(m_arrays[2]);
            display ? a->setDisplayValue(d[0], d[1], d[2], d[3]) : a->setInternalValue(d[0], d[1], d[2], d[3]);
        }
        bool changed = false;
        ModelArray& a = m_model[k];
        for (std::size_t i = 0; i < a.parts.size(); ++i)
            changed |= store(a.parts[i], display ? d[i] / a.parts[i].factor() : d[i]);
        if (changed)
            arrayRoot(k);
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
        auto* array = static_cast<tnUI::RealValueN*>(m_arrays[3]);
        display ? array->setDisplayValue(v) : array->setInternalValue(v);
        ModelArray& a = m_model[3];
        if (a.initialized && v.size() == a.parts.size()) {
            for (std::size_t i = 0; i < v.size(); ++i)
                if (store(a.parts[i], display ? v[i] / a.parts[i].factor() : v[i]))
                    componentChanged(3, i);
        } else {
            a.parts.assign(v.size(), ModelLeaf{});
            for (std::size_t i = 0; i < v.size(); ++i) {
                a.parts[i].units = a.kind;
                store(a.parts[i], v[i]);
            }
            arrayRoot(3);
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
        if (announced)
            componentChanged(k, i);
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
        if (sub == 0) {
            library(realThrew, [&] { m_arrays[k]->reset(); });
            resetValue({Arr, k});
        } else if (sub == 1) {
            const bool e = (in.next() & 1) != 0;
            m_arrays[k]->setEditble(e);
            if (m_model[k].editable != e) {
                m_model[k].editable = e;
                arrayRoot(k);
            }
        } else {
            const Err got = outcome([&] {
                if (!m_arrays[k]->assign(m_arrays[from]))
                    fail("assign between arrays refused", m_opIndex, k);
            });
            if (got != outcome([&] { assignArray(k, from); }))
                fail("assign between arrays differs from the model", m_opIndex, k);
        }
    }

    // Every live value's listener must have heard what the model sent so far
    // (a clone's since it was found in its list).
    void checkMessages(int opIndex)
    {
        for (int o = 0; o < objects(); ++o)
            if (!heard(*m_listeners[o], m_own[o], m_fwd[o]))
                fail("the messages heard differ from the model", opIndex, o);
        for (std::size_t k = 0; k < m_model.size(); ++k) {
            const ModelArray& a = m_model[k];
            if (a.alive && m_arrayListeners[k] && !heard(*m_arrayListeners[k], a.roots, a.forwards))
                fail("an array's messages differ from the model", opIndex, static_cast<int>(k));
            // Components of the fixed-size arrays hear only their own changes.
            for (std::size_t i = 0; k < 3 && i < a.parts.size(); ++i)
                if (!heard(*m_partListeners[k][i], a.parts[i].own, 0))
                    fail("a component's messages differ from the model", opIndex, static_cast<int>(k));
        }
        for (const ModelList& l : m_lists)
            if (l.alive && !heard(*l.listener, l.roots, l.forwards))
                fail("a list's messages differ from the model", opIndex, -1);
        for (const ModelClone& c : m_clones)
            if (c.alive && c.listener && !heard(*c.listener, c.m.own, 0))
                fail("a clone's messages differ from the model", opIndex, -1);
    }

    // Lists and clones live while a slot or a live list holds them; the others
    // must have died. What the dead still hold and hear in the model reaches
    // nothing that lives.
    void collect()
    {
        std::set<Id> held;
        const auto hold = [&](const auto& self, Id id) -> void {
            if (held.insert(id).second && id.sort == Lst)
                for (const ModelMember& m : m_lists[id.i].members)
                    self(self, m.id);
        };
        for (const Slot& s : m_slots)
            if (s.model >= 0)
                hold(hold, {Lst, s.model});
        const auto settle = [&](Id id, bool& alive, const Listener* listener) {
            alive = alive && held.count(id) > 0;
            if (listener && listener->dead == alive)
                fail(alive ? "a list or clone died, the model holds it" : "a list or clone outlived its holders",
                     m_opIndex, id.i);
        };
        for (std::size_t i = 0; i < m_lists.size(); ++i)
            settle({Lst, static_cast<int>(i)}, m_lists[i].alive, m_lists[i].listener.get());
        for (std::size_t i = 0; i < m_clones.size(); ++i)
            settle({Cln, static_cast<int>(i)}, m_clones[i].alive, m_clones[i].listener.get());
        for (std::size_t k = kArrays; k < m_model.size(); ++k)
            settle({Arr, static_cast<int>(k)}, m_model[k].alive, m_arrayListeners[k].get());
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

    // Every live list against its model, member by member, and every live
    // clone against its own.
    void checkLists(int opIndex)
    {
        for (std::size_t l = 0; l < m_lists.size(); ++l) {
            const ModelList& model = m_lists[l];
            const tnUI::ValueList* list = model.ptr;
            bool same = !model.alive || (list->size() == static_cast<int>(model.members.size()) &&
                                         list->getEditable() == model.editable);
            for (int i = 0; same && model.alive && i < list->size(); ++i)
                same = sameNumber(list->getPosition(i), model.members[i].position) &&
                       found(model.members[i].id, m_lists[l].ptr->getValue(i));
            if (!same)
                fail("a list's members, positions or flag differ from the model", opIndex, static_cast<int>(l));
        }
        for (const ModelClone& c : m_clones)
            if (c.alive && (!sameReal(c.ptr, c.m) || c.ptr->getEditable() != c.m.editable))
                fail("a clone differs from the model", opIndex, -1);
    }

    // Whether v is the value the model knows as id. A clone met for the first
    // time is taken from its list if it is of its kind.
    bool found(Id id, tnUI::Value* v)
    {
        if (id.sort == Cln && !m_clones[id.i].ptr && typeid(*v) == typeid(tnUI::RealValue)) {
            m_clones[id.i].ptr = static_cast<tnUI::RealValue*>(v);
            m_clones[id.i].listener = std::make_unique<Listener>(v);
            m_clones[id.i].m.own = 0;
        } else if (id.sort == Arr && !m_arrays[id.i] && dynamic_cast<tnUI::ColorValue*>(v)) {
            m_arrays[id.i] = static_cast<tnUI::ColorValue*>(v);
            m_arrayListeners[id.i] = std::make_unique<Listener>(v);
            m_model[id.i].roots = m_model[id.i].forwards = 0;
        }
        return value(id) == v;
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
        checkLists(opIndex);
        for (std::size_t k = 0; k < m_model.size(); ++k)
            if (m_model[k].alive)
                checkArray(static_cast<int>(k), opIndex);
    }

    tn::Reference<NumericValue> m_values[kLeaves];
    std::vector<tn::Reference<NumericValue>> m_nodes;
    ModelLeaf m_leaves[kLeaves];
    std::vector<ModelNode> m_modelNodes;
    std::vector<std::unique_ptr<Listener>> m_listeners;
    int m_opIndex = 0;
    std::vector<int> m_own; // root messages each object sent itself
    tn::Reference<RealValueArray> m_arrayHold[kArrays];
    std::vector<RealValueArray*> m_arrays; // the pool's, then colour clones (null until found)
    std::vector<ModelArray> m_model;
    std::vector<std::unique_ptr<Listener>> m_arrayListeners;
    std::vector<std::unique_ptr<Listener>> m_partListeners[3];
    std::vector<int> m_fwd; // forwards each object sent
    Slot m_slots[kSlots];
    std::vector<ModelList> m_lists;
    std::vector<ModelClone> m_clones;
    std::map<Id, std::vector<Conn>> m_conns; // each value's connections, in order
    int m_serial = 0;
    int m_nestings = 0; // lists added to lists
    std::unique_ptr<Reaction> m_reaction;
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
