// The event-filter manager and the base filter.

#include "application/AppTestSupport.h"

namespace {

using namespace tnUI;
using Log = std::vector<std::string>;

// A filter that logs every question and gives a fixed answer; without a name
// it leaves the question to the base class.
class LoggingFilter : public EventFilter {
public:
    LoggingFilter(std::string name, bool answer, Log* log)
        : EventFilter(log), m_name(std::move(name)), m_answer(answer), m_log(log)
    {}

    bool isFiltered(Event* e, void* context) override
    {
        if (m_name.empty())
            return EventFilter::isFiltered(e, context);
        m_log->push_back(m_name + (context ? "+context" : ""));
        return m_answer;
    }

private:
    std::string m_name;
    bool m_answer;
    Log* m_log;
};

class EventFilterTest : public tnUITest::CountedTest {
protected:
    Log log;
    MouseEvent event;
};

TEST_F(EventFilterTest, FiltersAreAskedInOrderUntilOneTakesTheEvent)
{
    const tn::Reference<LoggingFilter> a(new LoggingFilter("A", false, &log));
    const tn::Reference<LoggingFilter> b(new LoggingFilter("B", true, &log));
    const tn::Reference<LoggingFilter> c(new LoggingFilter("C", true, &log));
    {
        EventFilterManager manager;
        EXPECT_FALSE(manager.isEventFiltered(&event, nullptr));
        for (EventFilter* f : {a.get(), b.get(), c.get()})
            manager.registerFilter(f);
        int context = 0;
        EXPECT_TRUE(manager.isEventFiltered(&event, &context));
        manager.unregisterFilter(a);
        manager.registerFilter(a); // now last: B answers before A is asked
        EXPECT_TRUE(manager.isEventFiltered(&event, nullptr));
        manager.unregisterFilter(b);
        manager.unregisterFilter(c);
        EXPECT_FALSE(manager.isEventFiltered(&event, nullptr));
        EXPECT_EQ(log, (Log{"A+context", "B+context", "B", "A"}));

        // Errors leave the list as it was; the manager holds no reference.
        EXPECT_THROW(manager.registerFilter(a), DuplicateError);
        EXPECT_THROW(manager.registerFilter(nullptr), NullError);
        EXPECT_EQ(manager.getNumFilters(), 1);
        EXPECT_EQ(a->getRefCount(), 1);
        manager.unregisterFilter(a);
        EXPECT_THROW(manager.unregisterFilter(a), NullError);
        EXPECT_EQ(manager.getNumFilters(), 0);
        manager.registerFilter(a);
    }
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_EQ(log.size(), 4U); // nothing asked when the manager dies

    const tn::Reference<LoggingFilter> base(new LoggingFilter("", true, nullptr));
    EXPECT_FALSE(base->isFiltered(&event, nullptr));
    EXPECT_EQ(base->getOwner(), nullptr);
    EXPECT_EQ(a->getOwner(), &log);
}

// A filter that, when first asked, unregisters filters (itself among them)
// from the manager asking it.
class LeavingFilter : public LoggingFilter {
public:
    LeavingFilter(std::string name, Log* log, EventFilterManager& manager)
        : LoggingFilter(std::move(name), false, log), m_manager(manager)
    {}
    std::vector<EventFilter*> leaving;

    bool isFiltered(Event* e, void* context) override
    {
        for (EventFilter* f : std::exchange(leaving, {}))
            m_manager.unregisterFilter(f);
        return LoggingFilter::isFiltered(e, context);
    }

private:
    EventFilterManager& m_manager;
};

TEST_F(EventFilterTest, FiltersLeavingWhileAskedNeitherSkipNorRepeatTheOthers)
{
    // A leaves alone; B takes itself and C with it; D stays.
    EventFilterManager manager;
    const tn::Reference<LeavingFilter> a(new LeavingFilter("A", &log, manager));
    const tn::Reference<LeavingFilter> b(new LeavingFilter("B", &log, manager));
    const tn::Reference<LoggingFilter> c(new LoggingFilter("C", false, &log));
    const tn::Reference<LoggingFilter> d(new LoggingFilter("D", false, &log));
    a->leaving = {a.get()};
    b->leaving = {b.get(), c.get()};
    for (EventFilter* f : std::initializer_list<EventFilter*>{a.get(), b.get(), c.get(), d.get()})
        manager.registerFilter(f);
    EXPECT_FALSE(manager.isEventFiltered(&event, nullptr));
    EXPECT_EQ(log, (Log{"A", "B", "D"}));
    EXPECT_EQ(manager.getNumFilters(), 1);
}

} // namespace
