#pragma once

#include "../foundation/Export.h"

#include "../foundation/IString.h"
#include "../foundation/ReferenceCount.h"
#include "Value.h"

namespace tnUI {

/// A font: name, size and bold flag. The name and normal size default to the
/// application's font settings, which exist before any application does. The
/// setters send no message: a control shows a change when it re-reads.
class TNUI_EXPORT FontValue : public Value {
public:
    /// The application's font name and normal size, not bold.
    FontValue();
    /// The application's font name, the given size, not bold.
    explicit FontValue(float size);
    /// The font name at size points.
    FontValue(const tnString::IString& name, float size);

    /// A new font value with the application's font.
    static tn::Reference<FontValue> create();
    /// The same at size points.
    static tn::Reference<FontValue> create(float size);
    /// A new font value name at size points.
    static tn::Reference<FontValue> create(const tnString::IString& name, float size);

    /// The font name.
    const tnString::IString& getFontName() const noexcept { return m_name; }
    /// The font name.
    tnString::IString getFontName() { return m_name; }
    /// The font size.
    float getFontSize() const noexcept { return m_size; }
    /// The font size.
    float getFontSize() noexcept { return m_size; }
    /// Sets the font size.
    void setFontSize(float size) noexcept { m_size = size; }
    /// The bold.
    bool getBold() const noexcept { return m_bold; }
    /// Sets the bold.
    void setBold(bool bold) noexcept { m_bold = bold; }

    /// Copies other's name and size, not its bold flag. No message.
    bool assign(const Value* const other) override;
    /// A font has no default to go back to: nothing happens.
    void reset() override;

private:
    tnString::IString m_name;
    float m_size;
    bool m_bold = false;
};

} // namespace tnUI
