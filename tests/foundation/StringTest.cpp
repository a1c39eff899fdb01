#include <tnUI/foundation/CString.h>
#include <tnUI/foundation/Containers.h>
#include <tnUI/foundation/IString.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using tnString::CString;
using tnString::IString;

TEST(CString, Format)
{
    CString s("old text");
    s.format("%d %s %.2f %c", 42, "x", 1.5, 'z');
    EXPECT_EQ(s, CString("42 x 1.50 z"));
    s.format("%s", "");
    EXPECT_TRUE(s.isEmpty());
    const std::string longText(5000, 'q');
    s.format("<%s>", longText.c_str());
    EXPECT_EQ(s.length(), 5002u);
    EXPECT_EQ(s.str(), "<" + longText + ">");
}

struct RangeCase {
    std::size_t pos, n;
    const char* substr;
    const char* erased;
};

class CStringRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(CStringRange, SubstrAndErase)
{
    const RangeCase& c = GetParam();
    const CString s("abcdef");
    EXPECT_EQ(s.substr(c.pos, c.n), CString(c.substr));
    CString t = s;
    t.erase(c.pos, c.n);
    EXPECT_EQ(t, CString(c.erased));
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringRange,
                         ::testing::Values(RangeCase{0, CString::npos, "abcdef", ""}, RangeCase{2, 2, "cd", "abef"},
                                           RangeCase{4, 100, "ef", "abcd"}, RangeCase{5, 0, "", "abcdef"},
                                           // At and past the end: nothing taken, nothing removed.
                                           RangeCase{6, 1, "", "abcdef"}, RangeCase{100, 3, "", "abcdef"},
                                           RangeCase{CString::npos, CString::npos, "", "abcdef"}));

TEST(CString, ToLowerCaseTouchesOnlyAscii)
{
    CString s("AbC-XYZ \xC3\x84\xC3\x96 @[`{");
    s.toLowerCase();
    EXPECT_EQ(s, CString("abc-xyz \xC3\x84\xC3\x96 @[`{"));
}

TEST(CString, AppendAndCompare)
{
    CString s;
    s.append("ab").append(CString("cd")).append('e').append(static_cast<const char*>(nullptr));
    EXPECT_EQ(s, CString("abcde"));
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)), CString(""));
    EXPECT_TRUE(tnString::equal(s, CString("abcde")));
    EXPECT_TRUE(tnString::notEqual(s, CString("abcdE")));
    EXPECT_TRUE(tnString::less(CString("abc"), CString("abd")));
    EXPECT_FALSE(tnString::less(CString("abd"), CString("abc")));
    EXPECT_EQ(tnString::hashfunction(s), tnString::hashfunction(CString("abcde")));
}

TEST(Containers, NameHashTable)
{
    tn::NameHashTable<int> table;
    table.emplace("Undo", 1);
    table.emplace(CString("Redo"), 2);
    EXPECT_FALSE(table.emplace("Undo", 3).second);
    EXPECT_EQ(table.at(CString("Undo")), 1);
    EXPECT_EQ(table.count("undo"), 0u);
    tn::vector<CString> names{"a", "b"};
    EXPECT_EQ(names.size(), 2u);
}

struct Utf8Case {
    const char* utf8;
    const wchar_t* text;
};

class Utf8RoundTrip : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8RoundTrip, DecodesAndEncodes)
{
    const Utf8Case& c = GetParam();
    const IString fromUtf8(c.utf8, tnString::UTF8);
    EXPECT_EQ(fromUtf8, IString(c.text));
    EXPECT_EQ(IString(c.utf8, tnString::Multibyte), fromUtf8);
    EXPECT_EQ(fromUtf8.asUTF8(), CString(c.utf8));
    EXPECT_EQ(IString(c.text).asMultibyte(), CString(c.utf8));
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8RoundTrip,
                         ::testing::Values(Utf8Case{"", L""}, Utf8Case{"abc", L"abc"},
                                           Utf8Case{"\xC3\xA9t\xC3\xA9", L"\u00e9t\u00e9"},
                                           Utf8Case{"\xE2\x82\xAC 5", L"\u20ac 5"},
                                           // Outside the basic plane: one character each.
                                           Utf8Case{"\xF0\x9F\x98\x80", L"\U0001F600"},
                                           Utf8Case{"a\xF0\x9D\x84\x9E"
                                                    "b",
                                                    L"a\U0001D11Eb"},
                                           Utf8Case{"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
                                           Utf8Case{"\xEF\xBF\xBD", L"\ufffd"}));

TEST(IString, NonBmpCharacterIsOneCharacter)
{
    const IString s("\xF0\x9F\x98\x80", tnString::UTF8);
    ASSERT_EQ(s.length(), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(s.asWChar()[0]), 0x1F600u);
}

struct MalformedCase {
    const char* bytes;
    const wchar_t* text;
};

class MalformedUtf8 : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedUtf8, ReplacedNotRejected)
{
    const MalformedCase& c = GetParam();
    const IString s(c.bytes, tnString::UTF8);
    EXPECT_EQ(s, IString(c.text));
    // What comes out again is valid and reads back the same.
    EXPECT_EQ(IString(s.asUTF8(), tnString::UTF8), s);
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedUtf8,
                         ::testing::Values(MalformedCase{"\xC3", L"\ufffd"},
                                           MalformedCase{"a\xFF"
                                                         "b",
                                                         L"a\ufffdb"},
                                           MalformedCase{"a\x80"
                                                         "b",
                                                         L"a\ufffdb"},
                                           MalformedCase{"\xE2\x82"
                                                         "x",
                                                         L"\ufffdx"},
                                           // An encoded surrogate half is not a character.
                                           MalformedCase{"\xED\xA0\x80"
                                                         "z",
                                                         L"\ufffdz"},
                                           MalformedCase{"ok\xF0\x9F\x98", L"ok\ufffd"}));

TEST(IString, OverlongEncodingIsReplaced)
{
    const IString s("<\xC0\xAF>", tnString::UTF8);
    const std::wstring& text = s.str();
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.front(), L'<');
    EXPECT_EQ(text.back(), L'>');
    EXPECT_EQ(text.find(L'/'), std::wstring::npos);
    EXPECT_NE(text.find(L'\ufffd'), std::wstring::npos);
}

TEST(IString, CodePointsWithoutUtf8FormBecomeReplacement)
{
    std::wstring text = L"a";
    text.push_back(static_cast<wchar_t>(0xD800));
    text.push_back(static_cast<wchar_t>(0x110000));
    text.push_back(L'b');
    EXPECT_EQ(IString(text).asUTF8(), CString("a\xEF\xBF\xBD\xEF\xBF\xBD"
                                              "b"));
}

TEST(IString, Latin1)
{
    const IString s("caf\xE9 \xFF\xA0", tnString::Latin1);
    EXPECT_EQ(s, IString(L"caf\u00e9 \u00ff\u00a0"));
    EXPECT_EQ(s.asUTF8(), CString("caf\xC3\xA9 \xC3\xBF\xC2\xA0"));
}

TEST(IString, NullAndWide)
{
    EXPECT_TRUE(IString(static_cast<const char*>(nullptr), tnString::UTF8).isEmpty());
    EXPECT_TRUE(IString(static_cast<const wchar_t*>(nullptr)).isEmpty());
    IString s(L"ab");
    s.append(IString(L"\u00e7"));
    EXPECT_STREQ(s.asWChar(), L"ab\u00e7");
    EXPECT_TRUE(tnString::less(IString(L"a"), IString(L"b")));
    EXPECT_TRUE(tnString::notEqual(IString(L"a"), IString(L"A")));
}

} // namespace
