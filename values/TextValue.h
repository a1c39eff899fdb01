#pragma once

#include "../foundation/Export.h"

#include "../entity/Label.h"
#include "../foundation/IString.h"
#include "../foundation/ReferenceCount.h"
#include "Value.h"

namespace tnUI {

/// A text, held as a mutable label that the value passes on: a change of the
/// label's text reaches this value's listeners as "Forward". A text value has
/// no set flag; it always has a text.
class TNUI_EXPORT TextValue : public Value {
public:
    /// An empty text and an empty default.
    TextValue();
    /// A copy of l's text; the default stays empty. Null raises NullError.
    explicit TextValue(const Label* l);

    /// The text object; callers edit the text through it.
    MutableLabel* getValue() noexcept { return m_text.get(); }
    /// The value.
    const MutableLabel* getValue() const noexcept { return m_text.get(); }

    /// Sends a root "Value" message, for callers that changed the text and want
    /// it announced as a value change.
    void markChanged();
    /// The default becomes l's text. No message. Null raises NullError.
    void setDefault(const Label* l);

    /// Sets the default text on the label, which announces it only if the text
    /// changes.
    void reset() override;
    /// Copies other's default and shares other's text object. No message.
    bool assign(const Value* const other) override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tn::Reference<MutableLabel> m_text;
    tnString::IString m_default;
};

} // namespace tnUI
