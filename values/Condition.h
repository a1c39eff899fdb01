#pragma once

#include "../foundation/Export.h"

#include "NumericValue.h"

namespace tnUI {

/// A truth value computed by the host. The host derives from Condition,
/// supplies compute(), and calls update() whenever the inputs of its
/// computation may have changed; the condition caches the result and
/// announces only real changes.
///
/// A condition does not report itself set: isSet() stays the plain flag, which
/// only a derived class may raise. Consumers read evalBool() only.
class TNUI_EXPORT Condition : public NumericValue {
public:
    Condition() = default;

    /// Nothing: the cached truth is the host's computation, not a stored value.
    void reset() override;
    /// The cached truth (false before the first update).
    bool evalBool() const override;
    /// 1 or 0.
    double evalDouble() const override;

    /// The current truth, as the host computes it.
    virtual bool compute() = 0;
    /// Recomputes and sends a root "Value" message when the truth changed. The
    /// first update always announces, even a false result.
    virtual void update();

private:
    bool m_computed = false;
    bool m_truth = false;
};

} // namespace tnUI
