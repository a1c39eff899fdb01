#include "Group.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

#include <algorithm>
#include <utility>

namespace tnUI {

Group::~Group()
{
    // The elements stop counting this group among their holders before any
    // of them is released, so none of them can see a dying holder.
    for (const tn::Reference<Element>& e : m_elements)
        e->_removeHolder(this);
    // Out of the list before any of them may die, so that their destruction
    // listeners see an empty group rather than a half-cleared one.
    tn::vector<tn::Reference<Element>> released;
    released.swap(m_elements);
}

bool Group::isGroup() const
{
    return true;
}

bool Group::getEnabled() const
{
    return std::any_of(m_elements.begin(), m_elements.end(),
                       [](const tn::Reference<Element>& e) { return e->getEnabled(); });
}

Element* Group::getElement(int i) const
{
    if (i < 0 || i >= getNumElements())
        throw IndexError();
    return m_elements[static_cast<std::size_t>(i)].get();
}

void Group::appendItem(Element* e)
{
    if (!e)
        throw NullError();
    insertItem(getNumElements(), e);
}

void Group::insertItem(const tnString::CString& name, Element* e)
{
    if (!e)
        throw NullError();
    insertItem(_indexOfName(name), e);
}

void Group::appendItem(const tnString::CString& name, Element* e)
{
    if (!e)
        throw NullError();
    insertItem(_indexOfName(name) + 1, e);
}

void Group::insertItemSorted(Element* e)
{
    if (!e)
        throw NullError();
    const double order = e->getOrderValue();
    const auto it = std::find_if(m_elements.begin(), m_elements.end(),
                                 [order](const tn::Reference<Element>& x) { return x->getOrderValue() >= order; });
    insertItem(static_cast<int>(it - m_elements.begin()), e);
}

void Group::appendItemSorted(Element* e)
{
    if (!e)
        throw NullError();
    const double order = e->getOrderValue();
    const auto it = std::find_if(m_elements.begin(), m_elements.end(),
                                 [order](const tn::Reference<Element>& x) { return x->getOrderValue() > order; });
    insertItem(static_cast<int>(it - m_elements.begin()), e);
}

void Group::insertItem(int index, Element* e)
{
    if (!e)
        throw NullError();
    if (index < 0 || index > getNumElements())
        throw IndexError();
    if (contains(e) || _encloses(e))
        throw CycleError();

    if (index < getNumElements()) {
        orderItemBefore(m_elements[static_cast<std::size_t>(index)].get(), e);
        m_elements.insert(m_elements.begin() + index, tn::Reference<Element>(e));
    } else {
        if (!m_elements.empty())
            orderItemAfter(m_elements.back().get(), e);
        m_elements.emplace_back(e);
    }
    e->_addHolder(this);
    e->setParent(this);
    connectSignal(e);
    Message m(this, Message::Content);
    sendMessage(m);
}

void Group::removeItem(int i)
{
    if (i < 0 || i >= getNumElements())
        throw IndexError();
    const auto position = m_elements.begin() + i;
    // Out of the list before it may die: its destruction listeners see the
    // group without it.
    const tn::Reference<Element> released = std::move(*position);
    m_elements.erase(position);
    released->setParent(nullptr);
    removeSignal(released);
    released->_removeHolder(this);
    Message m(this, Message::Content);
    sendMessage(m);
}

bool Group::contains(const Element* e) const
{
    return e && e->_isHeldWithin(this);
}

bool Group::_encloses(const Element* e) const
{
    if (e == this)
        return true;
    const auto* g = dynamic_cast<const Group*>(e);
    return g && _isHeldWithin(g);
}

bool Group::find(const Element* e, tn::vector<Element*>& path)
{
    path.clear();
    return findItem(e, path);
}

bool Group::find(const tnString::CString& name, tn::vector<Element*>& path)
{
    path.clear();
    return findItem(name, path);
}

template <class Matches>
bool Group::_search(const Matches& matches, tn::vector<Element*>& path)
{
    path.push_back(this);
    for (const tn::Reference<Element>& x : m_elements) {
        if (matches(x.get())) {
            path.push_back(x.get());
            return true;
        }
        auto* sub = dynamic_cast<Group*>(x.get());
        if (sub && sub->_search(matches, path))
            return true;
    }
    path.pop_back();
    return false;
}

bool Group::findItem(const Element* e, tn::vector<Element*>& path)
{
    return _search([e](const Element* x) { return x == e; }, path);
}

bool Group::findItem(const tnString::CString& name, tn::vector<Element*>& path)
{
    return _search(
        [&name](const Element* x) {
            const Name* n = x->getName();
            return n && *n == name;
        },
        path);
}

int Group::_indexOfName(const tnString::CString& name) const
{
    if (name.isEmpty())
        throw IndexError();
    const auto it = std::find_if(m_elements.begin(), m_elements.end(), [&name](const tn::Reference<Element>& x) {
        const Name* n = x->getName();
        return n && *n == name;
    });
    if (it == m_elements.end())
        throw IndexError();
    return static_cast<int>(it - m_elements.begin());
}

bool Group::dump(DumpFile& file, int level, const char* label) const
{
    if (!Element::dump(file, level, label))
        return false;
    if (m_layoutPreference != NoPreference)
        file.printf(level + 1, "layout = %s\n", enumName(m_layoutPreference));
    file.printf(level + 1, "group size = %d\n", getNumElements());
    for (const tn::Reference<Element>& e : m_elements)
        e->dump(file, level + 2, "group element");
    return true;
}

const char* enumName(Group::ELayoutPreference preference)
{
    switch (preference) {
    case Group::NoPreference: return "NoPreference";
    case Group::List: return "List";
    case Group::Matrix: return "Matrix";
    case Group::EmbeddedInParent: return "EmbeddedInParent";
    case Group::Radial: return "Radial";
    }
    throw ImplError();
}

} // namespace tnUI
