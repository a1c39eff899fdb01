#pragma once

#include "../foundation/Export.h"

#include "../entity/Entity.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "Element.h"

namespace tnUI {

class CommandGroup;

/// A node of a compiled menu tree: a counted reference to a live element, so
/// that a toolkit binding reads enabled state, labels and icons from the
/// element whenever it asks. The node's kind is its element's.
class TNUI_EXPORT CompiledCommandNode : public Entity {
public:
    /// Holds e; NullError when e is null.
    explicit CompiledCommandNode(Element* e);
    ~CompiledCommandNode() override;

    /// The element.
    Element* getElement() noexcept { return m_element.get(); }
    /// The element.
    const Element* getElement() const noexcept { return m_element.get(); }

    /// Whether it is a group.
    bool isGroup() const { return m_element->isGroup(); }
    /// Whether it is command.
    bool isCommand() const { return m_element->isCommand(); }
    /// Whether it is a separator.
    bool isSeparator() const { return m_element->isSeparator(); }

    /// The entity's line only.
    bool dump(DumpFile& file, int level, const char* label) const override;
    /// Lists the node on the diagnostic output at level: "Menu item: <label>"
    /// for a command (its name when it has no label), a line of dashes for a
    /// separator, nothing otherwise.
    virtual void debugui(int level);

private:
    tn::Reference<Element> m_element;
};

/// A compiled group: a node for the source group and the compiled children in
/// display order, one reference each.
class TNUI_EXPORT CompiledCommandGroup : public CompiledCommandNode {
public:
    /// A node for group (NullError when null) with no items.
    explicit CompiledCommandGroup(Element* group);
    ~CompiledCommandGroup() override;

    /// The number of items.
    int getNumItems() const noexcept { return static_cast<int>(m_items.size()); }
    /// The i-th item; IndexError unless 0 <= i < getNumItems().
    CompiledCommandNode* getItem(int i);
    /// The same, read-only.
    const CompiledCommandNode* getItem(int i) const;

    /// Appends node with one reference. NullError when null; CycleError when
    /// node is this group or a compiled group whose tree holds it.
    void addItem(CompiledCommandNode* node);
    /// Removes the i-th item and releases it; IndexError unless it exists.
    void eraseItem(int i);
    /// Puts the items of the i-th item, a compiled group, in its place, in
    /// their order, and removes it. IndexError unless the item exists,
    /// ImplError when it is not a compiled group; nothing changes then.
    void embedGroup(int i);

    bool dump(DumpFile& file, int level, const char* label) const override;
    /// One indentation level in, "Menu implementation with <n> items: <label>"
    /// at level 1, then, one level further in, every item's listing at level.
    void debugui(int level) override;

private:
    friend class CommandGroupCompiler;

    bool _holds(const CompiledCommandNode* node) const;

    tn::vector<tn::Reference<CompiledCommandNode>> m_items;
};

/// Compiles g (NullError when null) into a tree ready for a toolkit binding:
/// sub-groups whose layout preference is EmbeddedInParent are merged into
/// their parent (a chain of them into the first ancestor that is not
/// embedded), sub-groups left empty are dropped, and separators are tidied at
/// every level: none leading, none trailing, runs shrunk to their first.
/// Elements that are neither groups, commands nor separators are skipped. The
/// tree is a snapshot of g's structure now; it holds the elements alive. The
/// root is never embedded and may have no items. Time is linear in the size
/// of g's tree.
TNUI_EXPORT tn::Reference<CompiledCommandGroup> compileCommandGroup(CommandGroup* g);

} // namespace tnUI
