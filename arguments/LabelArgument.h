#pragma once

#include "../foundation/Export.h"

#include "ArgumentItem.h"

namespace tnUI {

/// A caption with a requested size and an alignment code that only the
/// toolkit binding interprets. The setters send nothing.
class TNUI_EXPORT LabelArgument : public ArgumentItem {
public:
    LabelArgument() = default;

    /// The size the caption asks for, in pixels.
    void setSize(int w, int h) noexcept
    {
        m_width = w;
        m_height = h;
    }
    /// See setSize().
    void getSize(int& w, int& h) const noexcept
    {
        w = m_width;
        h = m_height;
    }
    /// Sets the alignment.
    void setAlignment(int alignment) noexcept { m_alignment = alignment; }
    /// The alignment.
    int getAlignment() const noexcept { return m_alignment; }

    /// The item's lines: size and alignment are not written.
    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    int m_width = 0;
    int m_height = 0;
    int m_alignment = 2;
};

} // namespace tnUI
