#include "Filename.h"

#include <string>

namespace tnOS {

namespace {

template <class S>
S dirnameOf(const S& path)
{
    using Char = typename S::value_type;
    constexpr Char slash = '/';
    std::size_t end = path.size();
    // Skip trailing slashes, then the last part, then the slashes before it.
    while (end > 0 && path[end - 1] == slash)
        --end;
    if (end == 0)
        return path.empty() ? S(1, Char('.')) : S(1, slash);
    while (end > 0 && path[end - 1] != slash)
        --end;
    if (end == 0)
        return S(1, Char('.'));
    while (end > 0 && path[end - 1] == slash)
        --end;
    if (end == 0)
        return S(1, slash);
    return path.substr(0, end);
}

template <class S>
S joinOf(const S& dir, const S& name)
{
    constexpr typename S::value_type slash = '/';
    if (dir.empty() || (!name.empty() && name.front() == slash))
        return name;
    if (name.empty())
        return dir;
    S out = dir;
    if (out.back() != slash)
        out += slash;
    out += name;
    return out;
}

} // namespace

tnString::CString Filename::dirname(const tnString::CString& path)
{
    return tnString::CString(dirnameOf(path.str()));
}

tnString::IString Filename::dirname(const tnString::IString& path)
{
    return tnString::IString(dirnameOf(path.str()));
}

tnString::CString Filename::join(const tnString::CString& dir, const tnString::CString& name)
{
    return tnString::CString(joinOf(dir.str(), name.str()));
}

tnString::IString Filename::join(const tnString::IString& dir, const tnString::IString& name)
{
    return tnString::IString(joinOf(dir.str(), name.str()));
}

} // namespace tnOS
