#pragma once

#include "Export.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tnString {

/// An 8-bit string for names, identifiers and diagnostic text.
class TNUI_EXPORT CString {
public:
    CString() = default;
    /// The text s; null: empty.
    CString(const char* s) : m_text(s ? s : "") {}
    /// The first n characters of s; null: empty.
    CString(const char* s, std::size_t n) : m_text(s ? std::string(s, n) : std::string()) {}
    /// The text s.
    CString(std::string s) : m_text(std::move(s)) {}
    /// The text s.
    CString(std::string_view s) : m_text(s) {}

    /// The text, zero-terminated.
    const char* asChar() const noexcept { return m_text.c_str(); }
    /// The text.
    const std::string& str() const noexcept { return m_text; }
    /// The number of characters.
    std::size_t length() const noexcept { return m_text.size(); }
    /// Whether it is empty.
    bool isEmpty() const noexcept { return m_text.empty(); }

    /// Appends s.
    CString& append(const CString& s)
    {
        m_text += s.m_text;
        return *this;
    }
    /// Appends s; null: nothing.
    CString& append(const char* s)
    {
        if (s)
            m_text += s;
        return *this;
    }
    /// Appends c.
    CString& append(char c)
    {
        m_text += c;
        return *this;
    }

    /// Replaces the text by the printf-style formatting of the arguments.
    CString& format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    /// Up to n characters from pos (all remaining ones by default); a position
    /// past the end gives an empty string.
    CString substr(std::size_t pos, std::size_t n = npos) const;
    /// Removes up to n characters from pos; a position past the end removes nothing.
    CString& erase(std::size_t pos = 0, std::size_t n = npos);
    /// ASCII lower case, in place.
    CString& toLowerCase();

    /// The character at i, or the terminating zero for any i past the end.
    char operator[](std::size_t i) const noexcept { return i < m_text.size() ? m_text[i] : '\0'; }

    friend bool operator==(const CString& a, const CString& b) noexcept { return a.m_text == b.m_text; }
    friend auto operator<=>(const CString& a, const CString& b) noexcept { return a.m_text <=> b.m_text; }

    /// All remaining characters (substr, erase).
    static constexpr std::size_t npos = std::string::npos;

private:
    std::string m_text;
};

TNUI_EXPORT bool equal(const CString& a, const CString& b) noexcept;
TNUI_EXPORT bool notEqual(const CString& a, const CString& b) noexcept;
TNUI_EXPORT bool less(const CString& a, const CString& b) noexcept;
TNUI_EXPORT std::size_t hashfunction(const CString& s) noexcept;

/// Function objects for containers keyed by names.
struct TNUI_EXPORT Hash {
    /// The hash of s.
    std::size_t operator()(const CString& s) const noexcept { return hashfunction(s); }
};
/// Equality of names, for containers.
struct TNUI_EXPORT Equal {
    /// Whether a equals b.
    bool operator()(const CString& a, const CString& b) const noexcept { return equal(a, b); }
};

} // namespace tnString
