#pragma once

#include "../foundation/Export.h"

#include "../foundation/CString.h"
#include "../foundation/IString.h"
#include "Entity.h"

namespace tnUI {

/// A Unicode file path. It never changes once made.
class TNUI_EXPORT Filename : public Entity {
public:
    /// The file name path.
    explicit Filename(const tnString::IString& path);
    /// A copy of other's path. Null raises NullError.
    explicit Filename(const Filename* other);

    /// The path as wide characters.
    const wchar_t* asWChar() const noexcept { return m_path.asWChar(); }
    /// The path in the multibyte encoding.
    tnString::CString asMultibyte() const { return m_path.asMultibyte(); }
    /// The path in UTF-8.
    tnString::CString asUTF8() const { return m_path.asUTF8(); }
    /// The path.
    const tnString::IString& asString() const noexcept { return m_path; }

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tnString::IString m_path;
};

/// True when both paths are equal as texts: case, separators and relative
/// parts are not normalised. A null argument raises NullError.
TNUI_EXPORT bool equivalent(const Filename* a, const Filename* b);

} // namespace tnUI
