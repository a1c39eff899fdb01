#pragma once

#include "Export.h"

#include "Function.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

namespace tnRTB {

class SignalBase;
class SignalClient;

/// One connection of a signal: its callback, the receiver it is recorded
/// with, a block count and a removed flag. A connection is pinned (lock) while
/// an emission uses it; one cut while pinned stays in its signal's list,
/// skipped by every emission, until the last pin goes. The callback is either
/// a separate heap object or made in the same block, right after the record
/// (one allocation per connection).
class TNUI_EXPORT connectionItem {
public:
    /// Pins the connection while an emission holds it.
    void lock() noexcept { ++m_pins; }
    /// Releases a pin of lock().
    void unlock() noexcept
    {
        if (--m_pins == 0 && m_removed)
            release();
    }

    /// Whether it is removed.
    bool isRemoved() const noexcept { return m_removed; }
    /// Whether it is blocked.
    bool isBlocked() const noexcept { return m_blockCount != 0; }
    /// Neither cut nor blocked: an emission calls it.
    bool isActive() const noexcept { return !m_removed && m_blockCount == 0; }
    /// The callback called.
    FunctionBase* callback() const noexcept { return m_callback; }

private:
    friend class SignalBase;
    friend class SignalClient;

    connectionItem(FunctionBase* callback, SignalBase* signal, SignalClient* client, std::uint64_t serial,
                   bool embedded) noexcept
        : m_callback(callback), m_signal(signal), m_client(client), m_serial(serial), m_embedded(embedded)
    {}
    ~connectionItem() = default;

    /// Where a callback of type Fn made in the record's block starts.
    template <class Fn>
    static constexpr std::size_t callbackOffset() noexcept
    {
        return (sizeof(connectionItem) + alignof(Fn) - 1) / alignof(Fn) * alignof(Fn);
    }

    /// Marks the connection cut, takes it off its receiver and, unless it is
    /// pinned, off its signal; an unpinned one is deleted at once.
    void cut() noexcept;
    /// Takes a cut, unpinned connection off its signal and deletes it.
    void release() noexcept;
    /// Deletes the callback, then the record.
    void destroy() noexcept;

    FunctionBase* m_callback;
    SignalBase* m_signal;
    SignalClient* m_client;
    connectionItem* m_prev = nullptr; // in the signal's list; the head's is the tail
    connectionItem* m_next = nullptr;
    connectionItem* m_clientPrev = nullptr; // in the receiver's list
    connectionItem* m_clientNext = nullptr;
    std::uint64_t m_serial; // order of creation within the signal
    std::uint32_t m_pins = 0;
    std::uint16_t m_blockCount = 0;
    bool m_removed = false;
    bool m_embedded; // the callback lives in this record's block
};

/// The receiver side of connections. Destroying it (or calling disconnectAll)
/// cuts every connection recorded with it, on whatever signal.
class TNUI_EXPORT SignalClient {
public:
    SignalClient() = default;
    SignalClient(const SignalClient&) = delete;
    SignalClient& operator=(const SignalClient&) = delete;
    ~SignalClient();

    /// Cuts every connection; a callback destructor run by a cut may even
    /// destroy this receiver.
    void disconnectAll() noexcept;
    /// Connections recorded with this receiver and not cut.
    int getNumConnections() const noexcept;

private:
    friend class connectionItem;
    friend class SignalBase;
    connectionItem* m_head = nullptr;
    /// While disconnectAll runs: a flag on its stack that the destructor sets,
    /// so that the loop stops without touching a dead receiver.
    bool* m_destroyedFlag = nullptr;
};

/// A list of connections, emitted in the order they were made. Callbacks may
/// connect, disconnect (themselves included), block, and destroy the receiver
/// or the object that owns the signal while an emission runs:
///  - a connection cut before the emission reaches it is skipped;
///  - the running connection stays valid until its callback returns;
///  - connections made during an emission are first called by the next one;
///  - if the signal is destroyed, the emission stops after the running callback;
///  - an exception from a callback ends the emission and reaches the emitter,
///    with every remaining connection intact.
/// Emission allocates nothing.
class TNUI_EXPORT SignalBase {
public:
    SignalBase() = default;
    SignalBase(const SignalBase&) = delete;
    SignalBase& operator=(const SignalBase&) = delete;
    ~SignalBase();

    /// Cuts every connection whose callback answers isInstance(p); returns how many.
    int disconnectInstance(const void* p) noexcept;
    /// Cuts every connection.
    void disconnectAll() noexcept;
    /// Raises (block true) or lowers the block count of the connections whose
    /// callback answers isInstance(p); a blocked connection is skipped by
    /// emissions. Returns how many were changed.
    int blockInstance(const void* p, bool block) noexcept;
    /// Connections not cut.
    int getNumConnections() const noexcept;
    /// Whether it is empty.
    bool isEmpty() const noexcept { return getNumConnections() == 0; }

protected:
    /// Takes ownership of callback and appends the connection. A null callback
    /// is ignored; a null receiver makes a connection cut only from this side.
    void addConnection(FunctionBase* callback, SignalClient* receiver);
    /// Makes an Fn from args in one block with its connection record and
    /// appends the connection; a null receiver as above.
    template <class Fn, class... A>
    void emplaceConnection(SignalClient* receiver, A&&... args)
    {
        static_assert(std::is_base_of_v<FunctionBase, Fn>, "a callback derives from FunctionBase");
        static_assert(alignof(Fn) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "the block is aligned for ordinary types");
        constexpr std::size_t offset = connectionItem::callbackOffset<Fn>();
        void* block = ::operator new(offset + sizeof(Fn));
        FunctionBase* callback = nullptr;
        try {
            callback = ::new (static_cast<char*>(block) + offset) Fn(std::forward<A>(args)...);
        } catch (...) {
            ::operator delete(block);
            throw;
        }
        link(::new (block) connectionItem(callback, this, receiver, m_nextSerial++, true), receiver);
    }

    /// The bookkeeping of one emission on the emitter's stack. It pins the
    /// connection being called and the one after it, so that callbacks, and
    /// destructors of callbacks they cut, may change the list freely.
    class Emission {
    public:
        /// Begins an emission of signal.
        explicit Emission(const SignalBase* signal) noexcept
            : m_signal(signal), m_outer(signal->m_emissions), m_limit(signal->m_nextSerial)
        {
// g++ 12 takes the registration below for a dangling pointer; the
// destructor unlinks this emission before it goes out of scope.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
            signal->m_emissions = this;
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
            m_current = signal->m_head;
            if (m_current && m_current->m_serial < m_limit)
                m_current->lock();
            else
                m_current = nullptr;
        }
        ~Emission()
        {
            if (m_current)
                m_current->unlock();
            if (m_signal)
                m_signal->m_emissions = m_outer;
        }
        Emission(const Emission&) = delete;
        Emission& operator=(const Emission&) = delete;

        /// The connection being called, or null.
        connectionItem* current() const noexcept
        {
            return m_current;
        }
        /// Moves on to the next connection to call.
        void advance() noexcept
        {
            connectionItem* done = m_current;
            connectionItem* next = m_signal ? done->m_next : nullptr;
            if (next && next->m_serial < m_limit)
                next->lock();
            else
                next = nullptr;
            m_current = next;
            done->unlock();
        }

    private:
        friend class SignalBase;
        const SignalBase* m_signal; // null once the signal is destroyed
        Emission* m_outer;
        std::uint64_t m_limit;
        connectionItem* m_current;
    };

private:
    friend class connectionItem;
    /// Appends c and records it with receiver (when not null).
    void link(connectionItem* c, SignalClient* receiver) noexcept;

    /// The head's m_prev points at the tail, so that appending needs no
    /// tail pointer here; the tail's m_next is null.
    connectionItem* m_head = nullptr;
    std::uint64_t m_nextSerial = 0;
    mutable Emission* m_emissions = nullptr;
};

/// A signal whose callbacks take Args: Signal<Message&>, Signal<bool>,
/// Signal<> and so on.
template <class... Args>
class Signal : public SignalBase {
public:
    /// The type of the callbacks connected.
    using Callback = FunctionArg<Args...>;

    /// Takes ownership of a heap-allocated callback and records the connection
    /// with receiver, so that the destruction of either side cuts it.
    void addCallback(Callback* callback, SignalClient* receiver) { addConnection(callback, receiver); }
    /// Makes the callback, an Fn built from args, together with its connection
    /// (one allocation) and records the connection with receiver.
    template <class Fn, class... A>
    void emplaceCallback(SignalClient* receiver, A&&... args)
    {
        static_assert(std::is_base_of_v<Callback, Fn>, "the callback must take the signal's arguments");
        emplaceConnection<Fn>(receiver, std::forward<A>(args)...);
    }

    /// Calls every active connection in order. Named fire, not emit, so that
    /// hosts that also include Qt (whose emit is an empty macro) can use it.
    void fire(Args... args) const
    {
        Emission emission(this);
        while (connectionItem* c = emission.current()) {
            if (c->isActive())
                static_cast<Callback*>(c->callback())->call(args...);
            emission.advance();
        }
    }
};

/// The class of a member function pointer type.
template <class M>
struct MethodOf;
/// The class C of a method of C.
template <class C, class... Args>
struct MethodOf<void (C::*)(Args...)> {
    /// The class.
    using Class = C;
};

/// Connects method of receiver, which must have a public signalClient member
/// (every entity has one). The method's parameters must match the signal's.
template <class R, class C, class... Args>
void connect(Signal<Args...>& signal, R* receiver, void (C::*method)(Args...))
{
    static_assert(std::is_base_of_v<C, R>, "the method must belong to the receiver's class");
    signal.template emplaceCallback<MemberFunction<C, Args...>>(&receiver->signalClient, receiver, method);
}

/// The same for a method known at compile time: connect<&C::method>(signal,
/// receiver). The callback stores only the receiver.
template <auto Method, class R, class... Args>
void connect(Signal<Args...>& signal, R* receiver)
{
    using C = typename MethodOf<decltype(Method)>::Class;
    static_assert(std::is_same_v<decltype(Method), void (C::*)(Args...)>,
                  "the method must take the signal's arguments");
    static_assert(std::is_base_of_v<C, R>, "the method must belong to the receiver's class");
    signal.template emplaceCallback<FixedMemberFunction<Method, C, Args...>>(&receiver->signalClient, receiver);
}

/// Connects any function object, recorded with receiver (which may be null).
template <class... Args, class F>
void connect(Signal<Args...>& signal, SignalClient* receiver, F&& f)
{
    signal.template emplaceCallback<CallableFunction<std::decay_t<F>, Args...>>(receiver, std::forward<F>(f));
}

} // namespace tnRTB
