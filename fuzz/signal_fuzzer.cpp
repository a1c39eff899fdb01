// Drives signals, receivers and entities through a script decoded from the
// fuzzer's input, and checks every operation against a reference model.
//
// The pool holds plain receivers (a SignalClient), plain sources (a
// Signal<int>) and entities, which are both: their messageSignal is a source,
// their signalClient a receiver. Operations create and destroy pool objects,
// connect scripted callbacks, make entities forward each other's messages,
// cut connections in every way the library offers, block them and emit. Each
// scripted callback logs its call and then does one thing: nothing, cut
// itself or others, destroy an object, connect, re-emit (to a bounded depth),
// resend the message it received from another entity, throw, block, or make
// one entity forward another. Its destructor may destroy an object too.
//
// The model keeps every connection ever made in a flat list and applies the
// rules of emission directly: connections in the order they were made, only
// those that existed when the emission started, skipped when cut or blocked at
// the time the emission reaches them; an emission ends when its signal dies or
// an exception passes; a cut callback is destroyed as soon as no emission is
// running it; a forward into an entity already in the message's chain raises
// CycleError. After each operation the calls made (with their argument or
// message chain), the counts returned, the outcome (returned, thrown, cycle),
// the connection counts of every live object and the live-entity count must be
// the same in both; any difference traps.

#include "FuzzInput.h"

#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

namespace {

// Pool layout. Objects 0-2 are plain receivers, 3-4 plain sources, 5-7
// entities. A source index s (0-4) names a plain source or an entity, a
// receiver index r (0-5) a plain receiver or an entity.
constexpr int kReceivers = 3;
constexpr int kPlainSources = 2;
constexpr int kEntities = 3;
constexpr int kObjects = kReceivers + kPlainSources + kEntities;
constexpr int kSources = kPlainSources + kEntities;
constexpr int kReceiverChoices = kReceivers + kEntities;

// Bounds that keep one input fast.
constexpr int kMaxOps = 48;
constexpr int kMaxConnections = 64;
constexpr int kMaxDepth = 3;
constexpr int kMaxCallsPerOp = 2000;

int sourceObject(int s)
{
    return kReceivers + s;
}
int receiverObject(int r)
{
    return r < kReceivers ? r : r + kPlainSources;
}
int entityObject(int e)
{
    return kReceivers + kPlainSources + e;
}
bool isPlainSource(int s)
{
    return s < kPlainSources;
}

enum Action : std::uint8_t {
    Nothing,
    CutSelf,       // own source's disconnectInstance(own receiver)
    CutInstance,   // source a's disconnectInstance(receiver b)
    DisconnectAll, // receiver a's SignalClient::disconnectAll
    Destroy,       // object a
    Connect,       // a new callback on source a, receiver b (or none)
    Emit,          // source a
    Resend,        // entity a resends the message received (or sends one)
    Throw,
    Block,   // blockInstance(receiver b) on source a, up or down
    Forward, // entity a forwards entity b's messages
    EmitOwn, // the callback's own source
    ActionCount
};

struct Script {
    Action action = Nothing;
    std::uint8_t a = 0, b = 0;
    int onDestroy = -1; // object destroyed by the callback's destructor
};

enum OpKind : std::uint8_t {
    CreateOp,
    ConnectOp,
    ForwardOp,
    RemoveSignalOp,
    CutInstanceOp,
    DisconnectAllOp,
    BlockOp,
    EmitOp,
    DestroyOp,
    OpCount
};

struct Op {
    OpKind kind = CreateOp;
    std::uint8_t a = 0, b = 0;
    Script script;
};

Script readScript(FuzzInput& in)
{
    Script s;
    s.action = static_cast<Action>(in.next() % ActionCount);
    s.a = in.next();
    s.b = in.next();
    const std::uint8_t d = in.next();
    s.onDestroy = d % 4 == 0 ? (d / 4) % kObjects : -1;
    return s;
}

// The script of a callback connected by a Connect action.
Script childScript(std::uint8_t b)
{
    Script s;
    s.action = (b & 0x80) != 0 ? CutSelf : Nothing;
    return s;
}

Op readOp(FuzzInput& in)
{
    Op op;
    op.kind = static_cast<OpKind>(in.next() % OpCount);
    op.a = in.next();
    op.b = in.next();
    if (op.kind == ConnectOp)
        op.script = readScript(in);
    return op;
}

enum Outcome { Returned, ThrownOut, CycleOut };

// What one side did during an operation: per scripted call its id, the
// length of its payload and the payload (the int argument, or the uids of the
// message chain from the message to its root); per count returned -2 and the
// count.
using Trace = std::vector<int>;

struct Thrown {};

// ---------------------------------------------------------------------------
// The library side.

class FuzzEntity : public tnUI::Entity {
public:
    using Entity::connectSignal;
    using Entity::removeSignal;

    void send()
    {
        tnUI::Message m(this, tnUI::Message::Value);
        sendMessage(m);
    }
    void resend(tnUI::Message& cause) const { resendMessage(cause, tnUI::Message::Value); }
};

struct PlainReceiver {
    tnRTB::SignalClient signalClient;
};

struct PlainSource {
    tnRTB::Signal<int> signal;
};

class Real;

// A scripted callback; Arg is int on plain sources, Message& on entities.
// (Its destructor is virtual through FunctionBase; the check misreads the
// template.)
template <class Arg>
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class Scripted final : public tnRTB::FunctionArg<Arg> {
public:
    Scripted(Real& world, int id, int source, const void* instance, Script script)
        : m_world(world), m_id(id), m_source(source), m_instance(instance), m_script(script)
    {}
    ~Scripted() override;
    Scripted(const Scripted&) = delete;
    Scripted& operator=(const Scripted&) = delete;

    bool isInstance(const void* p) const override { return m_instance && p == m_instance; }
    void call(Arg arg) override;

private:
    Real& m_world;
    int m_id;
    int m_source;
    const void* m_instance;
    Script m_script;
};

class Real {
public:
    Real() : m_liveAtStart(tnUI::Entity::numberOfActiveObjects())
    {
        for (int o = 0; o < kObjects; ++o)
            create(o);
    }
    Real(const Real&) = delete;
    Real& operator=(const Real&) = delete;
    ~Real() { destroyAll(); }

    void destroyAll()
    {
        for (int o = 0; o < kObjects; ++o)
            destroy(o);
    }

    Outcome run(const Op& op, int opIndex)
    {
        m_opIndex = opIndex;
        m_calls = 0;
        trace.clear();
        try {
            apply(op);
        } catch (const Thrown&) {
            return ThrownOut;
        } catch (const tnUI::CycleError&) {
            return CycleOut;
        }
        return Returned;
    }

    bool isLive(int o) const
    {
        if (o < kReceivers)
            return m_receivers[o] != nullptr;
        if (o < kReceivers + kPlainSources)
            return m_plain[o - kReceivers] != nullptr;
        return m_entities[o - kReceivers - kPlainSources] != nullptr;
    }
    int sourceConnections(int s) const { return sourceSignal(s)->getNumConnections(); }
    int receiverConnections(int r) const { return client(r)->getNumConnections(); }
    int liveEntities() const { return tnUI::Entity::numberOfActiveObjects() - m_liveAtStart; }

    Trace trace;

    // Called by the scripted callbacks.
    void called(int id, int source, const void* instance, const Script& script, int value)
    {
        record(id, {value});
        perform(script, source, instance, nullptr);
    }
    void called(int id, int source, const void* instance, const Script& script, tnUI::Message& m)
    {
        std::vector<int> chain;
        for (const tnUI::Message* c = &m; c; c = c->causedBy()) {
            const auto it = m_uids.find(c->getEntity());
            chain.push_back(it == m_uids.end() ? -9 : it->second);
        }
        record(id, chain);
        perform(script, source, instance, &m);
    }
    void callbackDestroyed(const Script& script)
    {
        if (script.onDestroy >= 0)
            destroy(script.onDestroy);
    }

private:
    void record(int id, const std::vector<int>& payload)
    {
        ++m_calls;
        trace.push_back(id);
        trace.push_back(static_cast<int>(payload.size()));
        trace.insert(trace.end(), payload.begin(), payload.end());
    }

    void create(int o)
    {
        if (isLive(o))
            return;
        const int uid = m_nextUid++;
        if (o < kReceivers) {
            m_receivers[o] = new PlainReceiver;
        } else if (o < kReceivers + kPlainSources) {
            m_plain[o - kReceivers] = new PlainSource;
        } else {
            auto* e = new FuzzEntity;
            m_entities[o - kReceivers - kPlainSources] = e;
            m_uids[e] = uid;
        }
    }

    // Empties the slot before the object dies, so that whatever its death
    // sets off sees it gone.
    void destroy(int o)
    {
        if (o < kReceivers) {
            delete std::exchange(m_receivers[o], nullptr);
        } else if (o < kReceivers + kPlainSources) {
            delete std::exchange(m_plain[o - kReceivers], nullptr);
        } else {
            tn::Reference<FuzzEntity> dying(std::move(m_entities[o - kReceivers - kPlainSources]));
        }
    }

    FuzzEntity* entity(int e) const { return m_entities[e].get(); }
    tnRTB::SignalBase* sourceSignal(int s) const
    {
        if (isPlainSource(s))
            return m_plain[s] ? &m_plain[s]->signal : nullptr;
        FuzzEntity* e = entity(s - kPlainSources);
        return e ? &e->messageSignal : nullptr;
    }
    tnRTB::SignalClient* client(int r) const
    {
        if (r < kReceivers)
            return m_receivers[r] ? &m_receivers[r]->signalClient : nullptr;
        FuzzEntity* e = entity(r - kReceivers);
        return e ? &e->signalClient : nullptr;
    }
    // The address that isInstance compares: the receiver object itself.
    const void* instance(int r) const
    {
        if (r < kReceivers)
            return m_receivers[r];
        return static_cast<const tnUI::Entity*>(entity(r - kReceivers));
    }

    void connect(int s, int r, const Script& script)
    {
        if (!sourceSignal(s) || m_connections >= kMaxConnections)
            return;
        const bool none = r >= kReceiverChoices || !client(r);
        tnRTB::SignalClient* receiver = none ? nullptr : client(r);
        const void* inst = none ? nullptr : instance(r);
        const int id = m_connections++;
        // Odd connections carry their callback in their own block, even ones
        // a separate callback object: both kinds meet in every list.
        if (isPlainSource(s))
            add(m_plain[s]->signal, id, receiver, s, inst, script);
        else
            add(entity(s - kPlainSources)->messageSignal, id, receiver, s, inst, script);
    }

    template <class Arg>
    void add(tnRTB::Signal<Arg>& signal, int id, tnRTB::SignalClient* receiver, int s, const void* inst,
             const Script& script)
    {
        if (id % 2 != 0)
            signal.template emplaceCallback<Scripted<Arg>>(receiver, *this, id, s, inst, script);
        else
            signal.addCallback(new Scripted<Arg>(*this, id, s, inst, script), receiver);
    }

    void forward(int listener, int source)
    {
        if (!entity(listener) || !entity(source) || m_connections >= kMaxConnections)
            return;
        ++m_connections;
        entity(listener)->connectSignal(entity(source));
    }

    void fire(int s)
    {
        if (isPlainSource(s)) {
            if (m_plain[s])
                m_plain[s]->signal.fire(m_opIndex * 16 + m_depth);
        } else if (FuzzEntity* e = entity(s - kPlainSources)) {
            e->send();
        }
    }

    bool mayNest() const { return m_depth < kMaxDepth && m_calls < kMaxCallsPerOp; }

    class Nested {
    public:
        explicit Nested(int& depth) : m_depth(depth) { ++m_depth; }
        ~Nested() { --m_depth; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;

    private:
        int& m_depth;
    };

    void cutInstance(int s, int r)
    {
        if (tnRTB::SignalBase* signal = sourceSignal(s)) {
            trace.push_back(-2);
            trace.push_back(signal->disconnectInstance(instance(r)));
        }
    }
    void block(int s, int r, bool up)
    {
        if (tnRTB::SignalBase* signal = sourceSignal(s)) {
            trace.push_back(-2);
            trace.push_back(signal->blockInstance(instance(r), up));
        }
    }
    void disconnectAll(int r)
    {
        if (tnRTB::SignalClient* c = client(r))
            c->disconnectAll();
    }

    void perform(const Script& script, int ownSource, const void* ownInstance, tnUI::Message* m)
    {
        switch (script.action) {
        case Nothing:
        case ActionCount: break;
        case CutSelf:
            if (ownInstance) {
                trace.push_back(-2);
                trace.push_back(sourceSignal(ownSource)->disconnectInstance(ownInstance));
            }
            break;
        case CutInstance: cutInstance(script.a % kSources, script.b % kReceiverChoices); break;
        case DisconnectAll: disconnectAll(script.a % kReceiverChoices); break;
        case Destroy: destroy(script.a % kObjects); break;
        case Connect: connect(script.a % kSources, script.b % (kReceiverChoices + 1), childScript(script.b)); break;
        case Emit:
            if (mayNest()) {
                const Nested nested(m_depth);
                fire(script.a % kSources);
            }
            break;
        case EmitOwn:
            if (mayNest()) {
                const Nested nested(m_depth);
                fire(ownSource);
            }
            break;
        case Resend:
            if (FuzzEntity* e = entity(script.a % kEntities); e && mayNest()) {
                const Nested nested(m_depth);
                if (m)
                    e->resend(*m);
                else
                    e->send();
            }
            break;
        case Throw: throw Thrown();
        case Block:
            block(script.a % kSources, script.b % kReceiverChoices, (script.b / kReceiverChoices) % 2 == 0);
            break;
        case Forward: forward(script.a % kEntities, script.b % kEntities); break;
        }
    }

    void apply(const Op& op)
    {
        switch (op.kind) {
        case CreateOp: create(op.a % kObjects); break;
        case ConnectOp: connect(op.a % kSources, op.b % (kReceiverChoices + 1), op.script); break;
        case ForwardOp: forward(op.a % kEntities, op.b % kEntities); break;
        case RemoveSignalOp:
            if (entity(op.a % kEntities) && entity(op.b % kEntities))
                entity(op.a % kEntities)->removeSignal(entity(op.b % kEntities));
            break;
        case CutInstanceOp: cutInstance(op.a % kSources, op.b % kReceiverChoices); break;
        case DisconnectAllOp: disconnectAll(op.a % kReceiverChoices); break;
        case BlockOp: block(op.a % kSources, op.b % kReceiverChoices, (op.b / kReceiverChoices) % 2 == 0); break;
        case EmitOp: fire(op.a % kSources); break;
        case DestroyOp: destroy(op.a % kObjects); break;
        case OpCount: break;
        }
    }

    PlainReceiver* m_receivers[kReceivers] = {};
    PlainSource* m_plain[kPlainSources] = {};
    tn::Reference<FuzzEntity> m_entities[kEntities];
    // Entity address to uid. Entries of dead entities stay: a message chain
    // may still name them, and no entity is created during an operation that
    // could reuse their address.
    std::map<const tnUI::Entity*, int> m_uids;
    std::int32_t m_liveAtStart;
    int m_nextUid = 0;
    int m_connections = 0;
    int m_opIndex = 0;
    int m_depth = 0;
    int m_calls = 0;
};

template <class Arg>
Scripted<Arg>::~Scripted()
{
    m_world.callbackDestroyed(m_script);
}

template <class Arg>
void Scripted<Arg>::call(Arg arg)
{
    m_world.called(m_id, m_source, m_instance, m_script, arg);
}

// ---------------------------------------------------------------------------
// The model.

struct ModelThrown {};
struct ModelCycle {};

class Model {
public:
    Model()
    {
        std::fill(std::begin(m_slots), std::end(m_slots), -1);
        for (int o = 0; o < kObjects; ++o)
            create(o);
    }

    void destroyAll()
    {
        for (int o = 0; o < kObjects; ++o)
            destroy(o);
    }

    Outcome run(const Op& op, int opIndex)
    {
        m_opIndex = opIndex;
        m_calls = 0;
        trace.clear();
        try {
            apply(op);
        } catch (const ModelThrown&) {
            return ThrownOut;
        } catch (const ModelCycle&) {
            return CycleOut;
        }
        return Returned;
    }

    bool isLive(int o) const { return m_slots[o] >= 0; }
    int sourceConnections(int s) const { return countConnections(m_slots[sourceObject(s)], true); }
    int receiverConnections(int r) const { return countConnections(m_slots[receiverObject(r)], false); }
    int liveEntities() const
    {
        int n = 0;
        for (int e = 0; e < kEntities; ++e)
            n += isLive(entityObject(e)) ? 1 : 0;
        return n;
    }

    Trace trace;

private:
    struct Connection {
        int id;
        int sourceIndex; // 0-4, tells plain from entity
        int source;      // uid of the source object
        int receiver;    // uid of the receiver object, -1 for none
        bool forward;    // an entity's forwardMessage, else scripted
        Script script;
        bool cut = false;
        bool destroyed = false; // the callback object is gone
        int running = 0;
        int blocks = 0;
    };

    int countConnections(int uid, bool asSource) const
    {
        int n = 0;
        for (const Connection& c : m_connections)
            n += !c.cut && (asSource ? c.source : c.receiver) == uid ? 1 : 0;
        return n;
    }

    void create(int o)
    {
        if (isLive(o))
            return;
        m_slots[o] = m_nextUid++;
        m_alive.resize(m_nextUid, false);
        m_bySource.resize(m_nextUid);
        m_alive[m_slots[o]] = true;
    }

    void destroy(int o)
    {
        const int uid = std::exchange(m_slots[o], -1);
        if (uid < 0)
            return;
        m_alive[uid] = false;
        for (std::size_t i = 0; i < m_connections.size(); ++i) {
            if (m_connections[i].receiver == uid || m_connections[i].source == uid)
                cut(i);
        }
    }

    void cut(std::size_t i)
    {
        if (m_connections[i].cut)
            return;
        m_connections[i].cut = true;
        if (m_connections[i].running == 0)
            release(i);
    }

    // The callback object dies; its destructor may destroy an object.
    void release(std::size_t i)
    {
        if (std::exchange(m_connections[i].destroyed, true))
            return;
        if (m_connections[i].script.onDestroy >= 0)
            destroy(m_connections[i].script.onDestroy);
    }

    int sourceUid(int s) const { return m_slots[sourceObject(s)]; }
    int receiverUid(int r) const { return r < kReceiverChoices ? m_slots[receiverObject(r)] : -1; }
    int entityUid(int e) const { return m_slots[entityObject(e)]; }

    void connect(int s, int r, const Script& script)
    {
        if (sourceUid(s) < 0 || m_count >= kMaxConnections)
            return;
        addConnection(s, sourceUid(s), receiverUid(r), false, script);
    }

    void forward(int listener, int source)
    {
        if (entityUid(listener) < 0 || entityUid(source) < 0 || m_count >= kMaxConnections)
            return;
        addConnection(kPlainSources + source, entityUid(source), entityUid(listener), true, Script());
    }

    void addConnection(int sourceIndex, int source, int receiver, bool forward, const Script& script)
    {
        Connection c{m_count++, sourceIndex, source, receiver, forward, script};
        m_bySource[source].push_back(static_cast<int>(m_connections.size()));
        m_connections.push_back(c);
    }

    int cutInstance(int sourceUid, int instanceUid)
    {
        int n = 0;
        // Connections made while cutting (none can be) would not be looked at.
        const std::vector<int> list = m_bySource[sourceUid];
        for (int i : list) {
            if (!m_connections[i].cut && instanceUid >= 0 && m_connections[i].receiver == instanceUid) {
                cut(i);
                ++n;
            }
        }
        return n;
    }

    void cutInstanceCounted(int s, int r)
    {
        if (sourceUid(s) < 0)
            return;
        trace.push_back(-2);
        trace.push_back(cutInstance(sourceUid(s), receiverUid(r)));
    }

    void block(int s, int r, bool up)
    {
        if (sourceUid(s) < 0)
            return;
        int n = 0;
        for (int i : m_bySource[sourceUid(s)]) {
            Connection& c = m_connections[i];
            if (c.cut || receiverUid(r) < 0 || c.receiver != receiverUid(r))
                continue;
            if (up)
                ++c.blocks;
            else if (c.blocks > 0)
                --c.blocks;
            else
                continue;
            ++n;
        }
        trace.push_back(-2);
        trace.push_back(n);
    }

    void disconnectAll(int r)
    {
        const int uid = receiverUid(r);
        if (uid < 0)
            return;
        for (std::size_t i = 0; i < m_connections.size(); ++i) {
            if (m_connections[i].receiver == uid)
                cut(i);
        }
    }

    // chain: the uids of the message's entities, root first; empty on plain
    // sources.
    void emission(int source, const std::vector<int>& chain, int value)
    {
        const std::size_t limit = m_bySource[source].size();
        for (std::size_t k = 0; k < limit; ++k) {
            if (!m_alive[source])
                return;
            const int i = m_bySource[source][k];
            if (m_connections[i].cut || m_connections[i].blocks > 0)
                continue;
            call(i, chain, value);
        }
    }

    void call(int i, const std::vector<int>& chain, int value)
    {
        const Connection c = m_connections[i];
        if (c.forward) {
            if (std::find(chain.begin(), chain.end(), c.receiver) != chain.end())
                throw ModelCycle();
            std::vector<int> longer = chain;
            longer.push_back(c.receiver);
            emission(c.receiver, longer, value);
            return;
        }
        ++m_calls;
        trace.push_back(c.id);
        if (isPlainSource(c.sourceIndex)) {
            trace.push_back(1);
            trace.push_back(value);
        } else {
            trace.push_back(static_cast<int>(chain.size()));
            trace.insert(trace.end(), chain.rbegin(), chain.rend());
        }
        ++m_connections[i].running;
        try {
            perform(c, chain);
        } catch (...) {
            finishCall(i);
            throw;
        }
        finishCall(i);
    }

    void finishCall(int i)
    {
        if (--m_connections[i].running == 0 && m_connections[i].cut)
            release(i);
    }

    bool mayNest() const { return m_depth < kMaxDepth && m_calls < kMaxCallsPerOp; }

    void fire(int s)
    {
        const int uid = sourceUid(s);
        if (uid < 0)
            return;
        if (isPlainSource(s))
            emission(uid, {}, m_opIndex * 16 + m_depth);
        else
            emission(uid, {uid}, 0);
    }

    void nestedEmit(int s)
    {
        if (!mayNest())
            return;
        ++m_depth;
        try {
            fire(s);
        } catch (...) {
            --m_depth;
            throw;
        }
        --m_depth;
    }

    void perform(const Connection& c, const std::vector<int>& chain)
    {
        const Script& script = c.script;
        switch (script.action) {
        case Nothing:
        case ActionCount: break;
        case CutSelf:
            if (c.receiver >= 0) {
                trace.push_back(-2);
                trace.push_back(cutInstance(c.source, c.receiver));
            }
            break;
        case CutInstance: cutInstanceCounted(script.a % kSources, script.b % kReceiverChoices); break;
        case DisconnectAll: disconnectAll(script.a % kReceiverChoices); break;
        case Destroy: destroy(script.a % kObjects); break;
        case Connect: connect(script.a % kSources, script.b % (kReceiverChoices + 1), childScript(script.b)); break;
        case Emit: nestedEmit(script.a % kSources); break;
        case EmitOwn: nestedEmit(c.sourceIndex); break;
        case Resend: {
            const int uid = entityUid(script.a % kEntities);
            if (uid < 0 || !mayNest())
                break;
            std::vector<int> longer;
            if (!isPlainSource(c.sourceIndex)) {
                if (std::find(chain.begin(), chain.end(), uid) != chain.end())
                    throw ModelCycle();
                longer = chain;
            }
            longer.push_back(uid);
            ++m_depth;
            try {
                emission(uid, longer, 0);
            } catch (...) {
                --m_depth;
                throw;
            }
            --m_depth;
            break;
        }
        case Throw: throw ModelThrown();
        case Block:
            block(script.a % kSources, script.b % kReceiverChoices, (script.b / kReceiverChoices) % 2 == 0);
            break;
        case Forward: forward(script.a % kEntities, script.b % kEntities); break;
        }
    }

    void apply(const Op& op)
    {
        switch (op.kind) {
        case CreateOp: create(op.a % kObjects); break;
        case ConnectOp: connect(op.a % kSources, op.b % (kReceiverChoices + 1), op.script); break;
        case ForwardOp: forward(op.a % kEntities, op.b % kEntities); break;
        case RemoveSignalOp:
            if (entityUid(op.a % kEntities) >= 0 && entityUid(op.b % kEntities) >= 0)
                cutInstance(entityUid(op.b % kEntities), entityUid(op.a % kEntities));
            break;
        case CutInstanceOp: cutInstanceCounted(op.a % kSources, op.b % kReceiverChoices); break;
        case DisconnectAllOp: disconnectAll(op.a % kReceiverChoices); break;
        case BlockOp: block(op.a % kSources, op.b % kReceiverChoices, (op.b / kReceiverChoices) % 2 == 0); break;
        case EmitOp: fire(op.a % kSources); break;
        case DestroyOp: destroy(op.a % kObjects); break;
        case OpCount: break;
        }
    }

    int m_slots[kObjects];                    // uid of the object in each slot, -1 when empty
    std::vector<bool> m_alive;                // by uid
    std::vector<std::vector<int>> m_bySource; // by uid: connections in the order made
    std::vector<Connection> m_connections;
    int m_nextUid = 0;
    int m_count = 0;
    int m_opIndex = 0;
    int m_depth = 0;
    int m_calls = 0;
};

// ---------------------------------------------------------------------------

[[noreturn]] void mismatch(const char* what, int opIndex, const Trace& real, const Trace& model)
{
    std::fprintf(stderr, "signal_fuzzer: %s differs after operation %d\n  library:", what, opIndex);
    for (int v : real)
        std::fprintf(stderr, " %d", v);
    std::fprintf(stderr, "\n  model:  ");
    for (int v : model)
        std::fprintf(stderr, " %d", v);
    std::fprintf(stderr, "\n");
    __builtin_trap();
}

void compareState(const Real& real, const Model& model, int opIndex)
{
    for (int o = 0; o < kObjects; ++o) {
        if (real.isLive(o) != model.isLive(o))
            mismatch("object life", opIndex, {o, real.isLive(o)}, {o, model.isLive(o)});
    }
    for (int s = 0; s < kSources; ++s) {
        if (real.isLive(sourceObject(s)) && real.sourceConnections(s) != model.sourceConnections(s))
            mismatch("source connections", opIndex, {s, real.sourceConnections(s)}, {s, model.sourceConnections(s)});
    }
    for (int r = 0; r < kReceiverChoices; ++r) {
        if (real.isLive(receiverObject(r)) && real.receiverConnections(r) != model.receiverConnections(r))
            mismatch("receiver connections", opIndex, {r, real.receiverConnections(r)},
                     {r, model.receiverConnections(r)});
    }
    if (real.liveEntities() != model.liveEntities())
        mismatch("live entities", opIndex, {real.liveEntities()}, {model.liveEntities()});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    Real real;
    Model model;
    for (int opIndex = 0; opIndex < kMaxOps && !in.done(); ++opIndex) {
        const Op op = readOp(in);
        const Outcome realOutcome = real.run(op, opIndex);
        const Outcome modelOutcome = model.run(op, opIndex);
        if (real.trace != model.trace)
            mismatch("trace", opIndex, real.trace, model.trace);
        if (realOutcome != modelOutcome)
            mismatch("outcome", opIndex, {realOutcome}, {modelOutcome});
        compareState(real, model, opIndex);
    }
    real.destroyAll();
    model.destroyAll();
    compareState(real, model, kMaxOps);
    if (real.liveEntities() != 0)
        mismatch("entities left", kMaxOps, {real.liveEntities()}, {0});
    return 0;
}
