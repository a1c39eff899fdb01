#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedEntity.h"
#include "../foundation/Containers.h"
#include "../foundation/Event.h"

namespace tnUI {

/// An object that claims input events. A host registers filters with the
/// event-filter manager and asks the manager, where it dispatches input,
/// whether any of them takes an event. The owner is an opaque tag for the host.
class TNUI_EXPORT EventFilter : public NamedEntity {
public:
    /// A filter for owner, the host's tag.
    explicit EventFilter(void* owner);

    /// The owner.
    void* getOwner() const noexcept { return m_owner; }

    /// True when this filter takes the event. The body answers false, for a
    /// derived class to call explicitly.
    virtual bool isFiltered(Event* e, void* context) = 0;

private:
    void* m_owner;
};

/// The one list of event filters, in the order of registration. It does not
/// count or watch its filters: a filter must be unregistered before it dies.
/// The application creates the manager and destroys it.
class TNUI_EXPORT EventFilterManager : public NamedEntity {
public:
    /// A second manager raises ImplError.
    EventFilterManager();
    ~EventFilterManager() override;

    /// The manager; ImplError when none exists.
    static EventFilterManager& getInstance();

    /// Appends f; NullError for null, DuplicateError when it is already
    /// registered.
    void registerFilter(EventFilter* f);
    /// Removes f; NullError when it is not registered.
    void unregisterFilter(EventFilter* f);
    /// The number of filters.
    int getNumFilters() const noexcept { return static_cast<int>(m_filters.size()); }

    /// Asks the filters in registration order, stopping at the first that
    /// takes the event; false when none does. A filter may register or
    /// unregister filters while it is asked: filters that left are not asked,
    /// the others are asked once, those registered meanwhile last.
    bool isEventFiltered(Event* e, void* context) const;

private:
    /// Where a walk of isEventFiltered stands: the index of the next filter to
    /// ask. Walks under way are chained, innermost first; unregistering a
    /// filter a walk has passed moves that walk back by one, so that it
    /// neither skips nor repeats a filter.
    struct Walk {
        std::size_t next;
        Walk* outer;
    };

    tn::vector<EventFilter*> m_filters;
    mutable Walk* m_walks = nullptr;
};

} // namespace tnUI
