#pragma once

#include "../foundation/Export.h"

#include "../foundation/CString.h"
#include "NumericValue.h"

namespace tnUI {

class Application;
class Document;
class DocumentInstance;

/// A flag.
class TNUI_EXPORT BoolValue : public NumericValue {
public:
    /// Unset.
    BoolValue() = default;
    /// Set to v, with v as default. Sends nothing.
    explicit BoolValue(bool v);

    /// Unset: NotSetError. Expressions read the flag through this slot, so a
    /// derived class that replaces it changes what they see.
    virtual bool getValue() const;
    /// Stores v; sends "Value" and returns true when the flag changed. The
    /// first flag stored also becomes the default.
    bool setValue(bool v);

    /// The flag; unset: NotSetError.
    bool evalBool() const override;
    /// 1 or 0.
    double evalDouble() const override;
    void reset() override;
    bool assign(const Value* const other) override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    bool m_value = false;
    bool m_default = false;
};

/// Typed setter for a value known only as Value*: null raises NullError, a
/// value that is not a BoolValue raises TypeError.
TNUI_EXPORT void setValue(Value* v, bool b);

/// Make a BoolValue named name, set to initial, and register it with the
/// owner; the owner's registry holds it. Defined with the owner classes
/// (application/).
TNUI_EXPORT BoolValue* registerBool(Application* owner, const tnString::CString& name, bool initial);
TNUI_EXPORT BoolValue* registerBool(Document* owner, const tnString::CString& name, bool initial);
TNUI_EXPORT BoolValue* registerBool(DocumentInstance* owner, const tnString::CString& name, bool initial);

} // namespace tnUI
