#pragma once

#include "../foundation/Export.h"

#include "../entity/Error.h"
#include "../entity/NamedEntity.h"
#include "../foundation/CString.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "../values/BoolValue.h"

namespace tnUI {

// The name-keyed registries of the application, its documents and their
// instances: each holds a counted reference on every entity it stores.

// The name under which a registry stores e; NullError for a null or nameless
// entity.
TNUI_EXPORT const tnString::CString& registryName(const NamedEntity* e);

// Stores object under its name: NullError without one, DuplicateError when
// the name is taken.
template <class T>
void registerNamed(tn::NameHashTable<tn::Reference<T>>& table, T* object)
{
    const tnString::CString& name = registryName(object);
    if (table.contains(name))
        throw DuplicateError();
    table.emplace(name, object);
}

// The entity stored under name, or null.
template <class T>
T* lookUpNamed(const tn::NameHashTable<tn::Reference<T>>& table, const tnString::CString& name)
{
    const auto it = table.find(name);
    return it == table.end() ? nullptr : it->second.get();
}

// An ordered list of counted entities, as the application keeps its
// documents and environments: indexed access, lookup by address or by name,
// and removal that takes an entry out of the list before it may die. The
// untyped part; IndexedRegistry gives the entries their type.
class TNUI_EXPORT IndexedRegistryBase {
public:
    IndexedRegistryBase(const IndexedRegistryBase&) = delete;
    IndexedRegistryBase& operator=(const IndexedRegistryBase&) = delete;

    int size() const noexcept { return static_cast<int>(m_entries.size()); }
    bool empty() const noexcept { return m_entries.empty(); }
    // The index of e, or -1.
    int find(const NamedEntity* e) const noexcept;
    // The index of the first entry named name, or -1.
    int find(const tnString::CString& name) const;
    // Lets go of entry i; IndexError unless it exists.
    void remove(int i);
    // Empties the list, then lets go of the entries.
    void clear();

    auto begin() const noexcept { return m_entries.begin(); }
    auto end() const noexcept { return m_entries.end(); }

protected:
    IndexedRegistryBase() = default;
    ~IndexedRegistryBase();

    // IndexError unless 0 <= i < size().
    NamedEntity* _at(int i) const;
    // Appends e: NullError for null, DuplicateError when it is listed.
    void _add(NamedEntity* e);
    // Appends e: NullError for a null or nameless entity, DuplicateError
    // when an entry has its name.
    void _addNamed(NamedEntity* e);

private:
    tn::vector<tn::Reference<NamedEntity>> m_entries;
};

template <class T>
class IndexedRegistry : public IndexedRegistryBase {
public:
    IndexedRegistry() = default;

    T* get(int i) const { return static_cast<T*>(_at(i)); }
    void add(T* e) { _add(e); }
    void addNamed(T* e) { _addNamed(e); }
};

// Walks a registry in the table's order. It must not outlive a change of the
// table. The owners' iterators derive from it.
template <class T>
class RegistryIterator {
public:
    bool valid() const noexcept { return m_node != m_table->end(); }
    T* get() const { return m_node->second.get(); }
    void next() { ++m_node; }

protected:
    using Table = tn::NameHashTable<tn::Reference<T>>;

    // A null table stands for a null owner: NullError.
    explicit RegistryIterator(const Table* table) : m_table(table)
    {
        if (!table)
            throw NullError();
        m_node = table->begin();
    }

private:
    typename Table::const_iterator m_node;
    const Table* m_table;
};

// Makes a BoolValue named name set to initial and adds it to owner's values;
// the owner holds the only reference. NullError for a null owner; a value
// the owner refuses is released.
template <class Owner>
BoolValue* registerBoolIn(Owner* owner, const tnString::CString& name, bool initial)
{
    if (!owner)
        throw NullError();
    auto* value = new BoolValue;
    const tn::Reference<BoolValue> held(value);
    value->setName(name);
    value->setValue(initial);
    owner->addValue(value);
    // The analyzer cannot see the reference the registry took.
    return value; // NOLINT(clang-analyzer-cplusplus.NewDelete)
}

} // namespace tnUI
