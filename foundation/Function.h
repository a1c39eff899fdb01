#pragma once

#include "Export.h"

#include <utility>

namespace tnRTB {

/// Root of the callback objects that signals call. A signal owns its
/// callbacks; disconnectInstance() asks each one whether it belongs to a given
/// object.
class TNUI_EXPORT FunctionBase {
public:
    FunctionBase() = default;
    FunctionBase(const FunctionBase&) = delete;
    FunctionBase& operator=(const FunctionBase&) = delete;
    virtual ~FunctionBase() = default;

    /// True when this callback calls the free function f.
    virtual bool isGlobalFunction(const void* f) const
    {
        (void)f;
        return false;
    }
    /// True when this callback calls a method of the object at p.
    virtual bool isInstance(const void* p) const
    {
        (void)p;
        return false;
    }
};

/// A callback taking Args. Signals of one argument use FunctionArg<T>; the same
/// template serves signals of no or several arguments.
template <class... Args>
class FunctionArg : public FunctionBase {
public:
    /// Calls the target with args.
    virtual void call(Args... args) = 0;
};

/// Calls method on instance. isInstance(p) answers whether p is the instance,
/// compared as an untyped address.
template <class C, class... Args>
class MemberFunction : public FunctionArg<Args...> {
public:
    /// The kind of method called.
    using Method = void (C::*)(Args...);

    /// Calls method on instance.
    MemberFunction(C* instance, Method method) : m_instance(instance), m_method(method) {}

    bool isInstance(const void* p) const override { return p == static_cast<const void*>(m_instance); }
    void call(Args... args) override { (m_instance->*m_method)(std::forward<Args>(args)...); }

    /// The object called.
    C* instance() const noexcept { return m_instance; }

private:
    C* m_instance;
    Method m_method;
};

/// Calls Method, fixed at compile time, on instance: no member pointer to
/// store, so the callback is half the size of a MemberFunction.
template <auto Method, class C, class... Args>
class FixedMemberFunction : public FunctionArg<Args...> {
public:
    /// Calls Method on instance.
    explicit FixedMemberFunction(C* instance) : m_instance(instance) {}

    bool isInstance(const void* p) const override { return p == static_cast<const void*>(m_instance); }
    void call(Args... args) override { (m_instance->*Method)(std::forward<Args>(args)...); }

private:
    C* m_instance;
};

/// The one-argument member callback: FunctionArgMember<Message&, Listener>.
template <class T, class C>
using FunctionArgMember = MemberFunction<C, T>;

/// Calls a function object (a lambda, a bound function, ...).
template <class F, class... Args>
class CallableFunction : public FunctionArg<Args...> {
public:
    /// Calls f.
    explicit CallableFunction(F f) : m_f(std::move(f)) {}
    void call(Args... args) override { m_f(std::forward<Args>(args)...); }

private:
    F m_f;
};

} // namespace tnRTB
