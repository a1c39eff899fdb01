#pragma once

#include "../foundation/Export.h"

// The marking menu: items at compass directions around a centre, chosen by
// the direction of the pointer from the centre, with a list of overflow items
// below the centre for those without a direction. The menu places its items,
// follows the pointer and draws itself through a renderer; a toolkit derives
// from it to create its own text items and to run the menu on screen.

#include "MarkFont.h"
#include "MarkItem.h"
#include "MarkPosition.h"

#include "../foundation/IString.h"
#include "../foundation/Linear.h"

#include <vector>

class tnMarkBitmapOverflowItem;
class tnMarkImage;
class tnMarkImageItem;
class tnMarkLayeredBitmapOverflow;
class tnMarkOptionBoxItem;
class tnMarkRender;
class tnMarkTextItem;

/// The marking menu: items at compass directions around a centre, chosen
/// by the direction of the pointer from the centre, with a list of overflow
/// items below the centre for those without a direction. The menu places its
/// items, follows the pointer and draws itself through a renderer; a toolkit
/// derives from it to create its own text items and to run the menu on screen.
class TNUI_EXPORT tnMarkMenu {
public:
    tnMarkMenu() : tnMarkMenu(false) {}
    tnMarkMenu(const tnMarkMenu&) = delete;
    tnMarkMenu& operator=(const tnMarkMenu&) = delete;
    /// Deletes the items and the overflow bitmap item.
    virtual ~tnMarkMenu();

    /// Adds an item around the centre at that mark position, or at the next
    /// automatic position for tnMarkPosition::Auto. Null, with nothing added,
    /// when the position is not a free direction.
    virtual tnMarkMenuItem* addTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                        int markPosition, const tnMarkFont& font, void* data);
    /// The same with pictures for the normal, highlighted and disabled states
    /// (the last may be empty). Raises tnMarkBadImageException, with nothing
    /// added, when the pictures cannot be used.
    virtual tnMarkMenuItem* addImageItem(const tnString::IString& normalImage,
                                         const tnString::IString& highlightedImage,
                                         const tnString::IString& disabledImage, const tnString::IString& tooltip,
                                         int id, int markPosition, void* data);
    /// As above with id 0, the new item opening submenu.
    virtual tnMarkMenuItem* addSubmenuTextItem(const tnString::IString& label, const tnString::IString& tooltip,
                                               tnMarkMenu* submenu, int markPosition, const tnMarkFont& font,
                                               void* data);
    /// As addSubmenuTextItem, with a picture for each state.
    virtual tnMarkMenuItem* addSubmenuImageItem(const tnString::IString& normalImage,
                                                const tnString::IString& highlightedImage,
                                                const tnString::IString& disabledImage,
                                                const tnString::IString& tooltip, tnMarkMenu* submenu, int markPosition,
                                                void* data);
    /// Adds a text item at the end of the overflow list below the centre.
    virtual tnMarkMenuItem* addOverflowItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                            const tnMarkFont& font, void* data);
    /// Hangs the platform's bitmap of that name below the overflow list,
    /// replacing any held before. Null, with nothing changed, when the
    /// platform has no such bitmap (always, unless a toolkit supplies them).
    virtual tnMarkBitmapOverflowItem* addBitmapOverflowItem(const tnString::IString& bitmapName, int id, void* data);
    /// Lays the platform's bitmap of that name over the overflow bitmap item.
    /// Null when there is no such item or no such bitmap.
    virtual tnMarkBitmapOverflowItem* addBitmapOverflowLayer(const tnString::IString& bitmapName);
    /// Gives the most recently added item an option box; null on an empty
    /// menu.
    virtual tnMarkOptionBoxItem* addOptionBox(int id, const tnString::IString& tooltip, void* data);
    /// Puts a separator after the most recently added item when it is a list
    /// item; nothing otherwise.
    virtual void addSeparator();
    /// Null for an index out of range.
    virtual tnMarkItem* itemAt(int index);
    /// The first item anchored at that mark position, or null.
    virtual tnMarkItem* itemAtPosition(int markPosition);
    /// The overflow bitmap item.
    virtual tnMarkBitmapOverflowItem* getOverflowBitmapItem();
    /// For all menus: replaces the two centre pictures, loading them through
    /// the image factory; an empty file name leaves that picture unset.
    virtual void setCenterImages(const tnString::IString& normalImage, const tnString::IString& highlightedImage);
    /// Sets the always show center.
    virtual void setAlwaysShowCenter(bool alwaysShowCenter);
    /// Distance of the anchors of items added from now on.
    virtual void setRadius(float radius);
    /// Sets the center radius.
    virtual void setCenterRadius(float centerRadius);
    /// Sets the max radius.
    virtual void setMaxRadius(float maxRadius);
    /// The largest angle, in degrees, between the pointer's direction and an
    /// item that can still be chosen by direction.
    virtual void setMaxAngle(float degrees);
    /// Sets the marker style.
    virtual void setMarkerStyle(int markerStyle);
    /// Sets the compact.
    virtual void setCompact(bool compact);
    /// Sets the show all submenus.
    virtual void setShowAllSubmenus(bool showAllSubmenus);
    /// The always show center.
    virtual bool getAlwaysShowCenter();
    /// The show all submenus.
    virtual bool getShowAllSubmenus();
    /// Handed on to every submenu popped from this menu.
    virtual void setPopupMode(int popupMode);
    /// Runs the menu at the screen point (x, y) and returns the chosen item's
    /// id, -1 when nothing was chosen.
    virtual int popup(float x, float y, bool flag);
    /// Runs the menu at the screen point (x, y) until the user is done and
    /// stores the chosen item's id and data (-1 and null for none).
    virtual void popup(float x, float y, int* id, void** data, bool flag) = 0;
    /// Draws the parents, the centre, the overflow list and every item;
    /// refreshItems brings the items up to date first.
    virtual void draw(tnMarkRender& render, bool refreshItems);
    /// Whether the pointer offset (dx, dy) lies on the centre of the parent
    /// menu.
    virtual bool isOverParentCenter(float dx, float dy);
    /// Moves the highlight to the item that the pointer offset (dx, dy)
    /// points at; force treats the pointer as if it were in the overflow list
    /// (no choice by direction). True when something visible changed.
    virtual bool hover(float dx, float dy, bool force);
    /// Draws the centre of the menu.
    virtual void drawCenter(tnMarkRender& render);
    /// Sets the beyond max radius.
    virtual void setBeyondMaxRadius(bool beyondMaxRadius);
    /// Called for the item losing and the item gaining the highlight, and for
    /// the highlighted item on every hover.
    virtual void itemHovered(tnMarkItem* item);

    /// The center radius.
    float getCenterRadius() const { return m_centerRadius; }
    /// The max radius.
    float getMaxRadius() const { return m_maxRadius; }
    /// The radius.
    float getRadius() const { return m_radius; }
    /// In radians.
    float getMaxAngle() const { return m_maxAngle; }
    /// The title.
    const tnString::IString& getTitle() const { return m_title; }
    /// Sets the title.
    void setTitle(const tnString::IString& title) { m_title = title; }
    /// The subtitle.
    const tnString::IString& getSubtitle() const { return m_subtitle; }
    /// Sets the subtitle.
    void setSubtitle(const tnString::IString& subtitle) { m_subtitle = subtitle; }
    /// The menu this one was popped from. A parent that is this menu or one of
    /// its submenus raises CycleError.
    tnMarkMenu* getParentMenu() const { return m_parentMenu; }
    /// Sets the parent menu.
    void setParentMenu(tnMarkMenu* parentMenu);
    /// The parent's centre relative to this menu's centre, y up.
    void getParentOffset(float& x, float& y) const
    {
        x = m_parentOffsetX;
        y = m_parentOffsetY;
    }
    /// See getParentOffset().
    void setParentOffset(float x, float y)
    {
        m_parentOffsetX = x;
        m_parentOffsetY = y;
    }
    /// The highlighted item.
    tnMarkItem* getHighlightedItem() const { return m_highlightedItem; }
    /// The parent item.
    tnMarkMenuItem* getParentItem() const { return m_parentItem; }
    /// Sets the parent item.
    void setParentItem(tnMarkMenuItem* parentItem) { m_parentItem = parentItem; }
    /// Whether it has parent item.
    bool hasParentItem() const { return m_parentItem != nullptr; }
    /// Whether it is linear.
    bool isLinear() const { return m_isLinear; }
    /// Whether the items are shown (after the pointer rested) or hidden.
    bool areItemsVisible() const { return m_itemsVisible; }
    /// See areItemsVisible().
    void showItems() { m_itemsVisible = true; }
    /// See areItemsVisible().
    void hideItems() { m_itemsVisible = false; }
    /// Whether it is center highlighted.
    bool isCenterHighlighted() const { return m_centerHighlighted; }
    /// Sets the center highlighted.
    void setCenterHighlighted(bool highlighted) { m_centerHighlighted = highlighted; }
    /// The origin.
    const tnMarkPosition& getOrigin() const { return m_origin; }
    /// Whether it is beyond max radius.
    bool isBeyondMaxRadius() const { return m_beyondMaxRadius; }
    /// Whether it has highlight changed.
    bool hasHighlightChanged() const { return m_highlightChanged; }
    /// Whether it is compact.
    bool isCompact() const { return m_compact; }
    /// The popup mode.
    int getPopupMode() const { return m_popupMode; }
    /// The marker style.
    int getMarkerStyle() const { return m_markerStyle; }
    /// The draw overflow bitmap.
    bool getDrawOverflowBitmap() const { return m_drawOverflowBitmap; }
    /// Sets the draw overflow bitmap.
    void setDrawOverflowBitmap(bool draw) { m_drawOverflowBitmap = draw; }
    /// Whether the pointer has entered the overflow list and not yet left it
    /// upward.
    bool isInOverflowList() const { return m_inOverflowList; }
    /// Sets the in overflow list.
    void setInOverflowList(bool inOverflowList) { m_inOverflowList = inOverflowList; }
    /// Moves the highlight to item (null for none) as a hover that found it
    /// would; true when the highlight changed. A disabled item is
    /// highlighted without changing its state, so it is never chosen.
    bool highlightItem(tnMarkItem* item) { return _moveHighlight(item); }
    /// Forgets the pointer's traces of an earlier popup: the highlight, the
    /// overflow list entered, the parent's centre highlighted, beyond the
    /// maximum radius.
    void forgetPointer();

    /// The number of items.
    int getNumItems() const { return static_cast<int>(m_items.size()); }
    /// All items in the order they were added.
    const std::vector<tnMarkItem*>& getItems() const { return m_items; }
    /// Index of the first overflow item, -1 without one.
    int getFirstOverflowIndex() const { return m_firstOverflowIndex; }
    /// Whether an item may be added at that mark position: a direction no
    /// item is anchored at.
    bool isPositionFree(int markPosition) const;
    /// The next automatic position: North first, then clockwise through all
    /// sixteen directions and round again. Advances on every call.
    int takeNextAutoPosition();
    /// Appends an item the menu then owns and returns it; null gives null.
    /// An item already in the menu raises DuplicateError, an option box that
    /// belongs to an item ImplError. The first item off the four axes ends the
    /// axis-only layout of every item.
    tnMarkItem* insertItem(tnMarkItem* item);
    /// The highlighted overflow bitmap item, else the highlighted item, else
    /// null: a disabled item is never chosen.
    tnMarkItem* getSelectedItem() const;
    /// The first enabled item whose box holds the point, or its option box
    /// when the point also lies in that (while the items are shown).
    tnMarkItem* itemAtPoint(float dx, float dy) const;
    /// Index of the item closest in direction to the pointer offset, within
    /// the maximum angle; -1 for none. Overflow items and items after them
    /// take no part.
    int nearestItemByAngle(float dx, float dy) const;
    /// The box around every item and the centre (y up: bottom <= top).
    void getExtents(float& right, float& bottom, float& left, float& top);
    /// Width and height of the overflow list, 0 without one. The width is
    /// measured once: that lays the list out as a column of equal width
    /// centred under the menu.
    float getOverflowWidth();
    /// The overflow height.
    float getOverflowHeight();
    /// Lays the items out anew for their present sizes, as a toolkit does
    /// each time it pops the menu up. The radial items move out from the
    /// centre, all by the same distance, just far enough that no two of their
    /// boxes come nearer than 2 units and none covers the centre or the
    /// overflow list; they never come nearer than where they were added. The
    /// overflow list, measured anew, stacks below them. A list
    /// (tnMarkLinearMenu) stacks its items anew.
    virtual void layOutItems();

    /// Shared by all menus: true while a menu is popped but not yet shown.
    static void setGesturePhase(bool gesturePhase);
    /// Whether it is gesture phase.
    static bool isGesturePhase();
    /// The center image.
    static tnMarkImage* getCenterImage();
    /// The highlighted center image.
    static tnMarkImage* getHighlightedCenterImage();

protected:
    /// A linear menu keeps the model but stacks its items in a list.
    explicit tnMarkMenu(bool isLinear);

    /// Creates the toolkit's text item.
    virtual tnMarkTextItem* createTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                           const tnMarkPosition& anchor, void* data, const tnMarkFont& font) = 0;
    /// Creates an image item with its pictures loaded; raises
    /// tnMarkBadImageException, creating nothing, when they cannot be used.
    virtual tnMarkImageItem* createImageItem(const tnString::IString& normalImage,
                                             const tnString::IString& highlightedImage,
                                             const tnString::IString& disabledImage, const tnString::IString& tooltip,
                                             int id, const tnMarkPosition& anchor, void* data);
    /// The platform's bitmap of that name for the overflow bitmap item, owned
    /// by the caller; there is none here.
    virtual tnMarkImage* loadOverflowBitmap(const tnString::IString& bitmapName);

    /// Moves the highlight to candidate (which may be null); true when it
    /// changed.
    bool _moveHighlight(tnMarkItem* candidate);

private:
    /// The anchor of a new radial item, or false when markPosition is taken.
    bool _radialAnchor(int& markPosition, tnMarkPosition& anchor);
    /// Height of the overflow items (each plus a 2-unit gap, 2 more after a
    /// separator).
    float _overflowItemsHeight() const;
    /// Whether the point lies in the overflow list's area.
    bool _inOverflowArea(float dx, float dy);

    std::vector<tnMarkItem*> m_items;
    tnMarkLayeredBitmapOverflow* m_overflowBitmapItem = nullptr;
    tnString::IString m_title{"untitled"};
    float m_centerRadius = 25.0f;
    float m_maxRadius = 250.0f;
    float m_radius = 30.0f;
    bool m_axisOnly = true;
    bool m_itemsVisible = true;
    bool m_beyondMaxRadius = false;
    bool m_highlightChanged = true;
    tnMarkMenu* m_parentMenu = nullptr;
    float m_parentOffsetX = 0.0f;
    float m_parentOffsetY = 0.0f;
    tnMarkPosition m_origin{tnMarkPosition::East, 0.0f};
    tnMarkItem* m_highlightedItem = nullptr;
    tnMarkMenuItem* m_parentItem = nullptr;
    bool m_isLinear;
    bool m_compact = true;
    int m_popupMode = 1;
    float m_overflowWidth = -1.0f;
    float m_overflowHeight = -1.0f;
    /// How far layOutItems last moved the radial items out from where they
    /// were added.
    float m_radialGrowth = 0.0f;
    tnString::IString m_subtitle;
    bool m_alwaysShowCenter = false;
    bool m_centerHighlighted = false;
    int m_nextAutoPosition = tnMarkPosition::North;
    int m_firstOverflowIndex = -1;
    float m_maxAngle;
    bool m_drawOverflowBitmap = true;
    bool m_showAllSubmenus = false;
    bool m_inOverflowList = false;
    int m_markerStyle = 0;
};
