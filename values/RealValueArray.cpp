#include "RealValueArray.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "AngleValue.h"
#include "LinearValue.h"

namespace tnUI {

RealValueArray::RealValueArray(int n)
{
    if (n < 0)
        throw ImplError();
    m_components.resize(static_cast<std::size_t>(n));
}

RealValueArray::~RealValueArray()
{
    // Deaf and empty before the components go: their destruction may reach
    // code that reads the array.
    signalClient.disconnectAll();
    tn::vector<tn::Reference<RealValue>> released;
    released.swap(m_components);
}

RealValue* RealValueArray::getValue(int i)
{
    if (i < 0 || i >= size())
        throw IndexError();
    return m_components[static_cast<std::size_t>(i)].get();
}

const RealValue* RealValueArray::getValue(int i) const
{
    if (i < 0 || i >= size())
        throw IndexError();
    return m_components[static_cast<std::size_t>(i)].get();
}

void RealValueArray::nameComponents()
{
    const Name* name = getName();
    if (!name)
        throw NullError();
    for (int i = 0; i < size(); ++i) {
        tnString::CString text;
        text.format("%s.%d", name->asChar(), i);
        getValue(i)->setName(text);
    }
}

bool RealValueArray::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const RealValueArray*>(other);
    if (!source)
        return false;
    // setRange may announce a clamp to listeners that drop this array or the
    // source.
    const tn::Reference<RealValueArray> self = tn::keepAlive(this);
    const tn::Reference<const RealValueArray> keptSource = tn::keepAlive(source);
    for (int i = 0; i < size(); ++i) {
        const RealValue* from = source->getValue(i);
        const tn::Reference<RealValue> to(getValue(i));
        to->setInternalValueSilent(from->evalInternal());
        // An unbounded range is passed on as the inverted interval it is.
        to->setRange(from->getRange().getMin(), from->getRange().getMax());
    }
    return Value::assign(other);
}

void RealValueArray::reset()
{
    const tn::Reference<RealValueArray> self = tn::keepAlive(this);
    for (int i = 0; i < size(); ++i) {
        const tn::Reference<RealValue> component(getValue(i));
        component->reset();
    }
}

bool RealValueArray::dump(DumpFile& file, int level, const char* label) const
{
    if (!Value::dump(file, level, label))
        return false;
    for (const tn::Reference<RealValue>& component : m_components) {
        if (component)
            component->dump(file, level + 1, nullptr);
    }
    return true;
}

void RealValueArray::copyInto(Value* other) const
{
    if (!other)
        throw NullError();
    auto* target = dynamic_cast<RealValueArray*>(other);
    if (!target)
        throw ImplError();
    tn::vector<tn::Reference<RealValue>> copies;
    copies.reserve(m_components.size());
    for (const tn::Reference<RealValue>& component : m_components) {
        const tn::Reference<Value> copy = component->clone();
        copies.emplace_back(dynamic_cast<RealValue*>(copy.get()));
    }
    target->replaceComponents(std::move(copies));
}

RealValue* RealValueArray::newRealValue(type t)
{
    switch (t) {
    case Real: return new RealValue;
    case Linear: return new LinearValue;
    case Angle: return new AngleValue;
    case SameAsPrevious: break;
    }
    throw ImplError();
}

void RealValueArray::makeComponents(std::initializer_list<type> kinds)
{
    int i = 0;
    type previous = SameAsPrevious;
    for (const type t : kinds) {
        previous = findType(previous, t);
        replaceComponent(i++, newRealValue(previous));
    }
}

void RealValueArray::replaceComponent(int i, RealValue* c)
{
    tn::Reference<RealValue>& slot = m_components.at(static_cast<std::size_t>(i));
    // Out of the array before it is let go.
    const tn::Reference<RealValue> old = std::move(slot);
    removeSignal(old.get());
    slot = c;
    connectSignal(c);
}

void RealValueArray::replaceComponents(tn::vector<tn::Reference<RealValue>> components)
{
    components.swap(m_components);
    for (const tn::Reference<RealValue>& old : components)
        removeSignal(old.get());
    for (const tn::Reference<RealValue>& c : m_components)
        connectSignal(c.get());
    // The old components die here, with the array already whole.
}

void RealValueArray::setAllSilentlyThenAnnounce(const double* numbers, bool display)
{
    bool changed = false;
    for (std::size_t i = 0; i < m_components.size(); ++i) {
        RealValue& component = *m_components[i];
        changed |= display ? component.setDisplayValueSilent(numbers[i]) : component.setInternalValueSilent(numbers[i]);
    }
    if (!changed)
        return;
    Message m(this, Message::Value);
    sendMessage(m);
}

void RealValueArray::evalAll(double* out, bool display) const
{
    for (std::size_t i = 0; i < m_components.size(); ++i)
        out[i] = display ? m_components[i]->evalDisplay() : m_components[i]->evalInternal();
}

// Fixed sizes.

RealValue2::RealValue2(type t0, type t1) : RealValueArray(2)
{
    makeComponents({t0, t1});
}

tnLinear::Tuple2 RealValue2::evalInternal() const
{
    double v[2];
    evalAll(v, false);
    return {v[0], v[1]};
}

tnLinear::Tuple2 RealValue2::evalDisplay() const
{
    double v[2];
    evalAll(v, true);
    return {v[0], v[1]};
}

void RealValue2::setInternalValue(double x, double y)
{
    const double v[] = {x, y};
    setAllSilentlyThenAnnounce(v, false);
}

void RealValue2::setDisplayValue(double x, double y)
{
    const double v[] = {x, y};
    setAllSilentlyThenAnnounce(v, true);
}

RealValue3::RealValue3(type t0, type t1, type t2) : RealValueArray(3)
{
    makeComponents({t0, t1, t2});
}

tnLinear::Tuple3 RealValue3::evalInternal() const
{
    double v[3];
    evalAll(v, false);
    return {v[0], v[1], v[2]};
}

tnLinear::Tuple3 RealValue3::evalDisplay() const
{
    double v[3];
    evalAll(v, true);
    return {v[0], v[1], v[2]};
}

void RealValue3::setInternalValue(double x, double y, double z)
{
    const double v[] = {x, y, z};
    setAllSilentlyThenAnnounce(v, false);
}

void RealValue3::setDisplayValue(double x, double y, double z)
{
    const double v[] = {x, y, z};
    setAllSilentlyThenAnnounce(v, true);
}

RealValue4::RealValue4(type t0, type t1, type t2, type t3) : RealValueArray(4)
{
    makeComponents({t0, t1, t2, t3});
}

tnLinear::Tuple4 RealValue4::evalInternal() const
{
    double v[4];
    evalAll(v, false);
    return {v[0], v[1], v[2], v[3]};
}

tnLinear::Tuple4 RealValue4::evalDisplay() const
{
    double v[4];
    evalAll(v, true);
    return {v[0], v[1], v[2], v[3]};
}

void RealValue4::setInternalValue(double x, double y, double z, double w)
{
    const double v[] = {x, y, z, w};
    setAllSilentlyThenAnnounce(v, false);
}

void RealValue4::setDisplayValue(double x, double y, double z, double w)
{
    const double v[] = {x, y, z, w};
    setAllSilentlyThenAnnounce(v, true);
}

// Any length.

namespace {

// The kind every component of a RealValueN is made of: Real, Linear or Angle.
RealValueArray::type checkedComponentType(RealValueArray::type t)
{
    if (t < RealValueArray::Real || t > RealValueArray::Angle)
        throw ImplError();
    return t;
}

} // namespace

RealValueN::RealValueN(type t, int n) : RealValueArray(n), m_componentType(checkedComponentType(t))
{
    for (int i = 0; i < n; ++i)
        replaceComponent(i, newRealValue(t));
}

RealValueN::RealValueN(const tn::vector<double>& v, type t)
    : RealValueArray(static_cast<int>(v.size())), m_componentType(checkedComponentType(t)), m_initialized(true)
{
    for (std::size_t i = 0; i < v.size(); ++i) {
        // Given its number before anyone listens to it.
        const tn::Reference<RealValue> component(newRealValue(t));
        component->setInternalValue(v[i]);
        replaceComponent(static_cast<int>(i), component);
    }
}

tn::vector<double> RealValueN::evalInternal() const
{
    tn::vector<double> v(static_cast<std::size_t>(size()));
    evalAll(v.data(), false);
    return v;
}

tn::vector<double> RealValueN::evalDisplay() const
{
    tn::vector<double> v(static_cast<std::size_t>(size()));
    evalAll(v.data(), true);
    return v;
}

void RealValueN::setInternalValue(const tn::vector<double>& v)
{
    _set(v, false);
}

void RealValueN::setDisplayValue(const tn::vector<double>& v)
{
    _set(v, true);
}

void RealValueN::_set(const tn::vector<double>& v, bool display)
{
    const tn::Reference<RealValueN> self = tn::keepAlive(this);
    if (m_initialized && static_cast<int>(v.size()) == size()) {
        // In place: each changed component announces itself, and its message
        // reaches this array's listeners as "Forward". A listener may rebuild
        // the array meanwhile: the update stops there.
        const unsigned rebuilds = m_rebuilds;
        for (std::size_t i = 0; i < v.size() && m_rebuilds == rebuilds; ++i) {
            const tn::Reference<RealValue> component(getValue(static_cast<int>(i)));
            if (display)
                component->setDisplayValue(v[i]);
            else
                component->setInternalValue(v[i]);
        }
        return;
    }
    // Rebuilt: the new components are given their numbers before this array
    // listens to them, and the whole change is one root message.
    tn::vector<tn::Reference<RealValue>> components;
    components.reserve(v.size());
    for (const double x : v) {
        components.emplace_back(newRealValue(m_componentType));
        if (display)
            components.back()->setDisplayValue(x);
        else
            components.back()->setInternalValue(x);
    }
    m_initialized = true;
    ++m_rebuilds;
    replaceComponents(std::move(components));
    Message m(this, Message::Value);
    sendMessage(m);
}

} // namespace tnUI
