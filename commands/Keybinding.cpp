#include "Keybinding.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

#include <string_view>

namespace tnUI {

namespace {

struct ModifierPrefix {
    std::string_view text;
    Keybinding::Modifier bit;
};

// Tried in this order at each position of the lower-cased text.
constexpr ModifierPrefix Prefixes[] = {
    {"shift+", Keybinding::Shift},
    {"ctrl+", Keybinding::Ctrl},
    {"meta+", Keybinding::Meta},
    {"alt+", Keybinding::Alt},
};

// The printing order.
constexpr ModifierPrefix PrintedPrefixes[] = {
    {"Ctrl+", Keybinding::Ctrl},
    {"Shift+", Keybinding::Shift},
    {"Alt+", Keybinding::Alt},
    {"Meta+", Keybinding::Meta},
};

} // namespace

Keybinding::Keybinding(const tnString::CString& text)
{
    setKey(text);
}

void Keybinding::setKey(const tnString::CString& text)
{
    if (!compile(text))
        throw KeybindingError();
    Message m(this, Message::Binding);
    sendMessage(m);
}

bool Keybinding::compile(const tnString::CString& text)
{
    tnString::CString lowered(text);
    lowered.toLowerCase();
    m_modifier = 0;
    m_key = KeyName::None;

    std::string_view rest = lowered.str();
    while (!rest.empty()) {
        bool isModifier = false;
        for (const ModifierPrefix& prefix : Prefixes) {
            if (rest.starts_with(prefix.text)) {
                m_modifier |= prefix.bit;
                rest.remove_prefix(prefix.text.size());
                isModifier = true;
                break;
            }
        }
        if (!isModifier) {
            m_key = keyNameStringToKeyName(tnString::CString(rest));
            break;
        }
    }
    return m_key != KeyName::None;
}

tnString::CString Keybinding::modifierName() const
{
    tnString::CString name;
    for (const ModifierPrefix& prefix : PrintedPrefixes) {
        if (m_modifier & prefix.bit)
            name.append(tnString::CString(prefix.text));
    }
    return name;
}

tnString::CString Keybinding::keyName() const
{
    if (m_key == KeyName::None)
        return "<Error!>";
    return enumName(m_key, true);
}

bool Keybinding::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    file.printf(level + 1, "keybinding = %s%s\n", modifierName().asChar(), keyName().asChar());
    return true;
}

} // namespace tnUI
