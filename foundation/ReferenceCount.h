#pragma once

#include "Export.h"

#include <cstdint>

namespace tn {

/// Intrusive reference count shared by every model object. A new object starts
/// at 0; whoever stores it takes a reference, and the last unref() deletes it.
class TNUI_EXPORT ReferenceCount {
public:
    ReferenceCount() = default;
    ReferenceCount(const ReferenceCount&) = delete;
    ReferenceCount& operator=(const ReferenceCount&) = delete;
    virtual ~ReferenceCount() = default;

    /// Takes one more reference.
    void ref() const noexcept { ++m_refCount; }
    /// Drops one reference; deletes the object when none is left. While it is
    /// destroyed its count stays far below zero, so that references taken and
    /// dropped by its destructor's calls never delete it a second time.
    void unref() const noexcept
    {
        if (--m_refCount == 0) {
            m_refCount = dying;
            delete this;
            return;
        }
        // Says the count is read here. g++ 12.2 at -O1 and above drops the
        // decremented count's store when a reference to a base class of the
        // object is released while an exception unwinds (dead store
        // elimination), which leaks the object; this empty statement keeps
        // the store and costs no instruction.
        asm volatile("" : : "m"(m_refCount));
    }
    /// The number of references; negative while the last unref() destroys it.
    std::int32_t getRefCount() const noexcept { return m_refCount; }

private:
    static constexpr std::int32_t dying = INT32_MIN / 2;
    mutable std::int32_t m_refCount = 0;
};

/// One counted reference on an object derived from ReferenceCount (or any type
/// with ref()/unref()). Null is a valid state.
template <class T>
class Reference {
public:
    Reference() noexcept = default;
    /// Null.
    Reference(std::nullptr_t) noexcept {}
    /// A reference on p (null: none).
    Reference(T* p) noexcept : m_ptr(p)
    {
        if (m_ptr)
            m_ptr->ref();
    }
    /// Copies other.
    Reference(const Reference& other) noexcept : Reference(other.m_ptr) {}
    /// Takes over the given one's contents.
    Reference(Reference&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }
    /// A reference on other's object, of a derived type.
    template <class U>
    Reference(const Reference<U>& other) noexcept : Reference(other.get())
    {}
    ~Reference() { reset(); }

    /// reset() takes the new reference before dropping the old one, which
    /// makes self-assignment safe.
    Reference& operator=(const Reference& other) noexcept // NOLINT(bugprone-unhandled-self-assignment)
    {
        reset(other.m_ptr);
        return *this;
    }
    /// Assigns a copy of the given one.
    Reference& operator=(Reference&& other) noexcept
    {
        if (this != &other) {
            T* old = m_ptr;
            m_ptr = other.m_ptr;
            other.m_ptr = nullptr;
            if (old)
                old->unref();
        }
        return *this;
    }
    /// Assigns a copy of the given one.
    Reference& operator=(T* p) noexcept
    {
        reset(p);
        return *this;
    }

    /// Takes the new reference before dropping the old one, so that assigning
    /// an object to the reference that holds its last count is safe.
    void reset(T* p = nullptr) noexcept
    {
        if (p)
            p->ref();
        T* old = m_ptr;
        m_ptr = p;
        if (old)
            old->unref();
    }

    /// The object, or null.
    T* get() const noexcept { return m_ptr; }
    /// The object referred to.
    T* operator->() const noexcept { return m_ptr; }
    /// The product.
    T& operator*() const noexcept { return *m_ptr; }
    /// Whether it refers to an object.
    explicit operator bool() const noexcept { return m_ptr != nullptr; }
    /// See get().
    operator T*() const noexcept { return m_ptr; }

private:
    T* m_ptr = nullptr;
};

/// A reference that keeps p alive across a call out to host code, which may
/// drop the last other reference. It is taken only when something already
/// counts p: an object nobody holds (made on the stack, or not stored yet) or
/// one being destroyed must not be deleted when this reference goes.
template <class T>
Reference<T> keepAlive(T* p) noexcept
{
    return Reference<T>(p && p->getRefCount() > 0 ? p : nullptr);
}

template <class T, class U>
bool operator==(const Reference<T>& a, const Reference<U>& b) noexcept
{
    return a.get() == b.get();
}
template <class T, class U>
bool operator==(const Reference<T>& a, const U* b) noexcept
{
    return a.get() == b;
}
template <class T>
bool operator==(const Reference<T>& a, std::nullptr_t) noexcept
{
    return a.get() == nullptr;
}

} // namespace tn
