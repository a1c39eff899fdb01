#pragma once

#include "../foundation/Export.h"

#include "../entity/Error.h"
#include "../entity/NamedEntity.h"
#include "../foundation/CString.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "../values/BoolValue.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace tnUI {

// The name-keyed registries of the application, its documents and their
// instances: each holds a counted reference on every entity it stores.

/// An open-addressing index over the positions of an entry array. Each slot
/// keeps an entry's position with the low 32 bits of its hash, so that a probe
/// compares entries only when the stored hashes agree and growing never
/// computes a hash again. Linear probing, at most three quarters full (a
/// probe sequence rarely leaves the cache line it starts in).
class TNUI_EXPORT FlatIndex {
public:
    FlatIndex() = default;

    /// The number of positions recorded.
    std::size_t size() const noexcept { return m_used; }

    /// The position recorded under h for which same(position) holds, or -1.
    template <class Same>
    std::int32_t find(std::size_t h, Same same) const
    {
        if (m_slots.empty())
            return -1;
        const auto hash = static_cast<std::uint32_t>(h);
        for (std::size_t i = hash & mask();; i = (i + 1) & mask()) {
            const Slot& slot = m_slots[i];
            if (slot.position < 0)
                return -1;
            if (slot.hash == hash && same(slot.position))
                return slot.position;
        }
    }

    /// One probe sequence: the position of an entry under h for which
    /// same(position) holds, or -1 after recording position under h.
    template <class Same>
    std::int32_t insert(std::size_t h, std::int32_t position, Same same)
    {
        if ((m_used + 1) * 4 > m_slots.size() * 3)
            grow();
        const auto hash = static_cast<std::uint32_t>(h);
        std::size_t i = hash & mask();
        for (; m_slots[i].position >= 0; i = (i + 1) & mask()) {
            if (m_slots[i].hash == hash && same(m_slots[i].position))
                return m_slots[i].position;
        }
        m_slots[i] = Slot{hash, position};
        ++m_used;
        return -1;
    }

    /// Forgets position, recorded under h; nothing when it is not there.
    void erase(std::size_t h, std::int32_t position) noexcept;
    /// The entry recorded at position under h now lives at to.
    void move(std::size_t h, std::int32_t from, std::int32_t to) noexcept;
    /// Forgets every position.
    void clear() noexcept;
    /// Exchanges the contents of two indexes.
    void swap(FlatIndex& other) noexcept;

private:
    struct Slot {
        std::uint32_t hash;
        std::int32_t position; // -1: free
    };

    std::size_t mask() const noexcept { return m_slots.size() - 1; }
    /// The slot holding position under h, or -1.
    std::ptrdiff_t slotOf(std::size_t h, std::int32_t position) const noexcept;
    /// Doubles the table, placing the slots by their stored hashes.
    void grow();

    tn::vector<Slot> m_slots;
    std::size_t m_used = 0;
};

/// The hash a name table files a name under: eight bytes a step, the tail in
/// at most two loads, mixed so that its low bits spread.
inline std::size_t nameHash(const tnString::CString& name) noexcept
{
    const std::string& text = name.str();
    const char* p = text.data();
    std::size_t n = text.size();
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    auto load = [](const char* at, std::size_t bytes) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, bytes);
        return word;
    };
    for (; n >= 8; p += 8, n -= 8) {
        h = (h ^ load(p, 8)) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    if (n >= 4)
        h ^= (load(p, 4) << 32) | load(p + n - 4, 4);
    else if (n > 0)
        h ^= (std::uint64_t(static_cast<unsigned char>(p[0])) << 16) |
             (std::uint64_t(static_cast<unsigned char>(p[n / 2])) << 8) | static_cast<unsigned char>(p[n - 1]);
    h *= 0x94D049BB133111EBull;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

/// A registry of counted entities keyed by name: the entries in the order of
/// their registration, and a flat index over them.
template <class T>
class NameTable {
public:
    /// The hash is not kept: only a removal needs it again, and a removal
    /// already walks the entries after it.
    struct Entry {
        /// The key.
        tnString::CString name;
        /// The counted entity stored under it.
        tn::Reference<T> value;
    };
    /// Walks the entries in the order of registration.
    using const_iterator = typename tn::vector<Entry>::const_iterator;

    /// The number of entries.
    std::size_t size() const noexcept { return m_entries.size(); }
    /// Whether the table holds no entry.
    bool empty() const noexcept { return m_entries.empty(); }
    /// The first entry.
    const_iterator begin() const noexcept { return m_entries.begin(); }
    /// Past the last entry.
    const_iterator end() const noexcept { return m_entries.end(); }

    /// The value stored under name, or null.
    T* find(const tnString::CString& name) const
    {
        const std::int32_t i = m_index.find(nameHash(name), matching(name));
        return i < 0 ? nullptr : m_entries[static_cast<std::size_t>(i)].value.get();
    }

    /// Stores value under name; false, storing nothing, when the name is
    /// taken.
    bool insert(const tnString::CString& name, T* value)
    {
        const std::size_t h = nameHash(name);
        const auto position = static_cast<std::int32_t>(m_entries.size());
        if (m_index.insert(h, position, matching(name)) >= 0)
            return false;
        try {
            // Growing by half keeps less unused room at the end than
            // doubling (a quarter on average instead of a half).
            if (m_entries.size() == m_entries.capacity())
                m_entries.reserve(m_entries.size() < 16 ? 16 : m_entries.size() + m_entries.size() / 2);
            m_entries.push_back(Entry{name, tn::Reference<T>(value)});
        } catch (...) {
            m_index.erase(h, position);
            throw;
        }
        return true;
    }

    /// Takes the entry of name out, keeping the order of the others, and
    /// hands over its reference: null when there is none. Linear in the
    /// entries after it.
    tn::Reference<T> take(const tnString::CString& name)
    {
        const std::size_t h = nameHash(name);
        const std::int32_t found = m_index.find(h, matching(name));
        if (found < 0)
            return {};
        tn::Reference<T> taken = std::move(m_entries[static_cast<std::size_t>(found)].value);
        m_index.erase(h, found);
        for (auto i = static_cast<std::size_t>(found) + 1; i < m_entries.size(); ++i) {
            m_index.move(nameHash(m_entries[i].name), static_cast<std::int32_t>(i), static_cast<std::int32_t>(i - 1));
            m_entries[i - 1] = std::move(m_entries[i]);
        }
        m_entries.pop_back();
        return taken;
    }

    /// Exchanges the contents of two tables.
    void swap(NameTable& other) noexcept
    {
        m_entries.swap(other.m_entries);
        m_index.swap(other.m_index);
    }

    /// Empties the table, then lets go of the entries.
    void clear()
    {
        NameTable released;
        released.swap(*this);
    }

private:
    auto matching(const tnString::CString& name) const
    {
        return
            [this, &name](std::int32_t i) { return m_entries[static_cast<std::size_t>(i)].name.str() == name.str(); };
    }

    tn::vector<Entry> m_entries;
    FlatIndex m_index;
};

/// The name under which a registry stores e; NullError for a null or nameless
/// entity.
TNUI_EXPORT const tnString::CString& registryName(const NamedEntity* e);

/// Stores object under its name: NullError without one, DuplicateError when
/// the name is taken.
template <class T>
void registerNamed(NameTable<T>& table, T* object)
{
    if (!table.insert(registryName(object), object))
        throw DuplicateError();
}

/// The entity stored under name, or null.
template <class T>
T* lookUpNamed(const NameTable<T>& table, const tnString::CString& name)
{
    return table.find(name);
}

/// An ordered list of counted entities, as the application keeps its
/// documents and environments: indexed access, lookup by address or by name,
/// and removal that takes an entry out of the list before it may die. The
/// untyped part; IndexedRegistry gives the entries their type.
///
/// Adding, finding an entry by address and removing it cost the same at any
/// size: the addresses are indexed, and a removed entry leaves a gap that is
/// closed when the next access by index needs it (the list is never shifted
/// for a removal at either end), or once the gaps outnumber the entries.
class TNUI_EXPORT IndexedRegistryBase {
public:
    IndexedRegistryBase(const IndexedRegistryBase&) = delete;
    IndexedRegistryBase& operator=(const IndexedRegistryBase&) = delete;

    /// The number of entries.
    int size() const noexcept { return static_cast<int>(m_entries.size() - m_first - m_gaps); }
    /// Whether the list holds no entry.
    bool empty() const noexcept { return size() == 0; }
    /// The index of e, or -1.
    int find(const NamedEntity* e) const noexcept;
    /// The index of the first entry named name, or -1.
    int find(const tnString::CString& name) const;
    /// Lets go of entry i; IndexError unless it exists.
    void remove(int i);
    /// Lets go of e; false when it is not listed.
    bool remove(const NamedEntity* e);
    /// Empties the list, then lets go of the entries.
    void clear();

    /// The entries in order; the walk must not outlive a change of the list.
    auto begin() const noexcept
    {
        closeGaps();
        return m_entries.begin() + static_cast<std::ptrdiff_t>(m_first);
    }
    /// Past the last entry.
    auto end() const noexcept
    {
        closeGaps();
        return m_entries.end();
    }

protected:
    IndexedRegistryBase() = default;
    ~IndexedRegistryBase();

    /// IndexError unless 0 <= i < size().
    NamedEntity* _at(int i) const;
    /// Appends e: NullError for null, DuplicateError when it is listed.
    void _add(NamedEntity* e);
    /// Appends e: NullError for a null or nameless entity, DuplicateError
    /// when an entry has its name.
    void _addNamed(NamedEntity* e);

private:
    /// Appends e, known not to be listed.
    void append(NamedEntity* e, std::size_t h);
    /// Takes the entry at position p out, leaving a gap; the caller lets go
    /// of the returned reference once the list is consistent.
    tn::Reference<NamedEntity> takeOut(std::size_t p);
    /// Shifts the entries over the gaps after m_first, so that index i is at
    /// position m_first + i. Const: the order does not change.
    void closeGaps() const noexcept;
    /// Shifts every entry to the front of the list.
    void compact() const noexcept;

    /// Gaps are null references; those before m_first are skipped, m_gaps
    /// counts those after it.
    mutable tn::vector<tn::Reference<NamedEntity>> m_entries;
    mutable FlatIndex m_positions;
    mutable std::size_t m_first = 0;
    mutable std::size_t m_gaps = 0;
};

/// The typed list of counted entities (see IndexedRegistryBase).
template <class T>
class IndexedRegistry : public IndexedRegistryBase {
public:
    IndexedRegistry() = default;

    /// Entry i; IndexError unless it exists.
    T* get(int i) const { return static_cast<T*>(_at(i)); }
    /// Appends e: NullError for null, DuplicateError when it is listed.
    void add(T* e) { _add(e); }
    /// Appends e: NullError for a null or nameless entity, DuplicateError when an entry has its name.
    void addNamed(T* e) { _addNamed(e); }
};

/// Walks a registry in the order of registration. It must not outlive a
/// change of the table. The owners' iterators derive from it.
template <class T>
class RegistryIterator {
public:
    /// Whether the walk has not reached the end.
    bool valid() const noexcept { return m_node != m_table->end(); }
    /// The entity at the current position.
    T* get() const { return m_node->value.get(); }
    /// Moves to the next entry.
    void next() { ++m_node; }

protected:
    /// The table walked.
    using Table = NameTable<T>;

    /// A null table stands for a null owner: NullError.
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

/// Makes a BoolValue named name set to initial and adds it to owner's values;
/// the owner holds the only reference. NullError for a null owner; a value
/// the owner refuses is released.
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
