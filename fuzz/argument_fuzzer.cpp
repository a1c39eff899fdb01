// Drives arguments, argument lists, enumeration choices and an argument pane
// through a script decoded from the fuzzer's input, with listeners that edit,
// re-enter and let go of what they hear, and checks everything against a
// reference model.
//
// The pool holds two flags (boolean values), a unit label, three items whose
// dump is the host's, a value argument, an enumeration argument, two groups
// (each with a list of its own), a top-level list and a pane; any slot but
// the flags and the label may be let go of and made anew. Operations change
// the flags, set, replace and invert enabled expressions, set control hints,
// order values (equal and NaN ones included) and default states, reset
// arguments and lists, add arguments to lists (appended or sorted in),
// remove them and add separators, nest groups (a group in its own tree is
// refused with CycleError and changes nothing), add choices one by one and
// several at once (DuplicateError and NullError keep those added before),
// clear them with and without notice, select in and out of range, change
// kinds, give items values and the value argument a unit label, show
// arguments in the pane, dump, and arm reactions. A reaction belongs to one
// object and one kind of call (a message it sends or passes on, its
// enabledSignal, the pane's argumentSignal, an item's dump, its destruction
// notice) and, from within it, runs an operation, lets go of the object heard
// or throws (never out of a destruction notice); at most twice each and three
// deep. Within a reset, which the model does in one go, only reactions that
// let go of things or dump run.
//
// The model keeps every object's fields, list entries, choices and the pane's
// argument, and holds objects as the library does: an object is alive while
// the pool or a live holder holds it, and its reference count is the number
// of its holders. After each operation the contents and order of every list,
// the choices and selection, values, expressions, isEnabled, getState, kinds,
// findArgumentOfValue, liveness and reference counts must match. When no
// reaction ran, every listener must have heard exactly the messages the
// model predicts: one per path from the object that changed to the listener's
// object, typed by the last step ("State" from an enabled expression,
// "Forward" from every other member), and one enabledSignal call per
// announced change of the expression with the model's truth. Whatever the
// reactions did, every enabledSignal listener must last have heard
// isEnabled(), unless the expression was replaced or inverted outside an
// emission afterwards (which announces nothing), and the pane's notices must
// chain: each one's previous argument is the one shown by the notice before,
// both are alive when heard, and the last one names the argument shown. An
// exception thrown through an emission leaves the listeners after the thrower
// behind: the checks then start again from what is shown, and the next
// emissions must reach every listener. At the end every entity made for the
// input must be gone.

#include "FuzzInput.h"

#include <tnUI/arguments/ArgumentPane.h>
#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/arguments/GroupOfArguments.h>
#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/entity/DumpFile.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/Containers.h>
#include <tnUI/foundation/IString.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/values/BoolValue.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// Pool slots: items, the value argument, the enumeration, two groups (the
// arguments end there), the top-level list and the pane.
constexpr int kItems = 3, kValueArgument = 3, kEnum = 4, kFirstGroup = 5, kArguments = 7, kTopList = 7, kPane = 8,
              kSlots = 9;
constexpr int kFlags = 2, kLabel = kFlags, kPermanent = kFlags + 1; // the first objects
constexpr int kMaxOps = 48, kMaxReactions = 4, kMaxDepth = 3;
constexpr int kTypes = 10; // message types

enum class Kind { Flag, Label, Item, ValueArgument, Enum, Group, List, Pane };

bool isArgument(Kind k)
{
    return k == Kind::Item || k == Kind::ValueArgument || k == Kind::Enum || k == Kind::Group;
}

enum Outcome { Done, Null, Cycle, Duplicate, Index };

enum OpCode : std::uint8_t {
    SetFlag,
    SetExpression,
    Invert,
    SetHint,
    SetOrder,
    SetDefaultState,
    Reset,
    AddArgument,
    RemoveArgument,
    AddSeparator,
    AddChoice,
    AddChoices,
    ClearChoices,
    Select,
    SetEnumKind,
    SetGroupKind,
    SetItemValue,
    UnitLabel,
    ShowInPane,
    Release,
    Renew,
    Dump,
    Arm,
    OpCount
};

struct Op {
    std::uint8_t code, a, b, c;
};

enum Trigger { OnMessage, OnEnabled, OnNotice, OnDump, OnDestroyed, TriggerCount };

// What a reaction does: let go of the object heard, throw, or run an operation.
enum Action { ReleaseHeard, Throw, RunOp };

// Thrown by a reaction, through the library, to the operation's caller.
struct Thrown {};

struct Reaction {
    Trigger trigger = OnMessage;
    int target = -1; // the object heard
    int left = 0;
    Action action = RunOp;
    Op op{};
};

[[noreturn]] void fail(const char* what, int opIndex, int object)
{
    std::fprintf(stderr, "argument_fuzzer: %s (object %d) in operation %d\n", what, object, opIndex);
    __builtin_trap();
}

bool sameOrder(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// One object made for the input: the entity, its model, and its listeners'
// records.
struct Obj {
    Kind kind = Kind::Flag;
    tnUI::Entity* entity = nullptr;
    const tnUI::Argument* argument = nullptr; // the same, for an argument
    bool alive = true;                        // until its destruction notice
    // The model.
    bool on = false; // a flag's value
    int text = 0;    // the label's
    int state = 1, defaultState = 0, hint = 0, kindValue = 0;
    bool hasDefault = false, invert = false;
    double order = 0.0;
    int expression = -1, value = -1, label = -1; // objects held
    std::vector<int> entries;                    // a list's (-1 a separator) or the choices
    int selected = 0;
    int list = -1;  // a group's
    int shown = -1; // the pane's
    // What the listeners heard and should have heard in the operation.
    int heard[kTypes] = {}, expected[kTypes] = {};
    int enabledCalls[2] = {}, expectedEnabled = 0;
    bool truth[2] = {}, heardTruth[2] = {}, expectedTruth = false;
    int inEnabled = 0;  // enabledSignal callbacks running
    bool dirty = false; // its truth changed silently since its last emission began
    const tnUI::Argument* lastShown[2] = {};
    bool missed[2] = {}; // a notice, to an exception thrown through the emission
    tnRTB::SignalClient client;
};

class World;

// An item whose dump is the host's and may run a reaction.
class HostItem : public tnUI::ButtonArgument {
public:
    HostItem(World& world, int id) : m_world(world), m_id(id) {}
    bool dump(tnUI::DumpFile& file, int level, const char* label) const override;

private:
    World& m_world;
    int m_id;
};

class World {
public:
    World()
    {
        std::fill(std::begin(m_slot), std::end(m_slot), -1);
        for (int f = 0; f < kFlags; ++f)
            make(Kind::Flag);
        make(Kind::Label);
        for (int s = 0; s < kSlots; ++s)
            renew(s);
    }

    World(const World&) = delete;
    World& operator=(const World&) = delete;

    ~World()
    {
        // The entities go before the records their notices reach, reacting
        // no more.
        m_depth = kMaxDepth;
        for (auto& held : m_pool)
            held = nullptr;
        m_permanent.clear();
    }

    void step(FuzzInput& in, int opIndex)
    {
        m_opIndex = opIndex;
        for (auto& o : m_objs) {
            std::fill(std::begin(o->heard), std::end(o->heard), 0);
            std::fill(std::begin(o->expected), std::end(o->expected), 0);
            o->enabledCalls[0] = o->enabledCalls[1] = o->expectedEnabled = 0;
        }
        m_reactionsRun = 0;
        const Op op{in.next(), in.next(), in.next(), in.next()};
        try {
            if (op.code % OpCount == Arm)
                arm(op, Op{in.next(), in.next(), in.next(), in.next()});
            else
                run(op);
        } catch (const Thrown&) {
            resync();
        }
        check();
    }

    void onDump(int id) { react(OnDump, id); }

private:
    Obj& obj(int id) { return *m_objs[static_cast<std::size_t>(id)]; }
    template <class T>
    T* as(int id)
    {
        return id < 0 ? nullptr : static_cast<T*>(obj(id).entity);
    }

    int make(Kind kind)
    {
        const int id = static_cast<int>(m_objs.size());
        m_objs.push_back(std::make_unique<Obj>());
        Obj* o = m_objs.back().get();
        o->kind = kind;
        tnUI::Entity* e = nullptr;
        switch (kind) {
        case Kind::Flag: e = new tnUI::BoolValue(false); break;
        case Kind::Label: e = new tnUI::MutableLabel("mm"); break;
        case Kind::Item: e = new HostItem(*this, id); break;
        case Kind::ValueArgument:
            e = new tnUI::ValueArgument(as<tnUI::BoolValue>(0));
            o->value = 0;
            break;
        case Kind::Enum:
            e = new tnUI::EnumArgument;
            o->kindValue = static_cast<int>(tnUI::EEnumArgumentKind::Radio1);
            break;
        case Kind::Group: {
            const int list = make(Kind::List);
            e = new tnUI::GroupOfArguments(as<tnUI::Arguments>(list));
            o->list = list;
            break;
        }
        case Kind::List: e = new tnUI::Arguments; break;
        case Kind::Pane: e = new tnUI::ArgumentPane; break;
        }
        o->entity = e;
        if (kind == Kind::Flag || kind == Kind::Label)
            m_permanent.emplace_back(e);
        listen(id, o);
        return id;
    }

    void listen(int id, Obj* o)
    {
        tnUI::Entity* e = o->entity;
        tnRTB::connect(e->destroyedSignal, &o->client, [this, o, id](tnUI::Entity*) {
            o->alive = false;
            m_liveArguments.erase(o->argument);
            react(OnDestroyed, id);
        });
        tnRTB::connect(e->messageSignal, &o->client, [this, o, id](tnUI::Message& m) {
            const int type = m.getType();
            if (type < 0 || type >= kTypes)
                fail("a message of no known type", m_opIndex, id);
            ++o->heard[type];
            react(OnMessage, id);
        });
        if (isArgument(o->kind)) {
            auto* a = static_cast<tnUI::Argument*>(e);
            o->argument = a;
            m_liveArguments.insert(a);
            for (int k = 0; k < 2; ++k) {
                tnRTB::connect(a->enabledSignal, &o->client, [this, o, id, k](bool truth) {
                    if (k == 0)
                        o->dirty = false;
                    ++o->enabledCalls[k];
                    o->truth[k] = truth;
                    o->heardTruth[k] = true;
                    ++o->inEnabled;
                    if (k == 0)
                        react(OnEnabled, id);
                    --o->inEnabled;
                });
            }
        }
        if (o->kind == Kind::Pane) {
            for (int k = 0; k < 2; ++k) {
                tnRTB::connect(as<tnUI::ArgumentPane>(id)->argumentSignal, &o->client,
                               [this, o, id, k](tnUI::Argument* previous, tnUI::Argument* shown) {
                                   for (const tnUI::Argument* a : {previous, shown}) {
                                       if (a && !m_liveArguments.count(a))
                                           fail("a notice names a dead argument", m_opIndex, id);
                                   }
                                   if (previous != o->lastShown[k] && !o->missed[k])
                                       fail("a notice does not follow the one before", m_opIndex, id);
                                   o->lastShown[k] = shown;
                                   o->missed[k] = false;
                                   if (k == 0)
                                       react(OnNotice, id);
                               });
            }
        }
    }

    Kind slotKind(int s) const
    {
        if (s < kItems)
            return Kind::Item;
        if (s == kValueArgument)
            return Kind::ValueArgument;
        if (s == kEnum)
            return Kind::Enum;
        if (s < kArguments)
            return Kind::Group;
        return s == kTopList ? Kind::List : Kind::Pane;
    }

    void release(int s)
    {
        m_slot[s] = -1;
        m_pool[s] = nullptr;
    }

    void renew(int s)
    {
        release(s);
        const int id = make(slotKind(s));
        m_slot[s] = id;
        m_pool[s] = obj(id).entity;
    }

    // The list an operation addresses: the top-level one or a group's.
    int listOf(std::uint8_t b) const
    {
        const int which = b % 3;
        if (which == 0)
            return m_slot[kTopList];
        const int group = m_slot[kFirstGroup + which - 1];
        return group < 0 ? -1 : m_objs[static_cast<std::size_t>(group)]->list;
    }

    // ---------------------------------------------------------------------
    // The model's holdings and messages.

    // The objects each object holds.
    template <class F>
    void forHeld(const Obj& o, F f) const
    {
        for (int e : o.entries) {
            if (e >= 0)
                f(e);
        }
        for (int h : {o.expression, o.value, o.label, o.list, o.shown}) {
            if (h >= 0)
                f(h);
        }
    }

    // Alive: reached from the pool through holdings (they form no cycle).
    std::vector<char> modelAlive() const
    {
        std::vector<char> alive(m_objs.size(), 0);
        std::vector<int> pending;
        pending.reserve(kPermanent + kSlots);
        for (int id = 0; id < kPermanent; ++id)
            pending.push_back(id);
        for (int id : m_slot) {
            if (id >= 0)
                pending.push_back(id);
        }
        while (!pending.empty()) {
            const int id = pending.back();
            pending.pop_back();
            if (std::exchange(alive[static_cast<std::size_t>(id)], 1))
                continue;
            forHeld(*m_objs[static_cast<std::size_t>(id)], [&pending](int h) { pending.push_back(h); });
        }
        return alive;
    }

    bool enabled(int id) { return obj(id).expression < 0 || obj(obj(id).expression).on != obj(id).invert; }

    // A message of type heard from id, passed on by every live listener.
    void emit(int id, int type, const std::vector<char>& alive)
    {
        ++obj(id).expected[type];
        for (std::size_t h = 0; h < m_objs.size(); ++h) {
            if (!alive[h])
                continue;
            const Obj& o = *m_objs[h];
            const int holder = static_cast<int>(h);
            const auto n = std::count(o.entries.begin(), o.entries.end(), id);
            for (std::ptrdiff_t i = 0; i < n; ++i)
                emit(holder, tnUI::Message::Forward, alive);
            if (o.value == id || o.label == id || o.list == id)
                emit(holder, tnUI::Message::Forward, alive);
            if (o.expression == id) {
                emit(holder, tnUI::Message::State, alive);
                ++obj(holder).expectedEnabled;
                obj(holder).expectedTruth = enabled(holder);
            }
        }
    }

    void emitRoot(int id, int type) { emit(id, type, modelAlive()); }

    void modelFlag(int f, bool v)
    {
        if (obj(f).on == v)
            return;
        obj(f).on = v;
        emitRoot(f, tnUI::Message::Value);
    }

    // A change of the truth that no emission announces, unless it is made
    // during one.
    void silentChange(Obj& o)
    {
        if (o.inEnabled == 0)
            o.dirty = true;
    }

    void modelReset(int id)
    {
        Obj& o = obj(id);
        if (o.kind == Kind::Group) {
            modelResetList(o.list);
            return;
        }
        if (o.kind == Kind::Enum) {
            const std::vector<int> choices = o.entries;
            for (int c : choices)
                modelReset(c);
        } else if (o.value >= 0) {
            modelFlag(o.value, false); // the flags' default
        }
        if (o.hasDefault)
            o.state = o.defaultState;
        emitRoot(id, tnUI::Message::Value);
    }

    void modelResetList(int list)
    {
        const std::vector<int> entries = obj(list).entries;
        for (int e : entries) {
            if (e >= 0)
                modelReset(e);
        }
    }

    // Whether list's tree holds a, the list itself not counted as an entry.
    bool contains(int list, int a)
    {
        for (int e : obj(list).entries) {
            if (e == a || (e >= 0 && obj(e).kind == Kind::Group && contains(obj(e).list, a)))
                return true;
        }
        return false;
    }

    bool reaches(int from, int list)
    {
        if (from == list)
            return true;
        for (int e : obj(from).entries) {
            if (e >= 0 && obj(e).kind == Kind::Group && reaches(obj(e).list, list))
                return true;
        }
        return false;
    }

    Outcome modelAdd(int list, int a, bool sorted)
    {
        if (a < 0)
            return Null;
        if (contains(list, a) || (obj(a).kind == Kind::Group && reaches(obj(a).list, list)))
            return Cycle;
        std::vector<int>& entries = obj(list).entries;
        auto at = entries.end();
        if (sorted) {
            const double order = obj(a).order;
            at = std::find_if(entries.begin(), entries.end(),
                              [this, order](int e) { return e >= 0 && obj(e).order > order; });
        }
        entries.insert(at, a);
        emitRoot(list, tnUI::Message::Structure);
        return Done;
    }

    Outcome modelChoice(int e, int item)
    {
        if (item < 0)
            return Null;
        std::vector<int>& choices = obj(e).entries;
        if (std::find(choices.begin(), choices.end(), item) != choices.end())
            return Duplicate;
        choices.push_back(item);
        return Done;
    }

    // ---------------------------------------------------------------------
    // Operations, on the model first and then on the library, so that
    // reactions from within the library's calls find the model up to date.

    void run(const Op& op)
    {
        Outcome model = Done;
        Outcome real = Done;
        try {
            apply(op, model);
        } catch (const tnUI::NullError&) {
            real = Null;
        } catch (const tnUI::CycleError&) {
            real = Cycle;
        } catch (const tnUI::DuplicateError&) {
            real = Duplicate;
        } catch (const tnUI::IndexError&) {
            real = Index;
        }
        if (real != model)
            fail("the outcome differs from the model", m_opIndex, op.code % OpCount);
    }

    // Applies op to the model and then to the library; the model's outcome
    // is set before the library's call, whose outcome is what it throws.
    void apply(const Op& op, Outcome& model)
    {
        const int arg = m_slot[op.a % kArguments];
        const int e = m_slot[kEnum];
        switch (op.code % OpCount) {
        case SetFlag: {
            const int f = op.a % kFlags;
            modelFlag(f, (op.b & 1) != 0);
            as<tnUI::BoolValue>(f)->setValue((op.b & 1) != 0);
            return;
        }
        case SetExpression: {
            if (arg < 0)
                return;
            const int f = op.b % 3 - 1;
            if (obj(arg).expression != f) {
                obj(arg).expression = f;
                silentChange(obj(arg));
                emitRoot(arg, tnUI::Message::State);
            }
            as<tnUI::Argument>(arg)->setEnabledExpression(as<tnUI::BoolValue>(f));
            return;
        }
        case Invert:
            if (arg < 0)
                return;
            if (obj(arg).invert != ((op.b & 1) != 0)) {
                obj(arg).invert = (op.b & 1) != 0;
                silentChange(obj(arg));
            }
            as<tnUI::Argument>(arg)->setInvertEnabled((op.b & 1) != 0);
            return;
        case SetHint:
            if (arg < 0)
                return;
            if (std::exchange(obj(arg).hint, op.b % 9) != op.b % 9)
                emitRoot(arg, tnUI::Message::State);
            as<tnUI::Argument>(arg)->setArgumentControlHint(static_cast<tnUI::EArgumentControlHint>(op.b % 9));
            return;
        case SetOrder: {
            constexpr double nan = std::numeric_limits<double>::quiet_NaN();
            constexpr double inf = std::numeric_limits<double>::infinity();
            static const double orders[] = {0.0, 1.0, 1.0, 2.0, -1.0, nan, inf};
            if (arg < 0)
                return;
            obj(arg).order = orders[op.b % std::size(orders)];
            as<tnUI::Argument>(arg)->setOrderValue(obj(arg).order);
            return;
        }
        case SetDefaultState:
            if (arg < 0)
                return;
            obj(arg).defaultState = op.b % 4;
            obj(arg).hasDefault = true;
            as<tnUI::Argument>(arg)->setDefaultState(static_cast<tnUI::EArgumentState>(op.b % 4));
            return;
        case Reset: reset(op); return;
        case AddArgument: {
            const int list = listOf(op.b);
            if (list < 0)
                return;
            const bool sorted = (op.c & 1) != 0;
            model = modelAdd(list, arg, sorted);
            if (sorted)
                as<tnUI::Arguments>(list)->addArgumentSorted(as<tnUI::Argument>(arg));
            else
                as<tnUI::Arguments>(list)->addArgument(as<tnUI::Argument>(arg));
            return;
        }
        case RemoveArgument: {
            const int list = listOf(op.b);
            if (list < 0)
                return;
            model = Null;
            if (arg >= 0) {
                model = Done;
                std::vector<int>& entries = obj(list).entries;
                if (const auto it = std::find(entries.begin(), entries.end(), arg); it != entries.end()) {
                    entries.erase(it);
                    emitRoot(list, tnUI::Message::Structure);
                }
            }
            as<tnUI::Arguments>(list)->removeArgument(as<tnUI::Argument>(arg));
            return;
        }
        case AddSeparator: {
            const int list = listOf(op.b);
            if (list < 0)
                return;
            obj(list).entries.push_back(-1);
            as<tnUI::Arguments>(list)->addSeparator();
            return;
        }
        case AddChoice: {
            if (e < 0)
                return;
            const int item = m_slot[op.a % (kValueArgument + 1)];
            const int index = static_cast<int>(obj(e).entries.size());
            model = modelChoice(e, item);
            if (model == Done)
                emitRoot(e, tnUI::Message::Structure);
            if (as<tnUI::EnumArgument>(e)->addChoice(as<tnUI::ArgumentItem>(item)) != index)
                fail("addChoice gave another index", m_opIndex, e);
            return;
        }
        case AddChoices: {
            if (e < 0)
                return;
            tn::vector<tnUI::ArgumentItem*> items;
            for (int i = 0; i <= op.a % 3; ++i) {
                const int item = m_slot[(i == 0 ? op.b : i == 1 ? op.c : op.a >> 4) % (kValueArgument + 1)];
                items.push_back(as<tnUI::ArgumentItem>(item));
                if (model == Done)
                    model = modelChoice(e, item);
            }
            if (model == Done)
                emitRoot(e, tnUI::Message::Structure);
            if (as<tnUI::EnumArgument>(e)->addChoices(items) != static_cast<int>(items.size()))
                fail("addChoices gave another count", m_opIndex, e);
            return;
        }
        case ClearChoices:
            if (e < 0)
                return;
            obj(e).entries.clear();
            if (op.a & 1)
                emitRoot(e, tnUI::Message::Structure);
            as<tnUI::EnumArgument>(e)->clearChoices((op.a & 1) != 0);
            return;
        case Select: {
            if (e < 0)
                return;
            const int i = op.a % 6 - 1;
            if (i < 0 || i >= static_cast<int>(obj(e).entries.size())) {
                model = Index;
                as<tnUI::EnumArgument>(e)->select(i);
                return;
            }
            if (std::exchange(obj(e).selected, i) != i)
                emitRoot(e, tnUI::Message::Forward); // the selection's, passed on
            as<tnUI::EnumArgument>(e)->select(i);
            return;
        }
        case SetEnumKind:
            if (e < 0)
                return;
            if (std::exchange(obj(e).kindValue, op.a % 10) != op.a % 10)
                emitRoot(e, tnUI::Message::Appearance);
            as<tnUI::EnumArgument>(e)->setEnumArgumentKind(static_cast<tnUI::EEnumArgumentKind>(op.a % 10));
            return;
        case SetGroupKind: {
            const int g = m_slot[kFirstGroup + op.a % 2];
            if (g < 0)
                return;
            if (std::exchange(obj(g).kindValue, op.b % 3) != op.b % 3)
                emitRoot(g, tnUI::Message::Appearance);
            as<tnUI::GroupOfArguments>(g)->setGroupOfArgumentsKind(static_cast<tnUI::EGroupOfArgumentsKind>(op.b % 3));
            return;
        }
        case SetItemValue: {
            const int item = m_slot[op.a % (kValueArgument + 1)];
            if (item < 0)
                return;
            const int f = op.b % 3 - 1;
            if (f < 0 && obj(item).kind == Kind::ValueArgument)
                model = Null;
            else
                obj(item).value = f;
            as<tnUI::ArgumentItem>(item)->setValue(as<tnUI::BoolValue>(f));
            return;
        }
        case UnitLabel: {
            const int v = m_slot[kValueArgument];
            const int label = kLabel;
            if (op.a % 3 == 2) {
                const int text = op.b & 1;
                if (std::exchange(obj(label).text, text) != text)
                    emitRoot(label, tnUI::Message::Label);
                as<tnUI::MutableLabel>(label)->set(text ? "cm" : "mm");
            } else if (v >= 0) {
                obj(v).label = op.a % 3 == 1 ? label : -1;
                as<tnUI::ValueArgument>(v)->setUnitLabel(as<tnUI::Label>(obj(v).label));
            }
            return;
        }
        case ShowInPane: {
            const int pane = m_slot[kPane];
            if (pane < 0)
                return;
            const int shown = op.b & 1 ? arg : -1;
            obj(pane).shown = shown;
            as<tnUI::ArgumentPane>(pane)->setArgument(as<tnUI::Argument>(shown));
            return;
        }
        case Release: release(op.a % kSlots); return;
        case Renew: renew(op.a % kSlots); return;
        case Dump: dump(); return;
        default: return; // Arm, from a reaction: nothing
        }
    }

    void reset(const Op& op)
    {
        ++m_resetting; // which limits the reactions within (see react)
        const int list = op.b & 1 ? listOf(op.c) : -1;
        const int arg = m_slot[op.a % kArguments];
        if (list >= 0) {
            modelResetList(list);
            as<tnUI::Arguments>(list)->reset();
        } else if (arg >= 0) {
            modelReset(arg);
            as<tnUI::Argument>(arg)->reset();
        }
        --m_resetting;
    }

    void dump()
    {
        tnUI::DumpFile file;
        if (!file.open(tnString::IString("/dev/null")))
            fail("the dump file does not open", m_opIndex, -1);
        for (int s : {kTopList, kEnum, kFirstGroup, kFirstGroup + 1, 0}) {
            if (const tn::Reference<tnUI::Entity> held = m_pool[s])
                held->dump(file, 0, nullptr);
        }
    }

    void arm(const Op& op, const Op& action)
    {
        const int target = op.b % (kSlots + kFlags);
        const int id = target < kSlots ? m_slot[target] : target - kSlots;
        if (id < 0)
            return;
        Reaction& r = m_reactions[m_nextReaction++ % kMaxReactions];
        r.trigger = static_cast<Trigger>(op.a % TriggerCount);
        r.target = id;
        r.left = 1 + (op.c & 1);
        r.action = static_cast<Action>(std::min((op.c >> 1) & 3, 2));
        r.op = action;
    }

    void react(Trigger trigger, int id)
    {
        if (m_depth >= kMaxDepth)
            return;
        for (Reaction& r : m_reactions) {
            if (r.left == 0 || r.trigger != trigger || r.target != id)
                continue;
            // Nothing may throw out of a destruction notice. A reset is done
            // in one go in the model: only what leaves its walk alone runs
            // within it.
            const int code = r.op.code % OpCount;
            const bool leavesResetsAlone =
                r.action == ReleaseHeard || (r.action == RunOp && (code == Release || code == Renew || code == Dump));
            if ((r.action == Throw && (trigger == OnDestroyed || m_inDestruction > 0)) ||
                (m_resetting > 0 && !leavesResetsAlone))
                continue;
            --r.left;
            ++m_reactionsRun;
            ++m_depth;
            m_inDestruction += trigger == OnDestroyed;
            if (r.action == Throw) {
                for (auto& o : m_objs)
                    o->missed[0] = o->missed[1] = true;
                throw Thrown();
            }
            if (r.action == ReleaseHeard) {
                for (int s = 0; s < kSlots; ++s) {
                    if (m_slot[s] == id)
                        release(s);
                }
            } else {
                run(r.op);
            }
            m_inDestruction -= trigger == OnDestroyed;
            --m_depth;
        }
    }

    // After an exception: emissions were cut short, so listeners may have
    // missed the last truth or notice, and counters were left as they were.
    void resync()
    {
        m_depth = m_resetting = m_inDestruction = 0;
        for (auto& o : m_objs) {
            o->inEnabled = 0;
            o->dirty = true;
            if (o->kind == Kind::Pane && o->alive) {
                o->lastShown[0] = o->lastShown[1] = static_cast<tnUI::ArgumentPane*>(o->entity)->getArgument();
                o->missed[0] = o->missed[1] = false;
            }
        }
    }

    // ---------------------------------------------------------------------
    // Checks after each operation.

    const tnUI::ArgumentItem* modelFind(int list, int f)
    {
        for (int e : obj(list).entries) {
            if (e < 0)
                continue;
            if ((obj(e).kind == Kind::Item || obj(e).kind == Kind::ValueArgument) && obj(e).value == f)
                return as<tnUI::ArgumentItem>(e);
            if (obj(e).kind == Kind::Group) {
                if (const tnUI::ArgumentItem* found = modelFind(obj(e).list, f))
                    return found;
            }
        }
        return nullptr;
    }

    int listState(int list)
    {
        int lowest = -1;
        for (int e : obj(list).entries) {
            if (e >= 0 && (lowest < 0 || obj(e).state < lowest))
                lowest = obj(e).state;
        }
        return lowest < 0 ? 0 : lowest;
    }

    void checkArgument(int id, Obj& o)
    {
        const auto* a = as<tnUI::Argument>(id);
        if (static_cast<int>(a->getState()) != o.state || a->isEnabled() != enabled(id) ||
            !sameOrder(a->getOrderValue(), o.order) || static_cast<int>(a->getArgumentControlHint()) != o.hint ||
            a->getEnabledExpression() != as<tnUI::BoolValue>(o.expression) || a->getInvertEnabled() != o.invert)
            fail("an argument's fields differ from the model", m_opIndex, id);
        for (int k = 0; k < 2; ++k) {
            if (!o.dirty && o.heardTruth[k] && o.truth[k] != a->isEnabled())
                fail("an enabledSignal listener last heard a stale truth", m_opIndex, id);
            if (m_reactionsRun == 0 &&
                (o.enabledCalls[k] != o.expectedEnabled || (o.expectedEnabled > 0 && o.truth[k] != o.expectedTruth)))
                fail("enabledSignal differs from the model", m_opIndex, id);
        }
        switch (o.kind) {
        case Kind::Item:
        case Kind::ValueArgument:
            if (as<tnUI::ArgumentItem>(id)->getValue() != as<tnUI::BoolValue>(o.value))
                fail("an item's value differs from the model", m_opIndex, id);
            if (o.kind == Kind::ValueArgument &&
                as<tnUI::ValueArgument>(id)->getUnitLabel() != as<tnUI::Label>(o.label))
                fail("the unit label differs from the model", m_opIndex, id);
            break;
        case Kind::Enum: {
            auto* en = as<tnUI::EnumArgument>(id);
            bool same = en->getNumChoices() == static_cast<int>(o.entries.size()) &&
                        en->getSelectedItem() == o.selected &&
                        static_cast<int>(en->getEnumArgumentKind()) == o.kindValue;
            for (std::size_t i = 0; same && i < o.entries.size(); ++i)
                same = en->getItem(static_cast<int>(i)) == as<tnUI::ArgumentItem>(o.entries[i]);
            if (!same)
                fail("the choices differ from the model", m_opIndex, id);
            break;
        }
        case Kind::Group: {
            auto* g = as<tnUI::GroupOfArguments>(id);
            if (g->getArguments() != as<tnUI::Arguments>(o.list) ||
                static_cast<int>(g->getGroupOfArgumentsKind()) != o.kindValue)
                fail("a group differs from the model", m_opIndex, id);
            for (int f = 0; f < kFlags; ++f) {
                if (tnUI::findArgumentOfValue(g, as<tnUI::BoolValue>(f)) != modelFind(o.list, f))
                    fail("findArgumentOfValue differs from the model", m_opIndex, id);
            }
            break;
        }
        default: break;
        }
    }

    void check()
    {
        const std::vector<char> alive = modelAlive();
        std::vector<int> holders(m_objs.size(), 0);
        for (std::size_t id = 0; id < m_objs.size(); ++id) {
            if (alive[id])
                forHeld(*m_objs[id], [&holders](int h) { ++holders[static_cast<std::size_t>(h)]; });
        }
        for (int id : m_slot) {
            if (id >= 0)
                ++holders[static_cast<std::size_t>(id)];
        }
        for (int id = 0; id < kPermanent; ++id)
            ++holders[static_cast<std::size_t>(id)];
        for (std::size_t i = 0; i < m_objs.size(); ++i) {
            Obj& o = *m_objs[i];
            const int id = static_cast<int>(i);
            if (o.alive != (alive[i] != 0))
                fail(o.alive ? "an object outlives its holders" : "an object died while held", m_opIndex, id);
            if (m_reactionsRun == 0 && !std::equal(std::begin(o.heard), std::end(o.heard), std::begin(o.expected)))
                fail("the messages heard differ from the model", m_opIndex, id);
            if (!o.alive)
                continue;
            if (o.entity->getRefCount() != holders[i])
                fail("the reference count differs from its holders", m_opIndex, id);
            if (isArgument(o.kind))
                checkArgument(id, o);
            if (o.kind == Kind::Flag && as<tnUI::BoolValue>(id)->getValue() != o.on)
                fail("a flag differs from the model", m_opIndex, id);
            if (o.kind == Kind::List) {
                auto* list = as<tnUI::Arguments>(id);
                bool same = list->getNumArguments() == static_cast<int>(o.entries.size()) &&
                            static_cast<int>(list->getState()) == listState(id);
                for (std::size_t k = 0; same && k < o.entries.size(); ++k)
                    same = list->getArgument(static_cast<int>(k)) == as<tnUI::Argument>(o.entries[k]);
                if (!same)
                    fail("a list differs from the model", m_opIndex, id);
            }
            if (o.kind == Kind::Pane) {
                const tnUI::Argument* shown = as<tnUI::ArgumentPane>(id)->getArgument();
                if (shown != as<tnUI::Argument>(o.shown) || o.lastShown[0] != shown || o.lastShown[1] != shown)
                    fail("the pane or its last notice differs from the model", m_opIndex, id);
            }
        }
    }

    std::vector<std::unique_ptr<Obj>> m_objs;
    // The flags and the label, held for the whole run.
    std::vector<tn::Reference<tnUI::Entity>> m_permanent;
    tn::Reference<tnUI::Entity> m_pool[kSlots];
    int m_slot[kSlots]; // the object each slot holds, or -1
    std::unordered_set<const tnUI::Argument*> m_liveArguments;
    Reaction m_reactions[kMaxReactions];
    int m_nextReaction = 0;
    int m_depth = 0;
    int m_inDestruction = 0;
    int m_resetting = 0;
    int m_reactionsRun = 0;
    int m_opIndex = 0;
};

bool HostItem::dump(tnUI::DumpFile& file, int level, const char* label) const
{
    // Host code that may let go of this item holds it itself.
    const auto held = tn::keepAlive(this);
    m_world.onDump(m_id);
    return ButtonArgument::dump(file, level, label);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int32_t liveAtStart = tnUI::Entity::numberOfActiveObjects();
    {
        FuzzInput in(data, size);
        World world;
        for (int opIndex = 0; opIndex < kMaxOps && !in.done(); ++opIndex)
            world.step(in, opIndex);
    }
    if (tnUI::Entity::numberOfActiveObjects() != liveAtStart)
        fail("entities left alive", kMaxOps, -1);
    return 0;
}
