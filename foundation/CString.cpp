#include "CString.h"

#include <cstdarg>
#include <cstdio>
#include <functional>

namespace tnString {

CString& CString::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) {
        m_text.clear();
    } else {
        m_text.resize(static_cast<std::size_t>(n));
        std::vsnprintf(m_text.data(), m_text.size() + 1, fmt, args);
    }
    va_end(args);
    return *this;
}

CString CString::substr(std::size_t pos, std::size_t n) const
{
    if (pos >= m_text.size())
        return {};
    return CString(m_text.substr(pos, n));
}

CString& CString::erase(std::size_t pos, std::size_t n)
{
    if (pos < m_text.size())
        m_text.erase(pos, n);
    return *this;
}

CString& CString::toLowerCase()
{
    for (char& c : m_text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return *this;
}

bool equal(const CString& a, const CString& b) noexcept
{
    return a.str() == b.str();
}

bool notEqual(const CString& a, const CString& b) noexcept
{
    return a.str() != b.str();
}

bool less(const CString& a, const CString& b) noexcept
{
    return a.str() < b.str();
}

std::size_t hashfunction(const CString& s) noexcept
{
    return std::hash<std::string_view>{}(s.str());
}

} // namespace tnString
