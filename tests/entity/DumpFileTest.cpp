// The dump file: line numbering, indentation, the entity line in its four
// forms, standard output, and the refusals of a file without a stream.

#include <tnUI/entity/DumpFile.h>
#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Error.h>

#include "entity/EntityTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace dumptest {

// Named, so that the dump's type name is a qualified name the test can spell.
class Dumped : public tnUI::Entity {};

} // namespace dumptest

namespace {

using dumptest::Dumped;
using tnUI::DumpFile;
using tnUITest::DumpCapture;
using tnUITest::dumpLine;
using tnUITest::ptr;
using Lines = std::vector<std::string>;

class DumpFileTest : public tnUITest::EntityTest {};

TEST_F(DumpFileTest, FirstLineIsNumberedOne)
{
    DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    EXPECT_TRUE(dump.file.ok());
    EXPECT_EQ(dump.file.getLineNumber(), 1);
    dump.file.printf(0, "first\n");
    dump.file.printf(1, "second %s\n", "line");
    EXPECT_EQ(dump.lines(), (Lines{"00001: first", "00002: | second line"}));
}

TEST_F(DumpFileTest, HeaderTakesThreeLines)
{
    DumpCapture dump;
    dump.file.header();
    EXPECT_EQ(dump.file.getLineNumber(), 4);
    dump.file.printf(0, "after\n");
    const Lines lines = dump.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "00001: " + std::string(48, '-'));
    // ctime's form, without its newline: "Thu Dec  5 19:09:00 2024".
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("00002: tnUI dump file at: [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d "
                                                      "\\d\\d:\\d\\d:\\d\\d \\d{4}")))
        << lines[1];
    EXPECT_EQ(lines[2], "00003: ");
    EXPECT_EQ(lines[3], "00004: after");
}

TEST_F(DumpFileTest, LevelTwoOnLineTwelve)
{
    DumpCapture dump;
    for (int i = 1; i <= 11; ++i)
        dump.file.printf(0, "line %d\n", i);
    ASSERT_EQ(dump.file.getLineNumber(), 12);
    dump.file.printf(2, "x = %d\n", 5);
    EXPECT_EQ(dump.file.getLineNumber(), 13);
    EXPECT_EQ(dump.lines().back(), "00012: |   x = 5");
}

TEST_F(DumpFileTest, OnlyANewlineInTheFormatAdvancesTheNumber)
{
    struct Case {
        const char* format;
        const char* argument;
        int advance;
    };
    const Case cases[] = {
        {"no newline %s", "", 0},
        {"%s", "newline only in the argument\n", 0},
        {"one\n", "", 1},
        {"two\nnewlines\n%s", "", 1},
        {"\n", "", 1},
    };
    DumpCapture dump;
    for (const Case& c : cases) {
        const int before = dump.file.getLineNumber();
        dump.file.printf(0, c.format, c.argument);
        EXPECT_EQ(dump.file.getLineNumber(), before + c.advance) << c.format;
    }
}

TEST_F(DumpFileTest, IndentationText)
{
    const char* const expected[] = {"", "| ", "|   ", "|   | ", "|   |   ", "|   |   | "};
    for (int level = 0; level < 6; ++level)
        EXPECT_STREQ(DumpFile::indentation(level), expected[level]) << level;
    // Going back down after a deep level cuts the cached text back.
    EXPECT_EQ(std::string(DumpFile::indentation(40)).size(), 80u);
    EXPECT_STREQ(DumpFile::indentation(2), "|   ");
    EXPECT_STREQ(DumpFile::indentation(0), "");
    EXPECT_STREQ(DumpFile::indentation(-3), "");
    EXPECT_STREQ(DumpFile::indentation(3), "|   | ");
}

TEST_F(DumpFileTest, WrittenEntityRecordsTheCurrentLine)
{
    tn::Reference<Dumped> a(new Dumped), b(new Dumped);
    DumpCapture dump;
    dump.file.printf(0, "one\n");
    EXPECT_EQ(dump.file.writtenEntity(a), -1);
    dump.file.printf(0, "two\n");
    dump.file.printf(0, "three\n");
    EXPECT_EQ(dump.file.writtenEntity(a), 2);
    EXPECT_EQ(dump.file.writtenEntity(b), -1);
    EXPECT_EQ(dump.file.writtenEntity(b), 4);
    EXPECT_EQ(dump.file.writtenEntity(a), 2);
}

TEST_F(DumpFileTest, EntityDumpedTwiceRefersToItsFirstLine)
{
    // Two holders: the dump shows the reference count.
    const std::vector<tn::Reference<Dumped>> holders(2, tn::Reference<Dumped>(new Dumped));
    Dumped* a = holders[0];
    DumpCapture dump;
    dump.file.header();
    EXPECT_TRUE(a->dump(dump.file, 0, nullptr));
    EXPECT_FALSE(a->dump(dump.file, 1, nullptr));
    EXPECT_FALSE(a->dump(dump.file, 2, "again"));
    const std::string p = ptr(a);
    const Lines lines = dump.lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "00004: entity dumptest::Dumped (refs = 2, ptr = " + p + ")");
    EXPECT_EQ(lines[4], "00005: | entity dumptest::Dumped (refs = 2, ptr = " + p + ") written on line 4");
    EXPECT_EQ(lines[5], "00006: |   entity dumptest::Dumped \"again\" (refs = 2, ptr = " + p + ") written on line 4");
}

TEST_F(DumpFileTest, EntityWithLabel)
{
    tn::Reference<Dumped> a(new Dumped);
    DumpCapture dump;
    dump.file.printf(0, "root\n");
    EXPECT_TRUE(a->dump(dump.file, 1, "name"));
    const Lines lines = dump.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], dumpLine(2, 1, tnUITest::entityLine("dumptest::Dumped", "name", 1, a.get())));
}

TEST_F(DumpFileTest, AddressIsWrittenAsOneHexadecimalNumber)
{
    tn::Reference<Dumped> a(new Dumped);
    DumpCapture dump;
    a->dump(dump.file, 0, "x");
    const std::string line = dump.lines().at(0);
    EXPECT_EQ(line.find("0x0x"), std::string::npos) << line;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(line, match, std::regex("ptr = 0x([0-9a-fA-F]+)\\)$"))) << line;
    EXPECT_EQ(std::strtoull(match[1].str().c_str(), nullptr, 16), reinterpret_cast<std::uintptr_t>(a.get()));
}

TEST_F(DumpFileTest, ReopeningRestartsNumbersButRemembersEntities)
{
    tn::Reference<Dumped> a(new Dumped);
    DumpCapture dump;
    dump.file.printf(0, "one\n");
    dump.file.printf(0, "two\n");
    EXPECT_TRUE(a->dump(dump.file, 0, nullptr));
    EXPECT_EQ(dump.lines().size(), 3u); // and closes
    EXPECT_FALSE(dump.file.ok());
    dump.file.close(); // closing twice is harmless

    testing::internal::CaptureStdout();
    const bool opened = dump.file.open(tnString::IString(">"));
    const int line = dump.file.getLineNumber();
    const bool first = opened && a->dump(dump.file, 0, nullptr);
    dump.file.close();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(opened);
    EXPECT_EQ(line, 1);
    EXPECT_FALSE(first);
    EXPECT_EQ(out, "00001: entity dumptest::Dumped (refs = 1, ptr = " + ptr(a.get()) + ") written on line 3\n");
}

TEST_F(DumpFileTest, StandardOutputIsWrittenButNotClosed)
{
    DumpFile file;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(file.open(tnString::IString(">")));
    EXPECT_TRUE(file.ok());
    file.printf(1, "to standard output\n");
    file.close();
    EXPECT_FALSE(file.ok());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "00001: | to standard output\n");
    // Standard output is still open and usable.
    EXPECT_NE(fcntl(STDOUT_FILENO, F_GETFD), -1);
    EXPECT_GE(std::fputs("", stdout), 0);
    EXPECT_EQ(std::fflush(stdout), 0);
    EXPECT_EQ(std::ferror(stdout), 0);
}

TEST_F(DumpFileTest, ImpossiblePathFailsAndLeavesNoStream)
{
    DumpFile file;
    EXPECT_FALSE(file.open(tnString::IString("/nonexistent-directory-of-tnui/sub/dump.txt")));
    EXPECT_FALSE(file.ok());
    EXPECT_THROW(file.printf(0, "nothing\n"), tnUI::ImplError);
    file.close();
}

TEST_F(DumpFileTest, WritingWithoutAStreamIsRefused)
{
    tn::Reference<Dumped> a(new Dumped);
    DumpFile file;
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(file.getLineNumber(), 1);
    EXPECT_THROW(file.printf(0, "x\n"), tnUI::ImplError);
    EXPECT_THROW(file.header(), tnUI::ImplError);
    EXPECT_THROW(a->dump(file, 0, nullptr), tnUI::ImplError);
    EXPECT_EQ(file.getLineNumber(), 1);
}

TEST_F(DumpFileTest, WidePathAndDestructorClosing)
{
    const std::wstring path = L"/tmp/tnui-dump-\u00e9t\u00e9-" + std::to_wstring(getpid()) + L".txt";
    {
        DumpFile file;
        ASSERT_TRUE(file.open(tnString::IString(path.c_str())));
        file.printf(0, "kept\n");
    } // the destructor closes, and so flushes, the owned file
    const std::string utf8 = "/tmp/tnui-dump-\xc3\xa9t\xc3\xa9-" + std::to_string(getpid()) + ".txt";
    std::FILE* in = std::fopen(utf8.c_str(), "r");
    ASSERT_NE(in, nullptr);
    char text[64] = {};
    EXPECT_NE(std::fgets(text, sizeof text, in), nullptr);
    std::fclose(in);
    std::remove(utf8.c_str());
    EXPECT_STREQ(text, "00001: kept\n");
}

TEST_F(DumpFileTest, DumpBool)
{
    EXPECT_STREQ(DumpFile::dumpBool(true), "true");
    EXPECT_STREQ(DumpFile::dumpBool(false), "false");
}

} // namespace
