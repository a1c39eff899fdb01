#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedEntity.h"
#include "../foundation/ReferenceCount.h"

namespace tnUI {

/// A named, observable piece of application state. A change of content is
/// announced by a root "Value" message, and only when the content really
/// changed. Values are shared by counted references.
class TNUI_EXPORT Value : public NamedEntity {
public:
    /// The editable.
    bool getEditable() const noexcept { return m_editable; }
    /// Stores the flag and sends "Value" when it differs from the stored one.
    void setEditble(bool editable);

    /// Copies other's content into this value; false, changing nothing, when
    /// other is null or not of this value's class. Sends no message.
    virtual bool assign(const Value* const other);
    /// Puts the default back, announcing it like an ordinary change.
    virtual void reset() = 0;
    /// An independent copy, or an empty reference for a value that cannot be
    /// cloned.
    virtual tn::Reference<Value> clone() const;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    Value() = default;

    /// Copies this value's fields into other, which must be of this class or
    /// derived from it (null raises NullError, another class ImplError). The
    /// name object itself is shared.
    virtual void copyInto(Value* other) const;

private:
    bool m_editable = true;
};

} // namespace tnUI
