#pragma once

#include "Export.h"

#include "CString.h"

#include <string>

namespace tnString {

/// How 8-bit text given to an IString is to be read. Multibyte is the
/// platform's multibyte encoding, which is UTF-8 on every platform this library
/// supports; it is kept apart so that callers say which they mean.
enum Encoding {
    Multibyte = 0,
    UTF8 = 1,
    Latin1 = 2,
};

/// A Unicode string for labels, file names and font names, held as UTF-32
/// (wchar_t). Malformed 8-bit input is decoded with U+FFFD in place of the
/// broken sequences instead of failing.
class TNUI_EXPORT IString {
public:
    IString() = default;
    /// s decoded from encoding; null: empty.
    IString(const char* s, Encoding encoding = Multibyte);
    /// s decoded from encoding.
    IString(const CString& s, Encoding encoding = Multibyte) : IString(s.asChar(), encoding) {}
    /// The text s; null: empty.
    IString(const wchar_t* s) : m_text(s ? s : L"") {}
    /// The text s.
    IString(std::wstring s) : m_text(std::move(s)) {}

    /// The text, zero-terminated.
    const wchar_t* asWChar() const noexcept { return m_text.c_str(); }
    /// The text in UTF-8.
    CString asUTF8() const;
    /// The text in the multibyte encoding (UTF-8).
    CString asMultibyte() const { return asUTF8(); }
    /// The text.
    const std::wstring& str() const noexcept { return m_text; }

    /// The number of characters.
    std::size_t length() const noexcept { return m_text.size(); }
    /// Whether it is empty.
    bool isEmpty() const noexcept { return m_text.empty(); }

    /// Appends s.
    IString& append(const IString& s)
    {
        m_text += s.m_text;
        return *this;
    }

    friend bool operator==(const IString& a, const IString& b) noexcept { return a.m_text == b.m_text; }
    friend auto operator<=>(const IString& a, const IString& b) noexcept { return a.m_text <=> b.m_text; }

private:
    std::wstring m_text;
};

TNUI_EXPORT bool equal(const IString& a, const IString& b) noexcept;
TNUI_EXPORT bool notEqual(const IString& a, const IString& b) noexcept;
TNUI_EXPORT bool less(const IString& a, const IString& b) noexcept;

} // namespace tnString
