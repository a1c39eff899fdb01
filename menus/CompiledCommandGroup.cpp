#include "CompiledCommandGroup.h"

#include "../entity/Error.h"
#include "../entity/Label.h"
#include "../foundation/AppOutput.h"
#include "../foundation/CString.h"
#include "CommandGroup.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>
#include <utility>

namespace tnUI {

namespace {

// The text a listing shows for e: its label, else its name.
tnString::CString listedText(const Element& e)
{
    const Label* label = e.getLabel();
    return label ? label->asMultibyte() : tnString::CString(e.nameAsChar());
}

// Raises the diagnostic indentation for its lifetime, so that a host's
// exception thrown from inside a listing leaves it as it was.
class Indent {
public:
    Indent() { tnOS::AppOutput::getInstance().increaseIndentLevel(); }
    ~Indent() { tnOS::AppOutput::getInstance().decreaseIndentLevel(); }
    Indent(const Indent&) = delete;
    Indent& operator=(const Indent&) = delete;
};

Element* checked(Element* e)
{
    if (!e)
        throw NullError();
    return e;
}

} // namespace

CompiledCommandNode::CompiledCommandNode(Element* e) : m_element(checked(e))
{}

CompiledCommandNode::~CompiledCommandNode() = default;

bool CompiledCommandNode::dump(DumpFile& file, int level, const char* label) const
{
    return Entity::dump(file, level, label);
}

void CompiledCommandNode::debugui(int level)
{
    // The element's answers are host code, which may drop this tree.
    const auto self = tn::keepAlive(this);
    const Element& e = *m_element;
    if (e.isCommand())
        tnOS::AppOutput::getInstance()(level, "Menu item: %s\n", listedText(e).asChar());
    else if (e.isSeparator())
        tnOS::AppOutput::getInstance()(level, "Menu item: ------------\n");
}

CompiledCommandGroup::CompiledCommandGroup(Element* group) : CompiledCommandNode(group)
{}

CompiledCommandGroup::~CompiledCommandGroup()
{
    // Out of the list before any item may die, so that destruction listeners
    // see an empty group rather than a half-cleared one.
    tn::vector<tn::Reference<CompiledCommandNode>> released;
    released.swap(m_items);
}

CompiledCommandNode* CompiledCommandGroup::getItem(int i)
{
    if (i < 0 || i >= getNumItems())
        throw IndexError();
    return m_items[static_cast<std::size_t>(i)].get();
}

const CompiledCommandNode* CompiledCommandGroup::getItem(int i) const
{
    return const_cast<CompiledCommandGroup*>(this)->getItem(i);
}

bool CompiledCommandGroup::_holds(const CompiledCommandNode* node) const
{
    // Iterative, each compiled group visited once however the trees share
    // their nodes.
    std::unordered_set<const CompiledCommandGroup*> seen{this};
    tn::vector<const CompiledCommandGroup*> pending{this};
    while (!pending.empty()) {
        const CompiledCommandGroup* g = pending.back();
        pending.pop_back();
        for (const tn::Reference<CompiledCommandNode>& item : g->m_items) {
            if (item == node)
                return true;
            const auto* sub = dynamic_cast<const CompiledCommandGroup*>(item.get());
            if (sub && seen.insert(sub).second)
                pending.push_back(sub);
        }
    }
    return false;
}

void CompiledCommandGroup::addItem(CompiledCommandNode* node)
{
    if (!node)
        throw NullError();
    const auto* group = dynamic_cast<const CompiledCommandGroup*>(node);
    if (group && (group == this || group->_holds(this)))
        throw CycleError();
    m_items.emplace_back(node);
}

void CompiledCommandGroup::eraseItem(int i)
{
    if (i < 0 || i >= getNumItems())
        throw IndexError();
    const auto position = m_items.begin() + i;
    // Out of the list before it may die.
    const tn::Reference<CompiledCommandNode> released = std::move(*position);
    m_items.erase(position);
}

void CompiledCommandGroup::embedGroup(int i)
{
    const tn::Reference<CompiledCommandGroup> embedded(dynamic_cast<CompiledCommandGroup*>(getItem(i)));
    if (!embedded)
        throw ImplError();
    tn::vector<tn::Reference<CompiledCommandNode>> items;
    items.reserve(m_items.size() - 1 + embedded->m_items.size());
    std::move(m_items.begin(), m_items.begin() + i, std::back_inserter(items));
    items.insert(items.end(), embedded->m_items.begin(), embedded->m_items.end());
    std::move(m_items.begin() + i + 1, m_items.end(), std::back_inserter(items));
    m_items.swap(items);
}

bool CompiledCommandGroup::dump(DumpFile& file, int level, const char* label) const
{
    return CompiledCommandNode::dump(file, level, label);
}

void CompiledCommandGroup::debugui(int level)
{
    const auto self = tn::keepAlive(this);
    tnOS::AppOutput& out = tnOS::AppOutput::getInstance();
    const Indent outer;
    out(1, "Menu implementation with %d items: %s\n", getNumItems(), listedText(*getElement()).asChar());
    const Indent inner;
    // By index and holding each item: a host's answer may change the list.
    for (int i = 0; i < getNumItems(); ++i) {
        const tn::Reference<CompiledCommandNode> item = m_items[static_cast<std::size_t>(i)];
        item->debugui(level);
    }
}

// Builds a compiled tree in one walk of the source: an embedded sub-group's
// elements go straight into the list of the compiled group being built, and
// each compiled group is tidied as soon as its list is complete. The result is
// the tree that building every group, then merging embedded groups bottom-up,
// then tidying bottom-up would give, with each element visited once.
class CommandGroupCompiler {
public:
    using Items = tn::vector<tn::Reference<CompiledCommandNode>>;

    static tn::Reference<CompiledCommandGroup> compile(Element* group)
    {
        // The new node holds group alive while it is walked.
        tn::Reference<CompiledCommandGroup> result(new CompiledCommandGroup(group));
        if (auto* g = dynamic_cast<Group*>(group))
            appendElements(*g, result->m_items);
        tidy(result->m_items);
        return result;
    }

private:
    static void appendElements(Group& group, Items& out)
    {
        // By index and holding each element: the elements' answers are host
        // code, which may change the group.
        for (int i = 0; i < group.getNumElements(); ++i) {
            const tn::Reference<Element> e = group.getElement(i);
            if (e->isGroup()) {
                auto* sub = dynamic_cast<Group*>(e.get());
                if (sub && sub->getLayoutPreference() == Group::EmbeddedInParent) {
                    appendElements(*sub, out);
                } else {
                    const tn::Reference<CompiledCommandGroup> compiled = compile(e.get());
                    if (compiled->getNumItems() > 0)
                        out.emplace_back(compiled.get());
                }
            } else if (e->isCommand() || e->isSeparator()) {
                out.push_back(tn::Reference<CompiledCommandNode>(new CompiledCommandNode(e.get())));
            }
        }
    }

    // Drops leading and trailing separators and all but the first of every
    // run of separators.
    static void tidy(Items& items)
    {
        std::size_t kept = 0;
        bool afterSeparator = true; // so that leading separators go
        for (tn::Reference<CompiledCommandNode>& node : items) {
            const bool separator = node->isSeparator();
            if (separator && afterSeparator)
                continue;
            afterSeparator = separator;
            items[kept++] = std::move(node); // a no-op on itself
        }
        if (kept > 0 && afterSeparator)
            --kept;
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(kept), items.end());
    }
};

tn::Reference<CompiledCommandGroup> compileCommandGroup(CommandGroup* g)
{
    if (!g)
        throw NullError();
    return CommandGroupCompiler::compile(g);
}

} // namespace tnUI
