#pragma once

#include "../foundation/Export.h"

#include "../foundation/Containers.h"
#include "../foundation/Linear.h"
#include "../foundation/ReferenceCount.h"
#include "RealValue.h"
#include "Value.h"

namespace tnUI {

/// A value made of real-valued components, each a full RealValue or unit value
/// with its own range, default, name and display unit. Every message of a
/// component reaches the array's listeners as "Forward". An array cannot be
/// cloned.
class TNUI_EXPORT RealValueArray : public Value {
public:
    /// The kind of a component.
    enum type : int {
        Real = 0,
        Linear = 1,         // LinearValue
        Angle = 2,          // AngleValue
        SameAsPrevious = 3, // the kind of the component before
    };

    ~RealValueArray() override;

    /// The number of components.
    int size() const noexcept { return static_cast<int>(m_components.size()); }
    /// Component i; outside 0 .. size() - 1: IndexError.
    RealValue* getValue(int i);
    /// The same, read-only.
    const RealValue* getValue(int i) const;

    /// Names component i "<array name>.<i>". An array without a name raises
    /// NullError; a component already named raises ImplError.
    void nameComponents();

    /// Each component takes other's internal number silently, clamped by its
    /// own range, then other's range through setRange (which announces a
    /// second clamp). Other needs at least as many components (IndexError),
    /// all set (NotSetError); components before a failing one stay assigned.
    bool assign(const Value* const other) override;
    /// Resets every component in order; an unset one raises NotSetError.
    void reset() override;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// n empty component slots.
    explicit RealValueArray(int n);

    /// The target array takes clones of this array's components, resized to
    /// this array's size, and listens to them. Only the components are copied.
    void copyInto(Value* other) const override;

    /// A new, unset and unbounded component of kind t (Real, Linear or Angle);
    /// any other kind raises ImplError.
    static RealValue* newRealValue(type t);
    /// t, or previous when t is SameAsPrevious.
    static type findType(type previous, type t) noexcept { return t == SameAsPrevious ? previous : t; }

    /// Fills the slots with components of the kinds given, each kind after
    /// the first resolved against the one before (a first SameAsPrevious
    /// raises ImplError).
    void makeComponents(std::initializer_list<type> kinds);
    /// Puts c into slot i, releasing and no longer listening to what was there,
    /// and listens to c.
    void replaceComponent(int i, RealValue* c);
    /// Takes the components given instead of all of them, listening to the
    /// new ones; the old ones are let go once the array holds the new set.
    void replaceComponents(tn::vector<tn::Reference<RealValue>> components);

    /// Stores one number per component silently (in display units when
    /// display is true), then sends one root "Value" message if any of them
    /// changed.
    void setAllSilentlyThenAnnounce(const double* numbers, bool display);
    /// The numbers of the components, in order; an unset one raises
    /// NotSetError.
    void evalAll(double* out, bool display) const;

private:
    tn::vector<tn::Reference<RealValue>> m_components;
};

/// Two components, read and written as tnLinear::Tuple2.
class TNUI_EXPORT RealValue2 : public RealValueArray {
public:
    /// Two components of kinds t0 and t1 (SameAsPrevious repeats the kind before).
    explicit RealValue2(type t0 = Real, type t1 = SameAsPrevious);

    /// The components in internal units.
    tnLinear::Tuple2 evalInternal() const;
    /// The components in display units.
    tnLinear::Tuple2 evalDisplay() const;
    /// Every component stores its number (clamped to its own range); one root
    /// "Value" message when any changed, nothing otherwise.
    void setInternalValue(double x, double y);
    /// The same in display units.
    void setDisplayValue(double x, double y);
    /// Sets the internal value.
    void setInternalValue(const tnLinear::Tuple2& t) { setInternalValue(t.x, t.y); }
    /// Sets the display value.
    void setDisplayValue(const tnLinear::Tuple2& t) { setDisplayValue(t.x, t.y); }
};

/// Three components, read and written as tnLinear::Tuple3.
class TNUI_EXPORT RealValue3 : public RealValueArray {
public:
    /// Three components of kinds t0 to t2.
    explicit RealValue3(type t0 = Real, type t1 = SameAsPrevious, type t2 = SameAsPrevious);

    /// The components in internal units.
    tnLinear::Tuple3 evalInternal() const;
    /// The components in display units.
    tnLinear::Tuple3 evalDisplay() const;
    /// See RealValue2::setInternalValue().
    void setInternalValue(double x, double y, double z);
    /// See RealValue2::setInternalValue().
    void setDisplayValue(double x, double y, double z);
    /// Sets the internal value.
    void setInternalValue(const tnLinear::Tuple3& t) { setInternalValue(t.x, t.y, t.z); }
    /// Sets the display value.
    void setDisplayValue(const tnLinear::Tuple3& t) { setDisplayValue(t.x, t.y, t.z); }
};

/// Four components, read and written as tnLinear::Tuple4.
class TNUI_EXPORT RealValue4 : public RealValueArray {
public:
    /// Four components of kinds t0 to t3.
    explicit RealValue4(type t0 = Real, type t1 = SameAsPrevious, type t2 = SameAsPrevious, type t3 = SameAsPrevious);

    /// The components in internal units.
    tnLinear::Tuple4 evalInternal() const;
    /// The components in display units.
    tnLinear::Tuple4 evalDisplay() const;
    /// See RealValue2::setInternalValue().
    void setInternalValue(double x, double y, double z, double w);
    /// See RealValue2::setInternalValue().
    void setDisplayValue(double x, double y, double z, double w);
    /// Sets the internal value.
    void setInternalValue(const tnLinear::Tuple4& t) { setInternalValue(t.x, t.y, t.z, t.w); }
    /// Sets the display value.
    void setDisplayValue(const tnLinear::Tuple4& t) { setDisplayValue(t.x, t.y, t.z, t.w); }
};

/// As many components as the vector of numbers last given to it. The first
/// vector, and any vector of another length, rebuilds the components and is
/// announced by one root "Value" message; a vector of the same length updates
/// the components in place, each changed one announcing itself (reaching the
/// array's listeners as "Forward").
class TNUI_EXPORT RealValueN : public RealValueArray {
public:
    /// n unset components of kind t; not initialized.
    explicit RealValueN(type t = Real, int n = 0);
    /// One component of kind t per number, holding it; initialized. Sends
    /// nothing.
    explicit RealValueN(const tn::vector<double>& v, type t = Real);

    /// The components in internal units.
    tn::vector<double> evalInternal() const;
    /// The components in display units.
    tn::vector<double> evalDisplay() const;
    /// Sets the internal value.
    void setInternalValue(const tn::vector<double>& v);
    /// Sets the display value.
    void setDisplayValue(const tn::vector<double>& v);

private:
    void _set(const tn::vector<double>& v, bool display);

    type m_componentType;
    bool m_initialized = false;
    /// Counts rebuilds, so that an update in place sees a listener's rebuild.
    unsigned m_rebuilds = 0;
};

} // namespace tnUI
