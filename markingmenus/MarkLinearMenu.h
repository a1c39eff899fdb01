#pragma once

#include "../foundation/Export.h"

#include "MarkMenu.h"

/// The list form of the marking menu: the items hang in one column below the
/// origin, 2 units apart (4 after a separator), and are chosen by pointing at
/// them rather than by direction.
class TNUI_EXPORT tnMarkLinearMenu : public tnMarkMenu {
public:
    tnMarkLinearMenu();
    ~tnMarkLinearMenu() override;

    /// Back to the parent when the pointer has left the list by more than 10
    /// units and the parent no longer points at the item this list hangs
    /// from, or, if it still does, when the pointer is over the parent's own
    /// parent centre.
    bool isOverParentCenter(float dx, float dy) override;
    /// Highlights the item under the pointer, if any.
    bool hover(float dx, float dy, bool force) override;
    /// The list background.
    void drawCenter(tnMarkRender& render) override;

    using tnMarkMenu::addImageItem;
    /// The image item of the radial menu, for a list too.
    using tnMarkMenu::addSubmenuImageItem;

    /// Appends an item the menu then owns, as a list item. A null item raises
    /// NullError.
    virtual tnMarkMenuItem* appendItem(tnMarkMenuItem* item);
    /// Adds a text item below the existing ones.
    virtual tnMarkMenuItem* addItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                    const tnMarkFont& font, void* data);
    /// Lists show no pictures: null, nothing added.
    virtual tnMarkMenuItem* addImageItem(const tnString::IString& normalImage,
                                         const tnString::IString& highlightedImage,
                                         const tnString::IString& disabledImage, const tnString::IString& tooltip,
                                         int id, void* data);
    /// addItem with id 0, the new item opening submenu.
    virtual tnMarkMenuItem* addSubmenuItem(const tnString::IString& label, const tnString::IString& tooltip,
                                           tnMarkMenu* submenu, const tnMarkFont& font, void* data);
    /// Lists show no pictures: null, nothing added.
    virtual tnMarkMenuItem* addSubmenuImageItem(const tnString::IString& normalImage,
                                                const tnString::IString& highlightedImage,
                                                const tnString::IString& tooltip, tnMarkMenu* submenu);
    /// The widest item's width, imposed on every item. Measured once.
    float getListWidth();
    /// The height of the stacked items with their gaps. Measured once.
    float getListHeight();
    /// Measures the items again and stacks them anew, for labels whose size
    /// changed.
    void layOutItems() override;

private:
    /// Height of the items stacked so far, with their gaps.
    float _stackHeight() const;

    float m_listWidth = -1.0f;
    float m_listHeight = -1.0f;
};
