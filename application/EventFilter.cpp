#include "EventFilter.h"

#include "../entity/Error.h"

#include <algorithm>

namespace tnUI {

namespace {
EventFilterManager* g_manager = nullptr;
}

EventFilter::EventFilter(void* owner) : m_owner(owner)
{}

bool EventFilter::isFiltered(Event* e, void* context)
{
    (void)e;
    (void)context;
    return false;
}

EventFilterManager::EventFilterManager()
{
    if (g_manager)
        throw ImplError();
    g_manager = this;
}

EventFilterManager::~EventFilterManager()
{
    m_filters.clear();
    if (g_manager == this)
        g_manager = nullptr;
}

EventFilterManager& EventFilterManager::getInstance()
{
    if (!g_manager)
        throw ImplError();
    return *g_manager;
}

void EventFilterManager::registerFilter(EventFilter* f)
{
    if (!f)
        throw NullError();
    if (std::find(m_filters.begin(), m_filters.end(), f) != m_filters.end())
        throw DuplicateError();
    m_filters.push_back(f);
}

void EventFilterManager::unregisterFilter(EventFilter* f)
{
    const auto it = std::find(m_filters.begin(), m_filters.end(), f);
    if (it == m_filters.end())
        throw NullError();
    const auto index = static_cast<std::size_t>(it - m_filters.begin());
    for (Walk* walk = m_walks; walk; walk = walk->outer) {
        if (index < walk->next)
            --walk->next;
    }
    m_filters.erase(it);
}

bool EventFilterManager::isEventFiltered(Event* e, void* context) const
{
    // A filter may let go of the manager while it is asked.
    const tn::Reference<const EventFilterManager> held = tn::keepAlive(this);
    struct Chain {
        const EventFilterManager& manager;
        Walk walk;
        explicit Chain(const EventFilterManager& m) : manager(m), walk{0, m.m_walks} { manager.m_walks = &walk; }
        ~Chain() { manager.m_walks = walk.outer; }
        Chain(const Chain&) = delete;
        Chain& operator=(const Chain&) = delete;
    } chain(*this);
    while (chain.walk.next < m_filters.size()) {
        if (m_filters[chain.walk.next++]->isFiltered(e, context))
            return true;
    }
    return false;
}

} // namespace tnUI
