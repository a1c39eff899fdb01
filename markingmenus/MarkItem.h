#pragma once

#include "../foundation/Export.h"

// The items of a marking menu: the base of everything a menu places and
// draws, and the selectable item with its tooltip, list flags, check state,
// submenu and option box.

#include "MarkPosition.h"

#include "../foundation/IString.h"
#include "../foundation/Linear.h"

class tnMarkMenu;
class tnMarkMenuItem;
class tnMarkOptionBoxItem;
class tnMarkRender;
class tnTooltip;

/// The base of everything a marking menu places and draws: a label, an
/// anchor, an id and the host's data, a state, and the box it covers.
class TNUI_EXPORT tnMarkItem {
public:
    /// Item states.
    static constexpr int Normal = 0;
    /// See Normal.
    static constexpr int Disabled = 1;
    /// See Normal.
    static constexpr int Highlighted = 2;

    /// An item labelled label at anchor; id and data are the host's.
    tnMarkItem(const tnString::IString& label, const tnMarkPosition& anchor, int id, void* data);
    tnMarkItem(const tnMarkItem&) = delete;
    tnMarkItem& operator=(const tnMarkItem&) = delete;
    virtual ~tnMarkItem();

    /// Sets the label.
    virtual void setLabel(const tnString::IString& label);
    /// Stores a state of 0..2 that differs from the current one and marks the
    /// item dirty; anything else is ignored.
    virtual void setState(int state);
    /// The centre of the item's box, which lies outward of the anchor: along
    /// the anchor's ray, pushed out by a fraction k of the width (0.2 while
    /// every item of the menu sits on an axis, else 0.5), or, for
    /// corner-anchored items, diagonally away from the centre by k of the
    /// width and height.
    virtual void getReferencePoint(tnMarkPosition& out) const;
    /// The width.
    virtual float getWidth() const = 0;
    /// The height.
    virtual float getHeight() const = 0;
    /// Draws the item and marks it clean.
    virtual void draw(tnMarkRender& render);
    /// Draws the item itself; draw() calls it.
    virtual void drawItem(tnMarkRender& render) = 0;
    /// The item as one the user can choose: null here, the item itself for
    /// tnMarkMenuItem and its kinds.
    virtual tnMarkMenuItem* asMenuItem();
    /// The same, read-only.
    virtual const tnMarkMenuItem* asMenuItem() const;

    /// The label.
    const tnString::IString& getLabel() const { return m_label; }
    /// The position.
    const tnMarkPosition& getPosition() const { return m_position; }
    /// Sets the position.
    void setPosition(const tnMarkPosition& anchor) { m_position = anchor; }
    /// Moves the anchor to that angle and distance; the mark position stays.
    void setPolarPosition(float angle, float distance);
    /// The id.
    int getId() const { return m_id; }
    /// Sets the id.
    void setId(int id) { m_id = id; }
    /// The state.
    int getState() const { return m_state; }
    /// Whether it is dirty.
    bool isDirty() const { return m_dirty; }
    /// Sets the dirty.
    void setDirty(bool dirty) { m_dirty = dirty; }
    /// The data.
    void* getData() const { return m_data; }
    /// Sets the data.
    void setData(void* data) { m_data = data; }
    /// The axis only offset.
    bool getAxisOnlyOffset() const { return m_axisOnlyOffset; }
    /// Sets the axis only offset.
    void setAxisOnlyOffset(bool axisOnly) { m_axisOnlyOffset = axisOnly; }
    /// Whether it is corner anchored.
    bool isCornerAnchored() const { return m_cornerAnchored; }
    /// Sets the corner anchored.
    void setCornerAnchored(bool cornerAnchored) { m_cornerAnchored = cornerAnchored; }

    /// The item's box: width x height centred on the reference point.
    void getBox(float& left, float& bottom, float& right, float& top) const;
    /// The box.
    tnLinear::Range2d getBox() const;
    /// Whether the point lies in the box, edges included; never for a
    /// disabled item.
    bool contains(float dx, float dy) const;

private:
    tnString::IString m_label;
    tnMarkPosition m_position;
    bool m_axisOnlyOffset = false;
    int m_id;
    int m_state = Normal;
    bool m_dirty = true;
    void* m_data;
    bool m_cornerAnchored = false;
};

/// An item the user can choose. It owns its tooltip and option box; its
/// submenu belongs to whoever made it, and the links between the item and its
/// submenu are cut when either is destroyed.
class TNUI_EXPORT tnMarkMenuItem : public tnMarkItem {
public:
    /// The tooltip is made through the tooltip factory.
    tnMarkMenuItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                   const tnMarkPosition& anchor, void* data);
    ~tnMarkMenuItem() override;

    /// A disabled state passes to the option box, and so does leaving it.
    void setState(int state) override;
    tnMarkMenuItem* asMenuItem() override { return this; }
    /// The same, read-only.
    const tnMarkMenuItem* asMenuItem() const override { return this; }
    /// The width a list imposes on its items; 0 for none.
    virtual void setMarkWidth(float width);
    /// Brings the item up to date before a drawing; calls refreshHook.
    virtual void refresh(tnMarkRender& render);
    /// Draws the item at a given point; nothing here.
    virtual void drawAt(float x, float y, tnMarkRender& render);
    /// Draws the tooltip beside the item's box.
    virtual void showToolTip(tnMarkRender& render);
    /// Called by refresh() when a menu's items are redrawn; nothing here.
    virtual void refreshHook(tnMarkRender& render);

    /// Null when no tooltip factory is installed.
    tnTooltip* getToolTip() const { return m_tooltip; }
    /// Sets the tooltip.
    void setToolTip(const tnString::IString& text);
    /// Whether it is in overflow.
    bool isInOverflow() const { return m_inOverflow; }
    /// Sets the in overflow.
    void setInOverflow(bool inOverflow) { m_inOverflow = inOverflow; }
    /// Whether it has separator after.
    bool hasSeparatorAfter() const { return m_separatorAfter; }
    /// Sets the separator after.
    void setSeparatorAfter(bool separatorAfter) { m_separatorAfter = separatorAfter; }
    /// Stores the check state and makes the item a check item.
    void setChecked(bool checked);
    /// Stores the check state and makes the item a radio item.
    void setRadioChecked(bool checked);
    /// Whether it is checkable.
    bool isCheckable() const { return m_checkable; }
    /// Whether it is radio.
    bool isRadio() const { return m_radio; }
    /// Whether it is checked.
    bool isChecked() const { return m_checked; }
    /// The mark width.
    float getMarkWidth() const { return m_markWidth; }
    /// The submenu.
    tnMarkMenu* getSubmenu() const { return m_submenu; }
    /// Also makes this item the submenu's parent item.
    void setSubmenu(tnMarkMenu* submenu);
    /// The option box.
    tnMarkOptionBoxItem* getOptionBox() const { return m_optionBox; }
    /// Takes the box, deleting the one held before. A box that already
    /// belongs to another item raises ImplError.
    void setOptionBox(tnMarkOptionBoxItem* box);

private:
    tnTooltip* m_tooltip;
    bool m_inOverflow = false;
    bool m_separatorAfter = false;
    bool m_checkable = false;
    bool m_radio = false;
    bool m_checked = false;
    float m_markWidth = 0.0f;
    tnMarkMenu* m_submenu = nullptr;
    tnMarkOptionBoxItem* m_optionBox = nullptr;
};
