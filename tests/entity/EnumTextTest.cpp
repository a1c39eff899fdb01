// The texts of every enumeration of the library, and the reverse look-up of
// key names: one table per enumeration, values outside it refused.

#include <tnUI/commands/CommandController.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Icon.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/KeyName.h>
#include <tnUI/menus/Group.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tnUI;

// An enumeration's text function over int, its texts from value 0 on, and
// values outside it.
struct EnumTable {
    const char* what;
    std::function<const char*(int)> text;
    std::vector<const char*> texts;
    std::vector<int> outside;
};

template <class E>
std::function<const char*(int)> named()
{
    return [](int v) { return enumName(static_cast<E>(v)); };
}

const char* const messageTypes[] = {"Forward", "Value",     "Name",       "Label", "State",
                                    "Content", "Structure", "Appearance", "Icon",  "Binding"};

TEST(EnumText, EveryEnumerationHasItsFixedTexts)
{
    const std::vector<const char*> messages(std::begin(messageTypes), std::end(messageTypes));
    const EnumTable tables[] = {
        {"Message::Type", named<Message::Type>(), messages, {10, -1, 1000}},
        {"Message::TypeName",
         [](int v) { return Message::TypeName(static_cast<Message::Type>(v)); },
         messages,
         {10, -1}},
        {"CallType",
         named<CommandController::CallType>(),
         {"SelectCommand", "Execute", "Selected", "NewInteraction", "Unselected", "Start", "Stop", "KeyEvent",
          "MouseEvent", "WheelEvent", "TabletEvent"},
         {11, -1}},
        {"IconState", named<IconState::EState>(), {"Normal", "Disabled", "Highlight", "Active"}, {4, -1, 100}},
        {"IconMode", named<IconMode::EMode>(), {"Default", "Alternate"}, {2, -1}},
        {"Group::ELayoutPreference",
         named<Group::ELayoutPreference>(),
         {"NoPreference", "List", "Matrix", "EmbeddedInParent", "Radial"},
         {5, -1}},
    };
    for (const EnumTable& t : tables) {
        SCOPED_TRACE(t.what);
        for (int v = 0; v < static_cast<int>(t.texts.size()); ++v)
            EXPECT_STREQ(t.text(v), t.texts[static_cast<std::size_t>(v)]) << v;
        for (int v : t.outside)
            EXPECT_THROW(t.text(v), ImplError) << v;
    }
}

constexpr int numberOfKeys = static_cast<int>(KeyName::KeypadDecimal) + 1;

TEST(EnumText, KeyNamesInBothFormsReadBackInAnyCase)
{
    struct Forms {
        KeyName key;
        const char *longName, *shortName;
    };
    // clang-format off
    const Forms forms[] = {
        {KeyName::A, "A", "A"}, {KeyName::Digit9, "9", "9"}, {KeyName::F24, "F24", "F24"},
        {KeyName::PageUp, "PageUp", "PgUp"}, {KeyName::PageDown, "PageDown", "PgDn"},
        {KeyName::Delete, "Delete", "Del"}, {KeyName::Escape, "Escape", "Esc"}, {KeyName::Return, "Return", "Return"},
        {KeyName::Comma, "Comma", ","}, {KeyName::Backslash, "Backslash", "\\"}, {KeyName::Grave, "Grave", "`"},
        {KeyName::Control, "Control", "Ctrl"}, {KeyName::Keypad5, "Keypad5", "Num5"},
        {KeyName::KeypadDecimal, "KeypadDecimal", "Num."}, {KeyName::None, "None", "None"},
    };
    // clang-format on
    for (const Forms& f : forms) {
        EXPECT_STREQ(enumName(f.key, false), f.longName);
        EXPECT_STREQ(enumName(f.key, true), f.shortName);
    }
    // Every name reads back as its key, which also shows that no two keys
    // share a name.
    for (int i = 0; i < numberOfKeys; ++i) {
        const auto key = static_cast<KeyName>(i);
        for (bool shortForm : {false, true}) {
            std::string name = enumName(key, shortForm);
            EXPECT_EQ(keyNameStringToKeyName(name.c_str()), key) << name;
            for (int (*change)(int) : {::tolower, ::toupper}) {
                std::transform(name.begin(), name.end(), name.begin(), change);
                EXPECT_EQ(keyNameStringToKeyName(name.c_str()), key) << name;
            }
        }
    }
    for (int bad : {numberOfKeys, -2, 100000})
        EXPECT_THROW(enumName(static_cast<KeyName>(bad), bad < 0), ImplError) << bad;

    // Texts that are no key's name. The word shift alone is a key.
    const std::pair<const char*, KeyName> lookups[] = {
        {"num+", KeyName::KeypadPlus}, {"shift", KeyName::Shift},   {"+", KeyName::Plus},
        {"", KeyName::None},           {"f25", KeyName::None},      {" a", KeyName::None},
        {"a ", KeyName::None},         {"ctrl+a", KeyName::None},   {"aa", KeyName::None},
        {"none", KeyName::None},       {"\xc3\xa9", KeyName::None},
    };
    for (const auto& [text, key] : lookups)
        EXPECT_EQ(keyNameStringToKeyName(text), key) << '"' << text << '"';
}

} // namespace
