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
    m_filters.erase(it);
}

bool EventFilterManager::isEventFiltered(Event* e, void* context) const
{
    // By index, re-checked on every step, so that a filter changing the list
    // while it is asked cannot invalidate the walk.
    for (std::size_t i = 0; i < m_filters.size(); ++i) {
        if (m_filters[i]->isFiltered(e, context))
            return true;
    }
    return false;
}

} // namespace tnUI
