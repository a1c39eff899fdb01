#include "Element.h"

#include "../entity/DumpFile.h"
#include "Group.h"

#include <algorithm>

namespace tnUI {

namespace {
// Numbers the upward walks; an element stamped with the current number has
// been visited by it. The library runs on one thread.
std::uint64_t g_lastWalk = 0;
} // namespace

bool Element::isItem() const
{
    return false;
}

bool Element::isSeparator() const
{
    return false;
}

bool Element::isGroup() const
{
    return false;
}

CommandInstance* Element::commandToRun() const
{
    return nullptr;
}

bool Element::isCommand() const
{
    return isItem();
}

void Element::setKeybinding(Keybinding* keybinding)
{
    removeSignal(m_keybinding.get());
    m_keybinding = keybinding;
    connectSignal(keybinding);
    Message m(this, Message::Binding);
    sendMessage(m);
}

void Element::orderItemBefore(const Element* ref, Element* e)
{
    if (ref->m_order < e->m_order)
        e->m_order = ref->m_order;
}

void Element::orderItemAfter(const Element* ref, Element* e)
{
    if (ref->m_order > e->m_order)
        e->m_order = ref->m_order;
}

void Element::_addHolder(const Group* group)
{
    if (!m_holder)
        m_holder = group;
    else
        m_moreHolders.push_back(group);
}

void Element::_removeHolder(const Group* group)
{
    if (m_holder == group) {
        if (m_moreHolders.empty()) {
            m_holder = nullptr;
        } else {
            m_holder = m_moreHolders.back();
            m_moreHolders.pop_back();
        }
        return;
    }
    const auto it = std::find(m_moreHolders.begin(), m_moreHolders.end(), group);
    if (it != m_moreHolders.end())
        m_moreHolders.erase(it);
}

bool Element::_isHeldWithin(const Group* group) const
{
    // An element that no group holds is in no tree: the common case of a new
    // element costs nothing more.
    if (!m_holder)
        return false;
    return _reachesUpwards(group, ++g_lastWalk);
}

bool Element::_reachesUpwards(const Group* group, std::uint64_t walk) const
{
    const auto visit = [group, walk](const Group* holder) {
        if (holder == group)
            return true;
        const Element* up = holder;
        if (up->m_lastWalk == walk)
            return false;
        up->m_lastWalk = walk;
        return up->_reachesUpwards(group, walk);
    };
    if (m_holder && visit(m_holder))
        return true;
    return std::any_of(m_moreHolders.begin(), m_moreHolders.end(), visit);
}

bool Element::dump(DumpFile& file, int level, const char* label) const
{
    if (!DecoratedEntity::dump(file, level, label))
        return false;
    if (m_keybinding)
        m_keybinding->dump(file, level + 1, "keybinding");
    file.printf(level + 1, "order = %f\n", m_order);
    return true;
}

bool Item::isItem() const
{
    return true;
}

bool Item::getEnabled() const
{
    return true;
}

bool Item::dump(DumpFile& file, int level, const char* label) const
{
    if (!Element::dump(file, level, label))
        return false;
    file.printf(level + 1, "priority = %f\n", m_priority);
    return true;
}

bool Separator::isSeparator() const
{
    return true;
}

bool Separator::getEnabled() const
{
    return true;
}

bool Separator::dump(DumpFile& file, int level, const char* label) const
{
    if (!Element::dump(file, level, label))
        return false;
    file.printf(level + 1, "separator ------------------------------\n");
    return true;
}

} // namespace tnUI
