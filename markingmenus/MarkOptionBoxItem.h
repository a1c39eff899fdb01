#pragma once

#include "../foundation/Export.h"

#include "MarkItem.h"

/// The small second target beside a menu item: a square as tall as its owner,
/// placed inside the owner's right end the first time it is drawn. Releasing
/// over it chooses its own id and data instead of the owner's.
class TNUI_EXPORT tnMarkOptionBoxItem : public tnMarkMenuItem {
public:
    /// Drawing states handed to the renderer.
    static constexpr int DrawNormal = 0;
    /// See DrawNormal.
    static constexpr int DrawHighlighted = 1;
    /// See DrawNormal.
    static constexpr int DrawOwnerHighlighted = 2;
    /// See DrawNormal.
    static constexpr int DrawDisabled = 3;

    /// Made with an empty label and an unset anchor; an item takes it with
    /// setOptionBox.
    tnMarkOptionBoxItem(const tnString::IString& tooltip, int id, void* data);
    ~tnMarkOptionBoxItem() override;

    /// The anchor itself.
    void getReferencePoint(tnMarkPosition& out) const override;
    /// Both the owner's height; 0 without an owner.
    float getWidth() const override;
    /// The height.
    float getHeight() const override;
    /// Places the box on first use, then has the renderer draw it.
    void drawItem(tnMarkRender& render) override;

    /// The owner.
    tnMarkMenuItem* getOwner() const { return m_owner; }
    /// The look that follows from the box's and the owner's states: disabled,
    /// highlighted (the pointer is on the box), owner highlighted, or normal.
    int getDrawingState() const;

private:
    friend class tnMarkMenuItem;

    tnMarkMenuItem* m_owner = nullptr;
};
