#pragma once

#include "../foundation/Export.h"

#include "../foundation/Signal.h"
#include "Entity.h"

#include <type_traits>

namespace tnUI {

/// The signal on which an entity announces its death. WatchedPointer finds the
/// death notice of other watchable classes through overloads of this function
/// declared beside them.
inline tnRTB::Signal<Entity*>& destructionSignal(const Entity& e) noexcept
{
    return e.destroyedSignal;
}

/// The untyped part of WatchedPointer. It is the receiver of its one
/// connection, so that cutting it leaves every other connection of its owner
/// alone, two pointers on the same target included.
class TNUI_EXPORT WatchedPointerBase : private tnRTB::SignalClient {
public:
    WatchedPointerBase(const WatchedPointerBase&) = delete;
    WatchedPointerBase& operator=(const WatchedPointerBase&) = delete;

    /// Calls (owner->*Method)() each time the target dies, after the pointer
    /// has become null. Set once, by the owner; copies and moves carry only
    /// the target, never the callback. The callback may destroy this pointer
    /// and its owner.
    template <auto Method, class Owner>
    void setCallback(Owner* owner) noexcept
    {
        m_callback = [](void* o) { (static_cast<Owner*>(o)->*Method)(); };
        m_owner = owner;
    }

protected:
    WatchedPointerBase() noexcept = default;
    ~WatchedPointerBase() = default;

    /// The target, or null.
    // The static analyzer cannot see the death notice that nulls the pointer
    // before its target is freed, and takes a read after that for a use of
    // the freed target.
    void* _target() const noexcept { return m_target; } // NOLINT(clang-analyzer-cplusplus.NewDelete)
    /// Watches target through signal, its death notice; nothing is watched
    /// before.
    template <class A>
    void _watch(void* target, tnRTB::Signal<A>& signal)
    {
        tnRTB::connect(signal, static_cast<tnRTB::SignalClient*>(this), [this](A) { _lost(); });
        m_target = target;
    }
    /// Cuts the connection and forgets the target.
    void _release() noexcept;

private:
    /// The target is dying: forget it, then tell the owner.
    void _lost();

    void* m_target = nullptr;
    void (*m_callback)(void*) = nullptr;
    void* m_owner = nullptr;
};

/// A pointer that does not count its target but becomes null when the target
/// dies, like QPointer for entities (and for any class with a
/// destructionSignal overload). Assigning another target watches that one
/// instead; assigning the current one changes nothing. Copies watch on their
/// own; a moved-from pointer is null. The connection is the only allocation.
template <class T>
class WatchedPointer : public WatchedPointerBase {
    static_assert(!std::is_const_v<T>, "watch a non-const type");

public:
    WatchedPointer() noexcept = default;
    /// Watches target (null: none).
    explicit WatchedPointer(T* target) { _attach(target); }
    /// Copies other.
    WatchedPointer(const WatchedPointer& other) : WatchedPointerBase() { _attach(other.get()); }
    /// Not noexcept: the new pointer makes a connection of its own.
    // NOLINTNEXTLINE(performance-noexcept-move-constructor)
    WatchedPointer(WatchedPointer&& other) : WatchedPointerBase()
    {
        _attach(other.get());
        other._release();
    }
    ~WatchedPointer() = default;

    /// Assigns a copy of the given one.
    WatchedPointer& operator=(T* target)
    {
        if (target != get()) {
            _release();
            _attach(target);
        }
        return *this;
    }
    /// Assigns a copy of the given one.
    WatchedPointer& operator=(const WatchedPointer& other)
    {
        if (this != &other)
            *this = other.get();
        return *this;
    }
    /// Watches other's object; not noexcept, as the move constructor.
    // NOLINTNEXTLINE(performance-noexcept-move-constructor)
    WatchedPointer& operator=(WatchedPointer&& other)
    {
        if (this != &other) {
            *this = other.get();
            other._release();
        }
        return *this;
    }

    /// The object, or null once it has died.
    T* get() const noexcept { return static_cast<T*>(_target()); }
    /// The object referred to.
    T* operator->() const noexcept { return get(); }
    /// The product.
    T& operator*() const noexcept { return *get(); }
    /// See get().
    operator T*() const noexcept { return get(); } // NOLINT(google-explicit-constructor): a pointer stand-in

private:
    void _attach(T* target)
    {
        if (target)
            _watch(target, destructionSignal(*target));
    }
};

} // namespace tnUI
