#include "ValueList.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../foundation/Linear.h"

#include <cmath>

namespace tnUI {

ValueList::~ValueList()
{
    clear();
}

void ValueList::addValue(double position, Value* v)
{
    if (!v)
        throw NullError();
    m_values.reserve(m_values.size() + 1);
    m_positions.reserve(m_positions.size() + 1);
    connectSignal(v);
    m_values.emplace_back(v);
    m_positions.push_back(position);
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
    const tn::Reference<Value> member = std::move(m_values[i]);
    m_values.erase(m_values.begin() + i);
    m_positions.erase(m_positions.begin() + i);
    // Cutting the connections to a value cuts all of them: a value that is
    // still a member at another index is listened to again, once for each.
    removeSignal(member.get());
    for (const tn::Reference<Value>& v : m_values)
        if (v == member)
            connectSignal(member.get());
}

void ValueList::clear()
{
    tn::vector<tn::Reference<Value>> members;
    members.swap(m_values);
    m_positions.clear();
    for (const tn::Reference<Value>& v : members)
        removeSignal(v.get());
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
    const int n = source->size();
    while (size() > n)
        removeValue(size() - 1);
    for (int i = 0; i < n; ++i) {
        const Value* from = source->m_values[i].get();
        if (i < size()) {
            m_values[i]->assign(from);
            m_positions[i] = source->m_positions[i];
            continue;
        }
        // A member that cannot be cloned has nothing to assign into: it is
        // left out, and so is its position, which keeps the lists equal in
        // length.
        tn::Reference<Value> copy = from->clone();
        if (!copy)
            continue;
        copy->assign(from);
        addValue(source->m_positions[i], copy.get());
    }
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
