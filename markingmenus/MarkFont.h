#pragma once

#include "../foundation/Export.h"

#include "../foundation/IString.h"

/// The font of a marking-menu text item: a family name, a style and a point
/// size. Styles: 0 plain, 1 bold, 2 italic, 3 bold italic, 4 plain.
class TNUI_EXPORT tnMarkFont {
public:
    /// The largest style.
    static constexpr int MaxStyle = 4;

    tnMarkFont() = default;
    /// A style outside 0..4 leaves the plain style.
    explicit tnMarkFont(const tnString::IString& family, int style = 0, int size = 12);

    /// The family.
    const tnString::IString& getFamily() const { return m_family; }
    /// Sets the family.
    void setFamily(const tnString::IString& family) { m_family = family; }
    /// The style.
    int getStyle() const { return m_style; }
    /// Ignores styles outside 0..4.
    void setStyle(int style);
    /// The size.
    int getSize() const { return m_size; }
    /// Sets the size.
    void setSize(int size) { m_size = size; }

    friend bool operator==(const tnMarkFont&, const tnMarkFont&) = default;

private:
    tnString::IString m_family;
    int m_style = 0;
    int m_size = 12;
};
