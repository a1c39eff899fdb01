#pragma once

#include "../foundation/Export.h"

#include "../entity/Label.h"
#include "../foundation/ReferenceCount.h"
#include "ArgumentItem.h"

namespace tnUI {

/// A field, slider or switch editing one value, with how to show it: format,
/// precision, step sizes and a unit label. None of these settings sends a
/// message; the unit label's changes are passed on as "Forward".
class TNUI_EXPORT ValueArgument : public ArgumentItem {
public:
    /// How the value is shown and edited.
    enum Format : int {
        Natural = 1,
        Bool = 2,
        Int = 3,
        Real = 4,
        String = 5,
    };

    ValueArgument() = default;
    /// Null v raises NullError.
    explicit ValueArgument(Value* v);
    ~ValueArgument() override;

    /// Null v raises NullError.
    void setValue(Value* v) override;

    /// Each sets the format and the precision (0 but for Real).
    void setFormatBool() noexcept { setFormat(Bool, 0); }
    /// See setFormatBool().
    void setFormatInt() noexcept { setFormat(Int, 0); }
    /// See setFormatBool().
    void setFormatString() noexcept { setFormat(String, 0); }
    /// Real, with decimals digits after the point.
    void setFormatReal(int decimals) noexcept { setFormat(Real, decimals); }
    /// The display format.
    Format getDisplayFormat() const noexcept { return m_format; }
    /// The display precision.
    int getDisplayPrecision() const noexcept { return m_precision; }

    /// Sets the step.
    void setStep(double step) noexcept { m_step = step; }
    /// The step.
    double getStep() const noexcept { return m_step; }
    /// Sets the large step.
    void setLargeStep(double step) noexcept { m_largeStep = step; }
    /// The large step.
    double getLargeStep() const noexcept { return m_largeStep; }

    /// Holds l (null: none) and passes its changes on; the label already held:
    /// nothing.
    void setUnitLabel(const Label* l);
    /// The unit label.
    virtual const Label* getUnitLabel() const;

    /// The item's lines: format, steps and unit label are not written.
    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    void setFormat(Format f, int precision) noexcept
    {
        m_format = f;
        m_precision = precision;
    }

    tn::Reference<const Label> m_unitLabel;
    double m_step = 0.0;
    double m_largeStep = 0.0;
    Format m_format = Natural;
    int m_precision = 0;
};

/// "Natural", "Bool", "Int", "Real", "String"; other values raise ImplError.
TNUI_EXPORT const char* enumName(ValueArgument::Format f);

} // namespace tnUI
