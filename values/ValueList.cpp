#include "ValueList.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../foundation/Linear.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <unordered_set>
#include <utility>

namespace tnUI {

ValueList::~ValueList()
{
    clear();
}

void ValueList::addValue(double position, Value* v)
{
    if (!v)
        throw NullError();
    if (const auto* list = dynamic_cast<const ValueList*>(v); list && list->_reaches(this))
        throw CycleError();
    m_values.emplace_back(v);
    try {
        m_positions.push_back(position);
        connectSignal(v);
    } catch (...) {
        m_positions.resize(m_values.size() - 1);
        m_values.pop_back();
        throw;
    }
}

bool ValueList::_reaches(const ValueList* target) const
{
    // Each list is visited once, so that lists shared by several others
    // cannot make the walk exponential.
    tn::vector<const ValueList*> pending{this};
    std::unordered_set<const ValueList*> seen{this};
    while (!pending.empty()) {
        const ValueList* list = pending.back();
        pending.pop_back();
        if (list == target)
            return true;
        for (const tn::Reference<Value>& v : list->m_values)
            if (const auto* inner = dynamic_cast<const ValueList*>(v.get()); inner && seen.insert(inner).second)
                pending.push_back(inner);
    }
    return false;
}

void ValueList::checkIndex(int i) const
{
    if (i < 0 || i >= size())
        throw IndexError();
}

Value* ValueList::getValue(int i)
{
    checkIndex(i);
    return m_values[i].get();
}

const Value* ValueList::getValue(int i) const
{
    checkIndex(i);
    return m_values[i].get();
}

double ValueList::getPosition(int i) const
{
    checkIndex(i);
    return m_positions[i];
}

int ValueList::findPosition(double p) const
{
    for (int i = 0; i < size(); ++i)
        if (std::fabs(m_positions[i] - p) < tnLinear::epsilonTol)
            return i;
    return -1;
}

void ValueList::removeValue(int i)
{
    checkIndex(i);
    // The member leaves the list before it is let go: its destruction may
    // reach code that reads the list.
    tn::vector<tn::Reference<Value>> left;
    left.push_back(std::move(m_values[i]));
    m_values.erase(m_values.begin() + i);
    m_positions.erase(m_positions.begin() + i);
    _disconnect(left);
}

void ValueList::clear()
{
    tn::vector<tn::Reference<Value>> left;
    left.swap(m_values);
    m_positions.clear();
    _disconnect(left);
}

void ValueList::_truncate(int n)
{
    if (n >= size())
        return;
    const auto from = m_values.begin() + n;
    tn::vector<tn::Reference<Value>> left(std::make_move_iterator(from), std::make_move_iterator(m_values.end()));
    m_values.erase(from, m_values.end());
    m_positions.resize(static_cast<std::size_t>(n));
    _disconnect(left);
}

void ValueList::_disconnect(const tn::vector<tn::Reference<Value>>& left)
{
    // Cutting the connections to a value cuts all of them, so each value is
    // cut once and those still members are listened to again: linear however
    // often a value is held.
    tn::vector<const Value*> cut;
    cut.reserve(left.size());
    for (const tn::Reference<Value>& v : left)
        cut.push_back(v.get());
    std::sort(cut.begin(), cut.end());
    cut.erase(std::unique(cut.begin(), cut.end()), cut.end());
    for (const Value* v : cut)
        removeSignal(v);
    for (const tn::Reference<Value>& v : m_values)
        if (std::binary_search(cut.begin(), cut.end(), v.get()))
            connectSignal(v.get());
}

void ValueList::reset()
{
    // A member's listeners may drop the list or edit it: hold the list and
    // walk a copy of the members.
    const tn::Reference<ValueList> held = tn::keepAlive(this);
    const tn::vector<tn::Reference<Value>> members = m_values;
    for (const tn::Reference<Value>& v : members)
        v->reset();
}

bool ValueList::assign(const Value* const other)
{
    const auto* source = dynamic_cast<const ValueList*>(other);
    if (!source)
        return false;
    if (source == this)
        return Value::assign(other);
    // A member's assign may send messages whose listeners drop either list
    // or edit it: both are held, and sizes are read again after every call.
    const tn::Reference<ValueList> self = tn::keepAlive(this);
    const tn::Reference<const ValueList> held = tn::keepAlive(source);
    // The members this list lacks are cloned and assigned first: one that
    // cannot be cloned, or not read, refuses the assign before anything
    // changed.
    struct Clone {
        tn::Reference<const Value> original;
        tn::Reference<Value> copy;
    };
    tn::vector<Clone> clones;
    const int firstClone = size();
    for (int i = firstClone; i < source->size(); ++i) {
        Clone c{source->m_values[i], nullptr};
        c.copy = c.original->clone();
        if (!c.copy)
            throw TypeError();
        c.copy->assign(c.original);
        clones.push_back(std::move(c));
    }
    _truncate(source->size());
    for (int i = 0; i < source->size(); ++i) {
        const tn::Reference<const Value> original = source->m_values[i];
        const double position = source->m_positions[i];
        if (i < size()) {
            m_positions[i] = position;
            const tn::Reference<Value> member = m_values[i];
            member->assign(original);
            continue;
        }
        // A listener may have changed either list since the clones were
        // made: a clone is used only for the member it was made from.
        const auto k = static_cast<std::size_t>(i - firstClone);
        tn::Reference<Value> copy;
        if (i >= firstClone && k < clones.size() && clones[k].original == original)
            copy = std::move(clones[k].copy);
        else
            copy = original->clone();
        if (!copy)
            throw TypeError();
        // Again: the steps before may have changed the original.
        copy->assign(original);
        addValue(position, copy);
    }
    _truncate(source->size());
    return Value::assign(other);
}

bool ValueList::dump(DumpFile& file, int level, const char* label) const
{
    if (!Value::dump(file, level, label))
        return false;
    for (int i = 0; i < size(); ++i) {
        file.printf(level + 1, "position = %f\n", m_positions[i]);
        m_values[i]->dump(file, level + 1, nullptr);
    }
    return true;
}

} // namespace tnUI
