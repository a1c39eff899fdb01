#pragma once

#include "../foundation/Export.h"

#include "../foundation/ReferenceCount.h"
#include "../values/Value.h"
#include "Argument.h"

namespace tnUI {

/// An argument that shows or edits a value. Every message of the value
/// reaches the item's listeners as "Forward".
class TNUI_EXPORT ArgumentItem : public Argument {
public:
    ArgumentItem() = default;
    ~ArgumentItem() override;

    /// The value.
    Value* getValue() noexcept { return m_value.get(); }
    /// The value.
    const Value* getValue() const noexcept { return m_value.get(); }
    /// Holds v (null: none) and passes its messages on; sends nothing of its
    /// own.
    virtual void setValue(Value* v);

    /// Resets the value (an unset numeric value raises NotSetError, leaving
    /// the state alone and sending nothing), then as Argument::reset.
    void reset() override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tn::Reference<Value> m_value;
};

} // namespace tnUI
