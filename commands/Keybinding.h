#pragma once

#include "../foundation/Export.h"

#include "../entity/Entity.h"
#include "../foundation/CString.h"
#include "../foundation/KeyName.h"

#include <cstdint>

namespace tnUI {

/// A keyboard shortcut: a set of modifier keys and one key, read from a text
/// such as "Ctrl+Shift+S" and printed back in a fixed modifier order.
class TNUI_EXPORT Keybinding : public Entity {
public:
    /// The bits of getModifier().
    enum Modifier : std::int32_t {
        Shift = 1,
        Ctrl = 2,
        Alt = 4,
        Meta = 8,
    };

    /// Parses text (see setKey); an unparsable text raises KeybindingError.
    explicit Keybinding(const tnString::CString& text);

    /// Parses text and sends "Binding", also when the binding is unchanged. An
    /// empty text, a text that ends after its modifiers or an unknown key name
    /// raises KeybindingError and sends nothing; the binding is then left with
    /// no key and the modifiers read before the failure.
    void setKey(const tnString::CString& text);

    /// Parses text into modifiers and key without sending anything; true when
    /// a valid key was found. Modifiers ("ctrl+", "shift+", "alt+", "meta+")
    /// may come in any order and case and may repeat; whatever follows them is
    /// the key name, looked up ignoring case.
    bool compile(const tnString::CString& text);

    /// The modifier.
    std::int32_t getModifier() const noexcept { return m_modifier; }
    /// The key.
    KeyName getKey() const noexcept { return m_key; }

    /// The modifiers as "Ctrl+", "Shift+", "Alt+", "Meta+", always in that
    /// order; empty without modifiers.
    tnString::CString modifierName() const;
    /// The key's short printable name, or "<Error!>" without a valid key.
    tnString::CString keyName() const;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    std::int32_t m_modifier = 0;
    KeyName m_key = KeyName::None;
};

} // namespace tnUI
