#include "Signal.h"

#include <utility>

namespace tnRTB {

// Connections delete themselves when the last pin goes; the static analyzer
// cannot follow the pin counts and reports uses after free that cannot happen
// (the fuzzer and the sanitizer tests exercise these paths).
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDelete)

void connectionItem::destroy() noexcept
{
    // Deleting the callback may run arbitrary code (a function object's
    // captures); by now the lists no longer know this connection.
    if (m_embedded) {
        m_callback->~FunctionBase();
        this->~connectionItem();
        ::operator delete(static_cast<void*>(this));
    } else {
        delete m_callback;
        delete this;
    }
}

void connectionItem::cut() noexcept
{
    if (m_removed)
        return;
    m_removed = true;
    if (m_client) {
        if (m_clientPrev)
            m_clientPrev->m_clientNext = m_clientNext;
        else
            m_client->m_head = m_clientNext;
        if (m_clientNext)
            m_clientNext->m_clientPrev = m_clientPrev;
        m_client = nullptr;
        m_clientPrev = m_clientNext = nullptr;
    }
    if (m_pins == 0)
        release();
}

void connectionItem::release() noexcept
{
    if (m_signal) {
        // The head's m_prev is the tail (see SignalBase).
        connectionItem*& head = m_signal->m_head;
        if (this == head)
            head = m_next;
        else
            m_prev->m_next = m_next;
        if (m_next)
            m_next->m_prev = m_prev;
        else if (head)
            head->m_prev = m_prev;
        m_signal = nullptr;
    }
    destroy();
}

SignalClient::~SignalClient()
{
    // A disconnectAll in progress (this destructor was reached from a
    // callback destructor it ran) must stop once this object is gone.
    if (m_destroyedFlag)
        *m_destroyedFlag = true;
    disconnectAll();
}

// When the receiver dies inside the loop, its flag pointer is left pointing at
// the local flag: nothing may touch the dead object to reset it. GCC cannot
// see that the object is gone on that path and warns.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
void SignalClient::disconnectAll() noexcept
{
    // Each cut takes the head off the list; callbacks deleted on the way may
    // cut further connections of this receiver, which is fine, or destroy the
    // receiver, which ends the loop (and any disconnectAll it is nested in).
    bool destroyed = false;
    bool* const outer = std::exchange(m_destroyedFlag, &destroyed);
    while (!destroyed && m_head)
        m_head->cut();
    if (destroyed) {
        if (outer)
            *outer = true;
        return;
    }
    m_destroyedFlag = outer;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

int SignalClient::getNumConnections() const noexcept
{
    int n = 0;
    for (const connectionItem* c = m_head; c; c = c->m_clientNext)
        ++n;
    return n;
}

SignalBase::~SignalBase()
{
    // Emissions still running stop after their current callback.
    for (Emission* e = m_emissions; e; e = e->m_outer)
        e->m_signal = nullptr;
    m_emissions = nullptr;
    disconnectAll();
    // What is left is pinned by those emissions: detach it, so that their
    // unlock deletes it without touching this signal.
    for (connectionItem* c = m_head; c;) {
        connectionItem* next = c->m_next;
        c->m_signal = nullptr;
        c->m_prev = c->m_next = nullptr;
        c = next;
    }
    m_head = nullptr;
}

void SignalBase::addConnection(FunctionBase* callback, SignalClient* receiver)
{
    if (!callback)
        return;
    link(new connectionItem(callback, this, receiver, m_nextSerial++, false), receiver);
}

void SignalBase::link(connectionItem* c, SignalClient* receiver) noexcept
{
    if (m_head) {
        c->m_prev = m_head->m_prev;
        m_head->m_prev->m_next = c;
        m_head->m_prev = c;
    } else {
        c->m_prev = c;
        m_head = c;
    }
    if (receiver) {
        c->m_clientNext = receiver->m_head;
        if (receiver->m_head)
            receiver->m_head->m_clientPrev = c;
        receiver->m_head = c;
    }
}

int SignalBase::disconnectInstance(const void* p) noexcept
{
    int n = 0;
    // Each connection is pinned while it is looked at and until the next one
    // is pinned, so cutting (and the callback destructors this runs) cannot
    // pull the walk's ground away.
    connectionItem* c = m_head;
    if (c)
        c->lock();
    while (c) {
        if (!c->m_removed && c->m_callback->isInstance(p)) {
            c->cut();
            ++n;
        }
        connectionItem* next = c->m_signal ? c->m_next : nullptr;
        if (next)
            next->lock();
        c->unlock();
        c = next;
    }
    return n;
}

void SignalBase::disconnectAll() noexcept
{
    connectionItem* c = m_head;
    if (c)
        c->lock();
    while (c) {
        c->cut();
        connectionItem* next = c->m_signal ? c->m_next : nullptr;
        if (next)
            next->lock();
        c->unlock();
        c = next;
    }
}

int SignalBase::blockInstance(const void* p, bool block) noexcept
{
    int n = 0;
    for (connectionItem* c = m_head; c; c = c->m_next) {
        if (c->m_removed || !c->m_callback->isInstance(p))
            continue;
        if (block)
            ++c->m_blockCount;
        else if (c->m_blockCount > 0)
            --c->m_blockCount;
        else
            continue;
        ++n;
    }
    return n;
}

int SignalBase::getNumConnections() const noexcept
{
    int n = 0;
    for (const connectionItem* c = m_head; c; c = c->m_next)
        n += c->m_removed ? 0 : 1;
    return n;
}

// NOLINTEND(clang-analyzer-cplusplus.NewDelete)

} // namespace tnRTB
