#include "Arguments.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "ArgumentItem.h"
#include "GroupOfArguments.h"

#include <algorithm>

namespace tnUI {

Arguments::~Arguments()
{
    signalClient.disconnectAll();
    // Out of the list before any of them may die.
    tn::vector<tn::Reference<Argument>> released;
    released.swap(m_items);
}

Argument* Arguments::getArgument(int i)
{
    if (i < 0 || i >= getNumArguments())
        throw IndexError();
    return m_items[static_cast<std::size_t>(i)].get();
}

const Argument* Arguments::getArgument(int i) const
{
    return const_cast<Arguments*>(this)->getArgument(i);
}

void Arguments::addArgument(Argument* a)
{
    insertItem(getNumArguments(), a);
}

void Arguments::addArgumentSorted(Argument* a)
{
    int position = getNumArguments();
    if (a) {
        const double order = a->getOrderValue();
        const auto it = std::find_if(m_items.begin(), m_items.end(), [order](const tn::Reference<Argument>& x) {
            return x && x->getOrderValue() > order;
        });
        position = static_cast<int>(it - m_items.begin());
    }
    insertItem(position, a);
}

void Arguments::addSeparator()
{
    m_items.emplace_back();
}

void Arguments::removeArgument(Argument* a)
{
    if (!a)
        throw NullError();
    const auto it =
        std::find_if(m_items.begin(), m_items.end(), [a](const tn::Reference<Argument>& x) { return x.get() == a; });
    if (it == m_items.end())
        return;
    const auto held = tn::keepAlive(this);
    // Out of the list before it is let go: its destruction may reach code
    // that reads the list.
    const tn::Reference<Argument> released = std::move(*it);
    m_items.erase(it);
    removeSignal(released);
    Message m(this, Message::Structure);
    sendMessage(m);
}

EArgumentState Arguments::getState() const
{
    // getState may be the host's: it walks a copy, with the list held.
    const tn::Reference<const Arguments> held = tn::keepAlive(this);
    const tn::vector<tn::Reference<Argument>> items = m_items;
    bool any = false;
    auto lowest = EArgumentState::ValidPreset;
    for (const tn::Reference<Argument>& a : items) {
        if (!a)
            continue;
        const EArgumentState s = a->getState();
        if (!any || static_cast<int>(s) < static_cast<int>(lowest))
            lowest = s;
        any = true;
    }
    return any ? lowest : EArgumentState::Invalid;
}

void Arguments::reset()
{
    const auto held = tn::keepAlive(this);
    const tn::vector<tn::Reference<Argument>> items = m_items;
    for (const tn::Reference<Argument>& a : items)
        if (a)
            a->reset();
}

bool Arguments::contains(const Argument* a) const
{
    return std::any_of(m_items.begin(), m_items.end(), [a](const tn::Reference<Argument>& x) {
        if (x == a)
            return true;
        const auto* g = dynamic_cast<const GroupOfArguments*>(x.get());
        return g && g->getArguments()->contains(a);
    });
}

bool Arguments::_reaches(const Arguments* list) const
{
    return list == this || std::any_of(m_items.begin(), m_items.end(), [list](const tn::Reference<Argument>& x) {
               const auto* g = dynamic_cast<const GroupOfArguments*>(x.get());
               return g && g->getArguments()->_reaches(list);
           });
}

void Arguments::insertItem(int i, Argument* a)
{
    if (!a)
        throw NullError();
    if (i < 0)
        throw IndexError();
    const auto* group = dynamic_cast<const GroupOfArguments*>(a);
    if (contains(a) || (group && group->getArguments()->_reaches(this)))
        throw CycleError();
    const auto held = tn::keepAlive(this);
    const auto at = i < getNumArguments() ? m_items.begin() + i : m_items.end();
    m_items.insert(at, tn::Reference<Argument>(a));
    connectSignal(a);
    Message m(this, Message::Structure);
    sendMessage(m);
}

bool Arguments::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedEntity::dump(file, level, label))
        return false;
    file.printf(level + 1, "%d arguments:\n", getNumArguments());
    // An argument's dump may be the host's and change the list, or let it go:
    // the list is held once its own line shows its true count, and the
    // length is read again after each entry.
    const auto held = tn::keepAlive(this);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (Argument* a = m_items[i].get())
            a->dump(file, level + 2, nullptr);
        else
            file.printf(level + 2, "separator ----------\n");
    }
    return true;
}

ArgumentItem* findArgumentOfValue(GroupOfArguments* g, Value* v)
{
    if (!g || !v)
        return nullptr;
    Arguments* list = g->getArguments();
    for (int i = 0; i < list->getNumArguments(); ++i) {
        Argument* a = list->getArgument(i);
        if (auto* item = dynamic_cast<ArgumentItem*>(a); item && item->getValue() == v)
            return item;
        if (ArgumentItem* found = findArgumentOfValue(dynamic_cast<GroupOfArguments*>(a), v))
            return found;
    }
    return nullptr;
}

} // namespace tnUI
