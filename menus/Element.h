#pragma once

#include "../foundation/Export.h"

#include "../commands/Keybinding.h"
#include "../entity/DecoratedEntity.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"

#include <cstdint>

namespace tnUI {

class CommandInstance;
class Group;

/// A node of a menu tree: a decorated entity with an order value used by
/// sorted insertion, an optional keybinding and a parent. Items, separators
/// and groups are its three kinds.
///
/// The keybinding is a forwarding member: its messages are passed on by the
/// element as "Forward" messages.
class TNUI_EXPORT Element : public DecoratedEntity {
public:
    /// Whether it is a item.
    virtual bool isItem() const;
    /// Whether it is a separator.
    virtual bool isSeparator() const;
    /// Whether it is a group.
    virtual bool isGroup() const;
    /// Every item counts as a command.
    virtual bool isCommand() const;
    /// Whether it is enabled.
    virtual bool getEnabled() const = 0;
    /// The command instance that choosing this element runs: a command
    /// instance itself, a command item's command, or null.
    virtual CommandInstance* commandToRun() const;

    /// The order value.
    double getOrderValue() const noexcept { return m_order; }
    /// Sets the order value.
    void setOrderValue(double order) noexcept { m_order = order; }

    /// The group that received this element last. Not counted, and not reset
    /// when that group dies while the element lives on elsewhere.
    Element* getParent() const noexcept { return m_parent; }
    /// Sets the parent.
    void setParent(Element* parent) noexcept { m_parent = parent; }

    /// The keybinding.
    Keybinding* getKeybinding() const noexcept { return m_keybinding.get(); }
    /// Stops forwarding the old keybinding, holds keybinding (null clears it),
    /// forwards it, and sends "Binding", also when it is the one already held.
    void setKeybinding(Keybinding* keybinding);

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    Element() = default;

    /// Lowers e's order to ref's when ref's is smaller. A NaN on either side
    /// compares false and leaves e as it is.
    static void orderItemBefore(const Element* ref, Element* e);
    /// Raises e's order to ref's when ref's is greater; NaN as above.
    static void orderItemAfter(const Element* ref, Element* e);

private:
    friend class Group;

    /// The groups whose element lists hold this element, once per group, kept
    /// by Group. They let a group decide whether its tree holds an element by
    /// walking up from the element instead of down the whole tree.
    void _addHolder(const Group* group);
    void _removeHolder(const Group* group);
    /// True when group is reachable upwards from this element through the
    /// groups that hold it: that is, group's tree holds this element.
    bool _isHeldWithin(const Group* group) const;
    bool _reachesUpwards(const Group* group, std::uint64_t walk) const;

    Element* m_parent = nullptr;
    double m_order = 50.0;
    tn::Reference<Keybinding> m_keybinding;
    /// The first holder inline, so that the usual element held by one group
    /// needs no allocation; any further holders after it.
    const Group* m_holder = nullptr;
    tn::vector<const Group*> m_moreHolders;
    /// The last upward walk that visited this element, so that a walk passes
    /// each group once however the groups share their elements.
    mutable std::uint64_t m_lastWalk = 0;
};

/// A leaf of a menu tree: something the user can choose. Always enabled here;
/// command instances and command items refine it.
class TNUI_EXPORT Item : public Element {
public:
    Item() = default;

    /// Whether it is a item.
    bool isItem() const override;
    /// Whether it is enabled.
    bool getEnabled() const override;

    /// The priority.
    double getPriority() const noexcept { return m_priority; }
    /// Sets the priority.
    void setPriority(double priority) noexcept { m_priority = priority; }

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    double m_priority = 50.0;
};

/// A dividing line between the elements of a group.
class TNUI_EXPORT Separator : public Element {
public:
    Separator() = default;

    /// Whether it is a separator.
    bool isSeparator() const override;
    /// Whether it is enabled.
    bool getEnabled() const override;

    bool dump(DumpFile& file, int level, const char* label) const override;
};

} // namespace tnUI
