// The dump file: line numbering, indentation, the record of written
// entities, type names, long lines and the refusals of a file without a
// stream (the header and the entities' lines are the golden dump's).

#include <tnUI/entity/DumpFile.h>
#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Error.h>

#include "entity/EntityTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace dumptest {

// Named, so that the dump's type name is a qualified name the test can spell.
class Dumped : public tnUI::Entity {};

// Types whose mangled names start alike.
template <class T>
class Holder : public tnUI::Entity {};

} // namespace dumptest

namespace {

using dumptest::Dumped;
using dumptest::Holder;
using tnUI::DumpFile;
using tnUITest::DumpCapture;
using tnUITest::ptr;
using Lines = std::vector<std::string>;

class DumpFileTest : public tnUITest::EntityTest {};

TEST_F(DumpFileTest, NumbersLinesFromOneAndIndents)
{
    DumpCapture dump;
    EXPECT_TRUE(dump.file.ok() && dump.file.getLineNumber() == 1);
    // Only a newline in the format advances the number.
    const std::tuple<const char*, const char*, int> writes[] = {{"no newline %s", "", 0},
                                                                {"%s", "newline only in the argument\n", 0},
                                                                {"one\n", "", 1},
                                                                {"two\nnewlines\n%s", "", 1},
                                                                {"\n", "", 1}};
    for (const auto& [format, argument, advance] : writes) {
        const int before = dump.file.getLineNumber();
        dump.file.printf(1, format, argument);
        EXPECT_EQ(dump.file.getLineNumber(), before + advance) << format;
    }
    for (int i = 4; i <= 11; ++i)
        dump.file.printf(0, "line %d\n", i);
    dump.file.printf(2, "x = %d\n", 5);
    const Lines lines = dump.lines();
    EXPECT_EQ(lines.front().rfind("00001: | no newline ", 0), 0u) << lines.front();
    EXPECT_EQ(lines.back(), "00012: |   x = 5");

    const char* const expected[] = {"", "| ", "|   ", "|   | ", "|   |   ", "|   |   | "};
    for (int level = 0; level < 6; ++level)
        EXPECT_STREQ(DumpFile::indentation(level), expected[level]) << level;
    // Going back down after a deep level cuts the cached text back.
    EXPECT_EQ(std::string(DumpFile::indentation(40)).size(), 80u);
    EXPECT_STREQ(DumpFile::indentation(2), "|   ");
    EXPECT_STREQ(DumpFile::indentation(-3), "");
    EXPECT_EQ(std::string(DumpFile::dumpBool(true)) + DumpFile::dumpBool(false), "truefalse");
}

TEST_F(DumpFileTest, WrittenEntitiesAreRecordedWithTheirLine)
{
    // The entity lines themselves are checked by the golden dump.
    const tn::Reference<Dumped> a(new Dumped);
    DumpCapture dump;
    dump.file.printf(0, "one\n");
    EXPECT_EQ(dump.file.writtenEntity(a), -1); // records line 2
    dump.file.printf(0, "two\n");
    EXPECT_EQ(dump.file.writtenEntity(a), 2);
    EXPECT_FALSE(a->dump(dump.file, 0, nullptr));
    EXPECT_EQ(dump.lines().back(),
              "00003: entity dumptest::Dumped (refs = 1, ptr = " + ptr(a.get()) + ") written on line 2");

    // Many entities, each recorded on a line of its own, in files made one
    // after the other: a new file knows none of them, whatever the files
    // before it recorded.
    std::vector<tn::Reference<Dumped>> many;
    many.reserve(3000);
    for (int i = 0; i < 3000; ++i)
        many.emplace_back(new Dumped);
    for (int round = 0; round < 3; ++round) {
        DumpCapture file;
        for (const auto& e : many) {
            EXPECT_EQ(file.file.writtenEntity(e), -1);
            file.file.printf(0, "\n");
        }
        int line = 1;
        for (const auto& e : many)
            EXPECT_EQ(file.file.writtenEntity(e), line++);
        EXPECT_EQ(file.file.writtenEntity(nullptr), -1);
        EXPECT_EQ(file.file.writtenEntity(nullptr), line);
    }
}

TEST_F(DumpFileTest, TypeNamesLongLinesAndLongFiles)
{
    // Types met in turn keep their own names, however often each is asked.
    const tn::Reference<Dumped> plain(new Dumped);
    const tn::Reference<Holder<int>> ints(new Holder<int>);
    const tn::Reference<Holder<int*>> pointers(new Holder<int*>);
    const std::pair<const tnUI::Entity*, const char*> types[] = {
        {plain, "dumptest::Dumped"},     {ints, "dumptest::Holder<int>"}, {pointers, "dumptest::Holder<int*>"},
        {ints, "dumptest::Holder<int>"}, {plain, "dumptest::Dumped"},     {pointers, "dumptest::Holder<int*>"}};
    for (const auto& [entity, name] : types)
        EXPECT_STREQ(entity->getTypeName().asChar(), name);

    // A line many times longer than usual, deeply indented, is written whole,
    // and the next one as usual.
    DumpCapture dump;
    const std::string label(5000, 'x');
    EXPECT_TRUE(pointers->dump(dump.file, 40, label.c_str()));
    dump.file.printf(1, "after %d\n", 7);
    // Past 99,999 lines the number takes the digits it needs.
    while (dump.file.getLineNumber() < 100000)
        dump.file.printf(0, "\n");
    dump.file.printf(2, "last\n");
    const Lines lines = dump.lines();
    ASSERT_EQ(lines.size(), 100000u);
    EXPECT_EQ(lines[0], "00001: " + std::string(DumpFile::indentation(40)) + "entity dumptest::Holder<int*> \"" +
                            label + "\" (refs = 1, ptr = " + ptr(pointers.get()) + ")");
    EXPECT_EQ(lines[1], "00002: | after 7");
    EXPECT_EQ(lines[99998], "99999: ");
    EXPECT_EQ(lines.back(), "100000: |   last");
}

// The C library's printf is the reference: every combination of flags, width
// and precision of every conversion, with edge values, gives its text.
TEST_F(DumpFileTest, TextIsWhatTheCLibraryFormats)
{
    DumpCapture dump;
    Lines expected;
    const auto check = [&]<class T>(const std::string& conversion, std::initializer_list<T> values) {
        for (const char* flags : {"", "-", "0", "-0", "+", " ", "#"})
            for (const char* width : {"", "1", "7", "25"})
                for (const char* precision : {"", ".0", ".4"}) {
                    const bool text = conversion.back() == 's' || conversion.back() == 'c';
                    // Left undefined by the language for characters and strings.
                    if (text && (std::strpbrk(flags, "0+ #") || (conversion == "c" && *precision)))
                        continue;
                    const std::string format = std::string("%") + flags + width + precision + conversion;
                    for (const T& value : values) {
                        char number[16];
                        char reference[512];
                        std::snprintf(number, sizeof number, "%05d: ", dump.file.getLineNumber());
                        std::snprintf(reference, sizeof reference, format.c_str(), value);
                        expected.push_back(number + std::string(reference) + "|");
                        dump.file.printf(0, (format + "|\n").c_str(), value);
                    }
                }
    };
    check("d", {0, 5, -5, 123456, INT_MIN, INT_MAX});
    check("i", {-42});
    check("hhd", {-3, 130});
    check("hd", {-3, 70000});
    check("ld", {LONG_MIN, -1L, 1L << 40});
    check("lld", {LLONG_MIN, 7LL});
    check("jd", {INTMAX_MAX});
    check("td", {std::ptrdiff_t{-9}});
    for (const char* conversion : {"u", "x", "X", "o"})
        check(conversion, {0u, 10u, 255u, UINT_MAX});
    for (const char* conversion : {"hhu", "hhx", "hu", "hx"})
        check(conversion, {300u, 70000u});
    for (const char* conversion : {"lu", "lx", "llX", "zu", "zx", "jx"})
        check(conversion, {ULONG_MAX, 0xdeadbeefUL});
    check("c", {'a', ' '});
    check("s", {"", "abc", "a longer text than any width"});
    for (const char* conversion : {"f", "F", "e", "E", "g", "G", "a", "A", "lf"})
        check(conversion, {0.0, -1.5, 2.0 / 3, 2.5, 0.125, -0.0, 1e-300, 1e300, -HUGE_VAL, std::nan("")});
    const int anchor = 1;
    check("p", {static_cast<const void*>(&anchor)});
    dump.file.printf(0, "%d%% and %s%c %08lx %Lf|\n", 50, "more", '!', 0x1234UL, 1.5L);
    char last[64];
    std::snprintf(last, sizeof last, "%05d: %d%% and %s%c %08lx %Lf|", dump.file.getLineNumber() - 1, 50, "more", '!',
                  0x1234UL, 1.5L);
    expected.emplace_back(last);
    EXPECT_EQ(dump.lines(), expected);
}

TEST_F(DumpFileTest, WritingWithoutAStreamIsRefused)
{
    tn::Reference<Dumped> a(new Dumped);
    DumpFile file;
    EXPECT_FALSE(file.open(tnString::IString("/nonexistent-directory-of-tnui/sub/dump.txt")) || file.ok());
    EXPECT_THROW(file.printf(0, "x\n"), tnUI::ImplError);
    EXPECT_THROW(file.header(), tnUI::ImplError);
    EXPECT_THROW(a->dump(file, 0, nullptr), tnUI::ImplError);
    EXPECT_THROW(file.writtenEntity(a), tnUI::ImplError);
    EXPECT_EQ(file.getLineNumber(), 1);
    file.close();

    // Nothing refused counts as written: the first real dump writes it whole.
    tnUITest::DumpCapture dump;
    dump.file.close();
    EXPECT_THROW(a->dump(dump.file, 0, nullptr), tnUI::ImplError);
    EXPECT_TRUE(dump.reopen());
    EXPECT_TRUE(a->dump(dump.file, 0, nullptr));
    EXPECT_EQ(dump.lines(), Lines{"00001: entity dumptest::Dumped (refs = 1, ptr = " + ptr(a.get()) + ")"});
}

} // namespace
