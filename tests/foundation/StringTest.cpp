#include <tnUI/foundation/CString.h>
#include <tnUI/foundation/Containers.h>
#include <tnUI/foundation/IString.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace {

using tnString::CString;
using tnString::IString;

TEST(CString, FormatAppendAndCompare)
{
    CString s("old text");
    s.format("%d %s %.2f %c", 42, "x", 1.5, 'z');
    EXPECT_EQ(s, CString("42 x 1.50 z"));
    const std::string longText(5000, 'q');
    s.format("<%s>", longText.c_str());
    EXPECT_EQ(s.str(), "<" + longText + ">");

    s = CString(static_cast<const char*>(nullptr));
    s.append("ab").append(CString("cd")).append('e').append(static_cast<const char*>(nullptr));
    EXPECT_EQ(s, CString("abcde"));

    CString mixed("AbC-XYZ \xC3\x84\xC3\x96 @[`{");
    mixed.toLowerCase(); // ASCII only
    EXPECT_EQ(mixed, CString("abc-xyz \xC3\x84\xC3\x96 @[`{"));
}

TEST(CString, SubstrAndEraseAtAndPastTheEnd)
{
    struct Case {
        std::size_t pos, n;
        const char *substr, *erased;
    };
    const Case cases[] = {{0, CString::npos, "abcdef", ""},
                          {2, 2, "cd", "abef"},
                          {4, 100, "ef", "abcd"},
                          {5, 0, "", "abcdef"},
                          {6, 1, "", "abcdef"},
                          {100, 3, "", "abcdef"},
                          {CString::npos, CString::npos, "", "abcdef"}};
    for (const Case& c : cases) {
        const CString s("abcdef");
        EXPECT_EQ(s.substr(c.pos, c.n), CString(c.substr)) << c.pos << " " << c.n;
        CString t = s;
        t.erase(c.pos, c.n);
        EXPECT_EQ(t, CString(c.erased)) << c.pos << " " << c.n;
    }
}

TEST(IString, Utf8RoundTrip)
{
    const std::pair<const char*, const wchar_t*> cases[] = {{"", L""},
                                                            {"\xC3\xA9t\xC3\xA9", L"\u00e9t\u00e9"},
                                                            {"\xE2\x82\xAC 5", L"\u20ac 5"},
                                                            // Outside the basic plane: one character each.
                                                            {"a\xF0\x9D\x84\x9Ez", L"a\U0001D11Ez"},
                                                            {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
                                                            {"\xEF\xBF\xBD", L"\ufffd"}};
    for (const auto& [utf8, text] : cases) {
        const IString fromUtf8(utf8, tnString::UTF8);
        EXPECT_EQ(fromUtf8, IString(text)) << utf8;
        EXPECT_EQ(IString(utf8, tnString::Multibyte), fromUtf8) << utf8;
        EXPECT_EQ(fromUtf8.asUTF8(), CString(utf8)) << utf8;
        EXPECT_EQ(IString(text).asMultibyte(), CString(utf8)) << utf8;
    }
    const IString emoji("\xF0\x9F\x98\x80", tnString::UTF8);
    ASSERT_EQ(emoji.length(), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(emoji.asWChar()[0]), 0x1F600u);
}

TEST(IString, MalformedUtf8IsReplacedNotRejected)
{
    const std::pair<const char*, const wchar_t*> cases[] = {{"\xC3", L"\ufffd"},
                                                            {"a\xFFz", L"a\ufffdz"},
                                                            {"a\x80z", L"a\ufffdz"},
                                                            {"\xE2\x82x", L"\ufffdx"},
                                                            // An encoded surrogate half is not a character.
                                                            {"\xED\xA0\x80z", L"\ufffdz"},
                                                            {"ok\xF0\x9F\x98", L"ok\ufffd"}};
    for (const auto& [bytes, text] : cases) {
        const IString s(bytes, tnString::UTF8);
        EXPECT_EQ(s, IString(text)) << bytes;
        EXPECT_EQ(IString(s.asUTF8(), tnString::UTF8), s) << bytes; // valid again
    }
    // An overlong encoding of '/' must not read as '/'.
    const std::wstring overlong = IString("<\xC0\xAF>", tnString::UTF8).str();
    EXPECT_TRUE(overlong.find(L'/') == std::wstring::npos && overlong.find(L'\ufffd') != std::wstring::npos);
    EXPECT_EQ(overlong.back(), L'>');

    std::wstring noForm = L"a";
    noForm.push_back(static_cast<wchar_t>(0xD800));
    noForm.push_back(static_cast<wchar_t>(0x110000));
    noForm.push_back(L'z');
    EXPECT_EQ(IString(noForm).asUTF8(), CString("a\xEF\xBF\xBD\xEF\xBF\xBDz"));
}

TEST(IString, Latin1NullAndWide)
{
    const IString s("caf\xE9 \xFF\xA0", tnString::Latin1);
    EXPECT_EQ(s.asUTF8(), CString("caf\xC3\xA9 \xC3\xBF\xC2\xA0"));
    EXPECT_TRUE(IString(static_cast<const char*>(nullptr), tnString::UTF8).isEmpty() &&
                IString(static_cast<const wchar_t*>(nullptr)).isEmpty());
    IString w(L"ab");
    w.append(IString(L"\u00e7"));
    EXPECT_STREQ(w.asWChar(), L"ab\u00e7");
    EXPECT_TRUE(tnString::less(IString(L"a"), IString(L"b")) && tnString::notEqual(IString(L"a"), IString(L"A")));
}

} // namespace
