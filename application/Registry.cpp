#include "Registry.h"

#include "../entity/Name.h"
#include "../entity/NamedEntity.h"

#include <functional>
#include <utility>

namespace tnUI {

void FlatIndex::erase(std::size_t h, std::int32_t position) noexcept
{
    std::ptrdiff_t hole = slotOf(h, position);
    if (hole < 0)
        return;
    --m_used;
    // Backward shift: every later slot of the run whose home is not between
    // the hole and itself moves into the hole, so no probe meets a gap early.
    auto i = static_cast<std::size_t>(hole);
    for (std::size_t j = (i + 1) & mask(); m_slots[j].position >= 0; j = (j + 1) & mask()) {
        const std::size_t home = m_slots[j].hash & mask();
        const bool homeBetween = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (homeBetween)
            continue;
        m_slots[i] = m_slots[j];
        i = j;
    }
    m_slots[i].position = -1;
}

void FlatIndex::move(std::size_t h, std::int32_t from, std::int32_t to) noexcept
{
    const std::ptrdiff_t slot = slotOf(h, from);
    if (slot >= 0)
        m_slots[static_cast<std::size_t>(slot)].position = to;
}

void FlatIndex::clear() noexcept
{
    for (Slot& slot : m_slots)
        slot.position = -1;
    m_used = 0;
}

void FlatIndex::swap(FlatIndex& other) noexcept
{
    m_slots.swap(other.m_slots);
    std::swap(m_used, other.m_used);
}

std::ptrdiff_t FlatIndex::slotOf(std::size_t h, std::int32_t position) const noexcept
{
    if (m_slots.empty())
        return -1;
    const auto hash = static_cast<std::uint32_t>(h);
    for (std::size_t i = hash & mask();; i = (i + 1) & mask()) {
        if (m_slots[i].position < 0)
            return -1;
        if (m_slots[i].position == position)
            return static_cast<std::ptrdiff_t>(i);
    }
}

void FlatIndex::grow()
{
    tn::vector<Slot> slots(m_slots.empty() ? 16 : m_slots.size() * 2, Slot{0, -1});
    const std::size_t newMask = slots.size() - 1;
    for (const Slot& slot : m_slots) {
        if (slot.position < 0)
            continue;
        std::size_t i = slot.hash & newMask;
        while (slots[i].position >= 0)
            i = (i + 1) & newMask;
        slots[i] = slot;
    }
    m_slots.swap(slots);
}

const tnString::CString& registryName(const NamedEntity* e)
{
    const Name* name = e ? e->getName() : nullptr;
    if (!name || name->isEmpty())
        throw NullError();
    return name->asString();
}

namespace {

// Addresses differ mostly in their middle bits: mixed, so that the low bits
// the index uses spread.
std::size_t addressHash(const NamedEntity* e) noexcept
{
    const auto a = reinterpret_cast<std::uintptr_t>(e);
    return static_cast<std::size_t>((a * 0x9E3779B97F4A7C15ull) >> 29);
}

} // namespace

IndexedRegistryBase::~IndexedRegistryBase()
{
    clear();
}

int IndexedRegistryBase::find(const NamedEntity* e) const noexcept
{
    const std::int32_t p = m_positions.find(
        addressHash(e), [this, e](std::int32_t i) { return m_entries[static_cast<std::size_t>(i)].get() == e; });
    if (p < 0)
        return -1;
    if (m_gaps == 0)
        return p - static_cast<int>(m_first);
    closeGaps();
    return find(e);
}

int IndexedRegistryBase::find(const tnString::CString& name) const
{
    closeGaps();
    for (std::size_t i = m_first; i < m_entries.size(); ++i) {
        const Name* n = m_entries[i]->getName();
        if (n && tnString::equal(n->asString(), name))
            return static_cast<int>(i - m_first);
    }
    return -1;
}

void IndexedRegistryBase::remove(int i)
{
    if (i < 0 || i >= size())
        throw IndexError();
    closeGaps();
    // Out of the list before the entry may die.
    const tn::Reference<NamedEntity> released = takeOut(m_first + static_cast<std::size_t>(i));
}

bool IndexedRegistryBase::remove(const NamedEntity* e)
{
    const std::int32_t p = m_positions.find(
        addressHash(e), [this, e](std::int32_t i) { return m_entries[static_cast<std::size_t>(i)].get() == e; });
    if (p < 0)
        return false;
    const tn::Reference<NamedEntity> released = takeOut(static_cast<std::size_t>(p));
    return true;
}

tn::Reference<NamedEntity> IndexedRegistryBase::takeOut(std::size_t p)
{
    tn::Reference<NamedEntity> entry = std::move(m_entries[p]);
    m_positions.erase(addressHash(entry.get()), static_cast<std::int32_t>(p));
    if (p + 1 == m_entries.size()) {
        // The last entry: the list shrinks over the gaps before it too.
        m_entries.pop_back();
        while (m_entries.size() > m_first && !m_entries.back()) {
            m_entries.pop_back();
            --m_gaps;
        }
    } else if (p == m_first) {
        // The first entry: the front moves over the gaps after it too.
        for (++m_first; !m_entries[m_first]; ++m_first)
            --m_gaps;
    } else {
        ++m_gaps;
    }
    if (m_first == m_entries.size()) {
        m_entries.clear();
        m_first = 0;
    } else if (m_first + m_gaps > static_cast<std::size_t>(size())) {
        compact();
    }
    return entry;
}

void IndexedRegistryBase::closeGaps() const noexcept
{
    if (m_gaps != 0)
        compact();
}

void IndexedRegistryBase::compact() const noexcept
{
    std::size_t to = 0;
    for (std::size_t from = m_first; from < m_entries.size(); ++from) {
        if (!m_entries[from])
            continue;
        if (from != to) {
            m_positions.move(addressHash(m_entries[from].get()), static_cast<std::int32_t>(from),
                             static_cast<std::int32_t>(to));
            m_entries[to] = std::move(m_entries[from]);
        }
        ++to;
    }
    // Only null references remain past to: nothing dies here.
    m_entries.resize(to);
    m_first = 0;
    m_gaps = 0;
}

void IndexedRegistryBase::clear()
{
    // The destruction listeners of the entries never see the list
    // half-cleared.
    tn::vector<tn::Reference<NamedEntity>> released;
    released.swap(m_entries);
    m_positions.clear();
    m_first = 0;
    m_gaps = 0;
    released.clear();
}

NamedEntity* IndexedRegistryBase::_at(int i) const
{
    if (i < 0 || i >= size())
        throw IndexError();
    closeGaps();
    return m_entries[m_first + static_cast<std::size_t>(i)].get();
}

void IndexedRegistryBase::append(NamedEntity* e, std::size_t h)
{
    const auto p = static_cast<std::int32_t>(m_entries.size());
    m_positions.insert(h, p, [](std::int32_t) { return false; });
    try {
        m_entries.emplace_back(e);
    } catch (...) {
        m_positions.erase(h, p);
        throw;
    }
}

void IndexedRegistryBase::_add(NamedEntity* e)
{
    if (!e)
        throw NullError();
    const std::size_t h = addressHash(e);
    const auto p = static_cast<std::int32_t>(m_entries.size());
    // One probe sequence finds a listed e or records the new position.
    if (m_positions.insert(
            h, p, [this, e](std::int32_t i) { return m_entries[static_cast<std::size_t>(i)].get() == e; }) >= 0)
        throw DuplicateError();
    try {
        m_entries.emplace_back(e);
    } catch (...) {
        m_positions.erase(h, p);
        throw;
    }
}

void IndexedRegistryBase::_addNamed(NamedEntity* e)
{
    if (find(registryName(e)) != -1)
        throw DuplicateError();
    append(e, addressHash(e));
}

} // namespace tnUI
