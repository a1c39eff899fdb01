#include <tnUI/entity/Error.h>
#include <tnUI/foundation/KeyName.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

using tnUI::KeyName;

constexpr int numberOfKeys = static_cast<int>(KeyName::KeypadDecimal) + 1;

// Also shows that no two keys share a name: the later one would not read back.
TEST(KeyName, EveryNameReadsBackAsItsKeyInAnyCase)
{
    for (int i = 0; i < numberOfKeys; ++i) {
        const auto key = static_cast<KeyName>(i);
        for (bool shortForm : {false, true}) {
            std::string name = tnUI::enumName(key, shortForm);
            EXPECT_FALSE(name.empty()) << i;
            EXPECT_EQ(tnUI::keyNameStringToKeyName(name.c_str()), key) << name;
            for (int (*change)(int) : {::tolower, ::toupper}) {
                std::transform(name.begin(), name.end(), name.begin(), change);
                EXPECT_EQ(tnUI::keyNameStringToKeyName(name.c_str()), key) << name;
            }
        }
    }
    for (int bad : {numberOfKeys, -2, 100000})
        EXPECT_THROW(tnUI::enumName(static_cast<KeyName>(bad), bad < 0), tnUI::ImplError) << bad;
}

TEST(KeyName, LongAndShortForms)
{
    struct Case {
        KeyName key;
        const char *longName, *shortName;
    };
    const Case cases[] = {
        {KeyName::A, "A", "A"},
        {KeyName::Digit9, "9", "9"},
        {KeyName::F24, "F24", "F24"},
        {KeyName::PageUp, "PageUp", "PgUp"},
        {KeyName::PageDown, "PageDown", "PgDn"},
        {KeyName::Delete, "Delete", "Del"},
        {KeyName::Escape, "Escape", "Esc"},
        {KeyName::Return, "Return", "Return"},
        {KeyName::Comma, "Comma", ","},
        {KeyName::Backslash, "Backslash", "\\"},
        {KeyName::Grave, "Grave", "`"},
        {KeyName::Control, "Control", "Ctrl"},
        {KeyName::Keypad5, "Keypad5", "Num5"},
        {KeyName::KeypadDecimal, "KeypadDecimal", "Num."},
        {KeyName::None, "None", "None"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(tnUI::enumName(c.key, false), c.longName);
        EXPECT_STREQ(tnUI::enumName(c.key, true), c.shortName);
    }
}

TEST(KeyName, Lookup)
{
    struct Case {
        const char* text;
        KeyName key;
    };
    const Case cases[] = {
        {"f12", KeyName::F12},
        {"pgup", KeyName::PageUp},
        {"PAGEDOWN", KeyName::PageDown},
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

} // namespace
