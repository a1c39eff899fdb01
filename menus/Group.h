#pragma once

#include "../foundation/Export.h"

#include "../foundation/CString.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "Element.h"

namespace tnUI {

/// An ordered list of elements, itself an element, so groups nest. A group
/// holds a counted reference on each element and passes on every message of
/// its elements as a "Forward" message; a listener of the root group of a menu
/// thus hears of any change anywhere below it. Adding or removing an element
/// sends "Content".
///
/// An element may sit in several groups at once, but only once in any one
/// group's tree: inserting an element that the tree already holds, directly or
/// in a nested group, raises CycleError, and so does inserting a group into
/// itself or into one of its own descendants.
class TNUI_EXPORT Group : public Element {
public:
    /// How a toolkit binding should lay the group out.
    enum ELayoutPreference : int {
        NoPreference = 0,
        List = 1,
        Matrix = 2,
        EmbeddedInParent = 3,
        Radial = 4,
    };

    Group() = default;
    /// Releases the elements; their parent pointers are left as they are.
    ~Group() override;

    /// Whether it is a group.
    bool isGroup() const override;
    /// True when at least one element is enabled; an empty group is disabled.
    bool getEnabled() const override;

    /// The number of elements.
    int getNumElements() const noexcept { return static_cast<int>(m_elements.size()); }
    /// The i-th element; IndexError unless 0 <= i < getNumElements().
    Element* getElement(int i) const;

    /// Appends e (NullError when null), first raising e's order to the last
    /// element's.
    void appendItem(Element* e);
    /// Inserts e just before / just after the first element named name. A null
    /// e raises NullError; an empty name, or one that no element has, raises
    /// IndexError.
    void insertItem(const tnString::CString& name, Element* e);
    /// See insertItem().
    void appendItem(const tnString::CString& name, Element* e);
    /// Inserts e before the first element whose order is greater than or equal
    /// to e's (before its equals) / strictly greater (after its equals); at the
    /// end when there is none. NullError when e is null.
    void insertItemSorted(Element* e);
    /// See insertItemSorted().
    void appendItemSorted(Element* e);
    /// Takes the i-th element out (IndexError unless it exists): its parent
    /// becomes null, its messages are no longer passed on, and "Content" is
    /// sent.
    void removeItem(int i);

    /// Depth-first search from index 0 for e itself, or for the first element
    /// named name. On success path holds the chain from this group down to the
    /// element, both included; on failure it is empty.
    bool find(const Element* e, tn::vector<Element*>& path);
    /// See find(const Element*, tn::vector<Element*>&).
    bool find(const tnString::CString& name, tn::vector<Element*>& path);

    /// The layout preference.
    ELayoutPreference getLayoutPreference() const noexcept { return m_layoutPreference; }
    /// Sets the layout preference.
    void setLayoutPreference(ELayoutPreference preference) noexcept { m_layoutPreference = preference; }

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// Every insertion ends here. Checked in this order: null e (NullError),
    /// index outside 0..count (IndexError), e already in this group's tree
    /// (CycleError), e being this group or one that holds it (CycleError);
    /// nothing changes on an error. Then e's order is bounded by
    /// its new neighbour (see orderItemBefore and orderItemAfter), e is
    /// inserted at index, becomes its parent and is forwarded, and "Content"
    /// is sent.
    void insertItem(int index, Element* e);
    /// True when e is an element of this group or, recursively, of a group
    /// among its elements.
    bool contains(const Element* e) const;
    /// The searches of find, appending to path: on failure path is left as it
    /// was.
    bool findItem(const Element* e, tn::vector<Element*>& path);
    /// See findItem(const Element*, tn::vector<Element*>&).
    bool findItem(const tnString::CString& name, tn::vector<Element*>& path);

private:
    /// The index of the first element named name; IndexError when there is
    /// none or name is empty.
    int _indexOfName(const tnString::CString& name) const;
    /// True when e is this group or a group whose tree holds this group.
    bool _encloses(const Element* e) const;
    template <class Matches>
    bool _search(const Matches& matches, tn::vector<Element*>& path);

    ELayoutPreference m_layoutPreference = NoPreference;
    tn::vector<tn::Reference<Element>> m_elements;
};

/// "NoPreference", "List", "Matrix", "EmbeddedInParent", "Radial"; other
/// values raise ImplError.
TNUI_EXPORT const char* enumName(Group::ELayoutPreference preference);

} // namespace tnUI
