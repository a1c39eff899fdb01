#pragma once

#include "Export.h"

#include "CString.h"
#include "IString.h"

namespace tnOS {

/// Path manipulation on POSIX paths ('/' separates the parts), as text only:
/// the file system is never consulted. The 8-bit and Unicode forms behave alike.
class TNUI_EXPORT Filename {
public:
    /// The directory part of a path, as POSIX dirname does it: trailing
    /// slashes are ignored, then the last part and the slashes before it are
    /// removed. A path without a slash gives "." ("a" and "" alike), the root
    /// stays "/" ("/", "/a" and "//" give "/"), and "a/b/" gives "a".
    static tnString::CString dirname(const tnString::CString& path);
    /// The same for Unicode paths.
    static tnString::IString dirname(const tnString::IString& path);

    /// The path of name inside directory dir: dir and name with one slash
    /// between them ("a" and "b", or "a/" and "b", give "a/b"). An absolute
    /// name (starting with a slash) is returned unchanged; an empty dir gives
    /// name, an empty name gives dir.
    static tnString::CString join(const tnString::CString& dir, const tnString::CString& name);
    /// The same for Unicode paths.
    static tnString::IString join(const tnString::IString& dir, const tnString::IString& name);
};

} // namespace tnOS
