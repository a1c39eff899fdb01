#include "IString.h"

#include <utf8.h>

#include <cstring>
#include <iterator>

namespace tnString {

static_assert(sizeof(wchar_t) == 4, "IString keeps UTF-32 text in wchar_t");

IString::IString(const char* s, Encoding encoding)
{
    if (!s)
        return;
    const std::size_t n = std::strlen(s);
    if (encoding == Latin1) {
        m_text.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            m_text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(s[i])));
        return;
    }
    std::string valid;
    const char* begin = s;
    const char* end = s + n;
    if (utf8::find_invalid(begin, end) != end) {
        utf8::replace_invalid(begin, end, std::back_inserter(valid));
        begin = valid.data();
        end = valid.data() + valid.size();
    }
    // Sized first (one code point per byte that does not continue a
    // sequence), then decoded in place: one allocation at most.
    std::size_t length = 0;
    for (const char* p = begin; p != end; ++p)
        length += (static_cast<unsigned char>(*p) & 0xC0u) != 0x80u;
    m_text.resize(length);
    utf8::unchecked::utf8to32(begin, end, m_text.data());
}

CString IString::asUTF8() const
{
    std::string out;
    out.reserve(m_text.size());
    for (wchar_t c : m_text) {
        const auto cp = static_cast<std::uint32_t>(static_cast<char32_t>(c));
        // Surrogates and values past U+10FFFF have no UTF-8 form.
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            utf8::unchecked::append(0xFFFDu, std::back_inserter(out));
        else
            utf8::unchecked::append(cp, std::back_inserter(out));
    }
    return CString(std::move(out));
}

bool equal(const IString& a, const IString& b) noexcept
{
    return a == b;
}

bool notEqual(const IString& a, const IString& b) noexcept
{
    return !(a == b);
}

bool less(const IString& a, const IString& b) noexcept
{
    return a < b;
}

} // namespace tnString
