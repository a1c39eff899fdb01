#pragma once

#include "../foundation/Export.h"

#include "../foundation/CString.h"
#include "Entity.h"

namespace tnUI {

/// An 8-bit identifier. A Name never changes once made, which is what lets
/// registries look objects up by the name they were given.
class TNUI_EXPORT Name : public Entity {
public:
    Name() = default;
    /// The name text.
    explicit Name(const tnString::CString& text);

    /// Whether it is empty.
    bool isEmpty() const noexcept { return m_text.isEmpty(); }
    /// The text.
    const char* asChar() const noexcept { return m_text.asChar(); }
    /// The text.
    const tnString::CString& asString() const noexcept { return m_text; }

    /// Equal contents.
    bool operator==(const tnString::CString& text) const noexcept;
    /// Different contents.
    bool operator!=(const tnString::CString& text) const noexcept;
    /// Orders by contents.
    bool operator<(const tnString::CString& text) const noexcept;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// The text.
    tnString::CString m_text;
};

/// A name whose text may change; every change is announced as "Name". It can
/// not be given to NamedEntity::setName, whose names must stay fixed.
class TNUI_EXPORT MutableName : public Name {
public:
    MutableName() = default;
    /// The name text.
    explicit MutableName(const tnString::CString& text);

    /// Stores text and sends "Name" when it differs from the current text.
    void set(const tnString::CString& text);
    /// Takes other's text. Null raises NullError.
    void set(const Name* other);
    /// Clears a non-empty text and sends "Name".
    void erase();
};

/// True when both texts are equal. A null argument raises NullError.
TNUI_EXPORT bool equivalent(const Name* a, const Name* b);

} // namespace tnUI
