#include <tnUI/entity/Error.h>
#include <tnUI/foundation/KeyName.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

using tnUI::KeyName;

constexpr int numberOfKeys = static_cast<int>(KeyName::KeypadDecimal) + 1;

std::string lowerCase(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string upperCase(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Also shows that no two keys share a name: the later one would not read back.
TEST(KeyName, EveryNameReadsBackAsItsKeyInAnyCase)
{
    for (int i = 0; i < numberOfKeys; ++i) {
        const auto key = static_cast<KeyName>(i);
        for (bool shortForm : {false, true}) {
            const std::string name = tnUI::enumName(key, shortForm);
            EXPECT_FALSE(name.empty()) << i;
            EXPECT_EQ(tnUI::keyNameStringToKeyName(name.c_str()), key) << name;
            // Keybindings look names up in lower case.
            EXPECT_EQ(tnUI::keyNameStringToKeyName(lowerCase(name).c_str()), key) << name;
            EXPECT_EQ(tnUI::keyNameStringToKeyName(upperCase(name).c_str()), key) << name;
        }
    }
}

struct NameCase {
    KeyName key;
    const char* longName;
    const char* shortName;
};

class KeyNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(KeyNames, LongAndShortForms)
{
    const NameCase& c = GetParam();
    EXPECT_STREQ(tnUI::enumName(c.key, false), c.longName);
    EXPECT_STREQ(tnUI::enumName(c.key, true), c.shortName);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeyNames,
    ::testing::Values(NameCase{KeyName::A, "A", "A"}, NameCase{KeyName::Z, "Z", "Z"},
                      NameCase{KeyName::Digit0, "0", "0"}, NameCase{KeyName::Digit9, "9", "9"},
                      NameCase{KeyName::F1, "F1", "F1"}, NameCase{KeyName::F24, "F24", "F24"},
                      NameCase{KeyName::PageUp, "PageUp", "PgUp"}, NameCase{KeyName::PageDown, "PageDown", "PgDn"},
                      NameCase{KeyName::Delete, "Delete", "Del"}, NameCase{KeyName::Escape, "Escape", "Esc"},
                      NameCase{KeyName::Return, "Return", "Return"}, NameCase{KeyName::Enter, "Enter", "Enter"},
                      NameCase{KeyName::Comma, "Comma", ","}, NameCase{KeyName::Period, "Period", "."},
                      NameCase{KeyName::Backslash, "Backslash", "\\"}, NameCase{KeyName::Plus, "Plus", "+"},
                      NameCase{KeyName::Grave, "Grave", "`"}, NameCase{KeyName::Control, "Control", "Ctrl"},
                      NameCase{KeyName::Keypad5, "Keypad5", "Num5"},
                      NameCase{KeyName::KeypadDecimal, "KeypadDecimal", "Num."},
                      NameCase{KeyName::None, "None", "None"}));

TEST(KeyName, Lookup)
{
    struct Case {
        const char* text;
        KeyName key;
    };
    const Case cases[] = {
        {"a", KeyName::A},
        {"s", KeyName::S},
        {"f1", KeyName::F1},
        {"f12", KeyName::F12},
        {"pgup", KeyName::PageUp},
        {"PAGEDOWN", KeyName::PageDown},
        {"esc", KeyName::Escape},
        {"-", KeyName::Minus},
        {"+", KeyName::Plus},
        {"num+", KeyName::KeypadPlus},
        // The word shift alone is a key, not a modifier.
        {"shift", KeyName::Shift},
        {"ctrl", KeyName::Control},
        // Unknown texts.
        {"", KeyName::None},
        {"f25", KeyName::None},
        {" a", KeyName::None},
        {"a ", KeyName::None},
        {"ctrl+a", KeyName::None},
        {"aa", KeyName::None},
        {"none", KeyName::None},
        {"\xc3\xa9", KeyName::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tnUI::keyNameStringToKeyName(c.text), c.key) << '"' << c.text << '"';
}

TEST(KeyName, ValuesOutsideTheTableRaise)
{
    EXPECT_THROW(tnUI::enumName(static_cast<KeyName>(numberOfKeys), true), tnUI::ImplError);
    EXPECT_THROW(tnUI::enumName(static_cast<KeyName>(-2), false), tnUI::ImplError);
    EXPECT_THROW(tnUI::enumName(static_cast<KeyName>(100000), false), tnUI::ImplError);
}

} // namespace
