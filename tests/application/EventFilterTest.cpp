// The event-filter manager and the base filter.

#include "application/AppTestSupport.h"

#include <tnUI/application/EventFilter.h>
#include <tnUI/entity/Error.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tnUI::EventFilter;
using tnUI::EventFilterManager;
using Log = std::vector<std::string>;

// A filter that logs every question and gives a fixed answer.
class LoggingFilter : public EventFilter {
public:
    LoggingFilter(std::string name, bool answer, Log* log)
        : EventFilter(log), m_name(std::move(name)), m_answer(answer), m_log(log)
    {}

    bool isFiltered(tnUI::Event*, void* context) override
    {
        m_log->push_back(m_name + (context ? "+context" : ""));
        return m_answer;
    }

private:
    std::string m_name;
    bool m_answer;
    Log* m_log;
};

// A filter that leaves the question to the base class.
class DefaultFilter : public EventFilter {
public:
    DefaultFilter() : EventFilter(nullptr) {}
    bool isFiltered(tnUI::Event* e, void* context) override { return EventFilter::isFiltered(e, context); }
};

class EventFilterTest : public tnUITest::CountedTest {
protected:
    Log log;
    tnUI::MouseEvent event;
};

TEST_F(EventFilterTest, TheManagerIsASingleton)
{
    EXPECT_THROW(EventFilterManager::getInstance(), tnUI::ImplError);
    {
        const tn::Reference<EventFilterManager> manager(new EventFilterManager);
        EXPECT_EQ(&EventFilterManager::getInstance(), manager.get());
        EXPECT_THROW(EventFilterManager second, tnUI::ImplError);
        EXPECT_EQ(&EventFilterManager::getInstance(), manager.get());
    }
    EXPECT_THROW(EventFilterManager::getInstance(), tnUI::ImplError);
}

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
        EXPECT_THROW(manager.registerFilter(a), tnUI::DuplicateError);
        EXPECT_EQ(manager.getNumFilters(), 1);
        EXPECT_EQ(a->getRefCount(), 1);
        manager.unregisterFilter(a);
        EXPECT_THROW(manager.unregisterFilter(a), tnUI::NullError);
        EXPECT_EQ(manager.getNumFilters(), 0);
        manager.registerFilter(a);
    }
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_EQ(log.size(), 4U); // nothing asked when the manager dies
}

TEST_F(EventFilterTest, TheBaseAnswerIsNoAndTheOwnerIsKept)
{
    const tn::Reference<DefaultFilter> filter(new DefaultFilter);
    EXPECT_FALSE(filter->isFiltered(&event, nullptr));
    EXPECT_EQ(filter->getOwner(), nullptr);
    EXPECT_EQ(tn::Reference<LoggingFilter>(new LoggingFilter("T", false, &log))->getOwner(), &log);
}

} // namespace
