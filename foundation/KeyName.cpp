#include "KeyName.h"

#include "../entity/Error.h"

#include <cstddef>
#include <iterator>
#include <string_view>

namespace tnUI {

namespace {

struct KeyText {
    KeyName key;
    const char* longName;
    const char* shortName;
};

// One entry per key, in the order of the enumeration, so that a key's entry
// is found by its value.
constexpr KeyText keyTable[] = {
    {KeyName::A, "A", "A"},
    {KeyName::B, "B", "B"},
    {KeyName::C, "C", "C"},
    {KeyName::D, "D", "D"},
    {KeyName::E, "E", "E"},
    {KeyName::F, "F", "F"},
    {KeyName::G, "G", "G"},
    {KeyName::H, "H", "H"},
    {KeyName::I, "I", "I"},
    {KeyName::J, "J", "J"},
    {KeyName::K, "K", "K"},
    {KeyName::L, "L", "L"},
    {KeyName::M, "M", "M"},
    {KeyName::N, "N", "N"},
    {KeyName::O, "O", "O"},
    {KeyName::P, "P", "P"},
    {KeyName::Q, "Q", "Q"},
    {KeyName::R, "R", "R"},
    {KeyName::S, "S", "S"},
    {KeyName::T, "T", "T"},
    {KeyName::U, "U", "U"},
    {KeyName::V, "V", "V"},
    {KeyName::W, "W", "W"},
    {KeyName::X, "X", "X"},
    {KeyName::Y, "Y", "Y"},
    {KeyName::Z, "Z", "Z"},
    {KeyName::Digit0, "0", "0"},
    {KeyName::Digit1, "1", "1"},
    {KeyName::Digit2, "2", "2"},
    {KeyName::Digit3, "3", "3"},
    {KeyName::Digit4, "4", "4"},
    {KeyName::Digit5, "5", "5"},
    {KeyName::Digit6, "6", "6"},
    {KeyName::Digit7, "7", "7"},
    {KeyName::Digit8, "8", "8"},
    {KeyName::Digit9, "9", "9"},
    {KeyName::F1, "F1", "F1"},
    {KeyName::F2, "F2", "F2"},
    {KeyName::F3, "F3", "F3"},
    {KeyName::F4, "F4", "F4"},
    {KeyName::F5, "F5", "F5"},
    {KeyName::F6, "F6", "F6"},
    {KeyName::F7, "F7", "F7"},
    {KeyName::F8, "F8", "F8"},
    {KeyName::F9, "F9", "F9"},
    {KeyName::F10, "F10", "F10"},
    {KeyName::F11, "F11", "F11"},
    {KeyName::F12, "F12", "F12"},
    {KeyName::F13, "F13", "F13"},
    {KeyName::F14, "F14", "F14"},
    {KeyName::F15, "F15", "F15"},
    {KeyName::F16, "F16", "F16"},
    {KeyName::F17, "F17", "F17"},
    {KeyName::F18, "F18", "F18"},
    {KeyName::F19, "F19", "F19"},
    {KeyName::F20, "F20", "F20"},
    {KeyName::F21, "F21", "F21"},
    {KeyName::F22, "F22", "F22"},
    {KeyName::F23, "F23", "F23"},
    {KeyName::F24, "F24", "F24"},
    {KeyName::Left, "Left", "Left"},
    {KeyName::Right, "Right", "Right"},
    {KeyName::Up, "Up", "Up"},
    {KeyName::Down, "Down", "Down"},
    {KeyName::Home, "Home", "Home"},
    {KeyName::End, "End", "End"},
    {KeyName::PageUp, "PageUp", "PgUp"},
    {KeyName::PageDown, "PageDown", "PgDn"},
    {KeyName::Insert, "Insert", "Ins"},
    {KeyName::Delete, "Delete", "Del"},
    {KeyName::Backspace, "Backspace", "BkSp"},
    {KeyName::Space, "Space", "Space"},
    {KeyName::Tab, "Tab", "Tab"},
    {KeyName::Return, "Return", "Return"},
    {KeyName::Enter, "Enter", "Enter"},
    {KeyName::Escape, "Escape", "Esc"},
    {KeyName::Comma, "Comma", ","},
    {KeyName::Period, "Period", "."},
    {KeyName::Slash, "Slash", "/"},
    {KeyName::Semicolon, "Semicolon", ";"},
    {KeyName::Quote, "Quote", "'"},
    {KeyName::BracketLeft, "BracketLeft", "["},
    {KeyName::BracketRight, "BracketRight", "]"},
    {KeyName::Backslash, "Backslash", "\\"},
    {KeyName::Minus, "Minus", "-"},
    {KeyName::Equal, "Equal", "="},
    {KeyName::Grave, "Grave", "`"},
    {KeyName::Plus, "Plus", "+"},
    {KeyName::Shift, "Shift", "Shift"},
    {KeyName::Control, "Control", "Ctrl"},
    {KeyName::Alt, "Alt", "Alt"},
    {KeyName::Meta, "Meta", "Meta"},
    {KeyName::CapsLock, "CapsLock", "Caps"},
    {KeyName::NumLock, "NumLock", "NumLk"},
    {KeyName::ScrollLock, "ScrollLock", "ScrLk"},
    {KeyName::Print, "Print", "PrtSc"},
    {KeyName::Pause, "Pause", "Pause"},
    {KeyName::Menu, "Menu", "Menu"},
    {KeyName::Keypad0, "Keypad0", "Num0"},
    {KeyName::Keypad1, "Keypad1", "Num1"},
    {KeyName::Keypad2, "Keypad2", "Num2"},
    {KeyName::Keypad3, "Keypad3", "Num3"},
    {KeyName::Keypad4, "Keypad4", "Num4"},
    {KeyName::Keypad5, "Keypad5", "Num5"},
    {KeyName::Keypad6, "Keypad6", "Num6"},
    {KeyName::Keypad7, "Keypad7", "Num7"},
    {KeyName::Keypad8, "Keypad8", "Num8"},
    {KeyName::Keypad9, "Keypad9", "Num9"},
    {KeyName::KeypadPlus, "KeypadPlus", "Num+"},
    {KeyName::KeypadMinus, "KeypadMinus", "Num-"},
    {KeyName::KeypadMultiply, "KeypadMultiply", "Num*"},
    {KeyName::KeypadDivide, "KeypadDivide", "Num/"},
    {KeyName::KeypadDecimal, "KeypadDecimal", "Num."},
};

constexpr bool tableFollowsEnumeration()
{
    for (std::size_t i = 0; i < std::size(keyTable); ++i) {
        if (static_cast<std::size_t>(keyTable[i].key) != i)
            return false;
    }
    return static_cast<std::size_t>(KeyName::KeypadDecimal) + 1 == std::size(keyTable);
}
static_assert(tableFollowsEnumeration(), "keyTable must list every key in the order of KeyName");

constexpr char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

const char* enumName(KeyName key, bool short_)
{
    if (key == KeyName::None)
        return "None";
    const auto index = static_cast<std::size_t>(key);
    if (static_cast<int>(key) < 0 || index >= std::size(keyTable))
        throw ImplError();
    return short_ ? keyTable[index].shortName : keyTable[index].longName;
}

KeyName keyNameStringToKeyName(const tnString::CString& text)
{
    const std::string_view wanted = text.str();
    for (const KeyText& entry : keyTable) {
        if (equalIgnoringCase(wanted, entry.longName) || equalIgnoringCase(wanted, entry.shortName))
            return entry.key;
    }
    return KeyName::None;
}

} // namespace tnUI
