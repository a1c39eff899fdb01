#pragma once

#include "../foundation/Export.h"

#include "MarkItem.h"

class tnMarkFont;
class tnMarkStyledText;

/// An item showing its label in a font. Its size comes from the toolkit's
/// measure of the text, so a toolkit derives from it and supplies getWidth and
/// getHeight.
class TNUI_EXPORT tnMarkTextItem : public tnMarkMenuItem {
public:
    /// The styled text is made through the styled-text factory.
    tnMarkTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                   const tnMarkPosition& anchor, void* data, const tnMarkFont& font);
    ~tnMarkTextItem() override;

    /// Also hands the label to the styled text.
    void setLabel(const tnString::IString& label) override;
    /// Labels hang outward of their anchor: on the right half they extend to
    /// the right, on the left half to the left, near the vertical axis they
    /// are centred; upper labels hang below their anchor, lower ones sit above
    /// it. List items extend right and down from their anchor.
    void getReferencePoint(tnMarkPosition& out) const override;
    /// The item at its reference point, then its option box.
    void drawItem(tnMarkRender& render) override;
    void drawAt(float x, float y, tnMarkRender& render) override;

    /// Null when no styled-text factory is installed.
    tnMarkStyledText* getStyledText() const { return m_text; }

private:
    tnMarkStyledText* m_text;
};
