#include "Registry.h"

#include "../entity/Name.h"
#include "../entity/NamedEntity.h"

#include <algorithm>

namespace tnUI {

const tnString::CString& registryName(const NamedEntity* e)
{
    const Name* name = e ? e->getName() : nullptr;
    if (!name || name->isEmpty())
        throw NullError();
    return name->asString();
}

IndexedRegistryBase::~IndexedRegistryBase()
{
    clear();
}

int IndexedRegistryBase::find(const NamedEntity* e) const noexcept
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [e](const auto& r) { return r.get() == e; });
    return it == m_entries.end() ? -1 : static_cast<int>(it - m_entries.begin());
}

int IndexedRegistryBase::find(const tnString::CString& name) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Name* n = m_entries[i]->getName();
        if (n && tnString::equal(n->asString(), name))
            return static_cast<int>(i);
    }
    return -1;
}

void IndexedRegistryBase::remove(int i)
{
    if (i < 0 || i >= size())
        throw IndexError();
    // Out of the list before the entry may die.
    const tn::Reference<NamedEntity> released = m_entries[static_cast<std::size_t>(i)];
    m_entries.erase(m_entries.begin() + i);
}

void IndexedRegistryBase::clear()
{
    // The destruction listeners of the entries never see the list
    // half-cleared.
    tn::vector<tn::Reference<NamedEntity>> released;
    released.swap(m_entries);
    released.clear();
}

NamedEntity* IndexedRegistryBase::_at(int i) const
{
    if (i < 0 || i >= size())
        throw IndexError();
    return m_entries[static_cast<std::size_t>(i)].get();
}

void IndexedRegistryBase::_add(NamedEntity* e)
{
    if (!e)
        throw NullError();
    if (find(e) != -1)
        throw DuplicateError();
    m_entries.emplace_back(e);
}

void IndexedRegistryBase::_addNamed(NamedEntity* e)
{
    if (find(registryName(e)) != -1)
        throw DuplicateError();
    m_entries.emplace_back(e);
}

} // namespace tnUI
