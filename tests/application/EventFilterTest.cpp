#include "application/AppTestSupport.h"

#include <tnUI/application/EventFilter.h>
#include <tnUI/application/SessionChecker.h>
#include <tnUI/entity/Error.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tnUI::EventFilter;
using tnUI::EventFilterManager;

// A filter that logs every question and gives a fixed answer.
class LoggingFilter : public EventFilter {
public:
    LoggingFilter(std::string name, bool answer, std::vector<std::string>* log)
        : EventFilter(log), m_name(std::move(name)), m_answer(answer), m_log(log)
    {}

    bool isFiltered(tnUI::Event* e, void* context) override
    {
        (void)e;
        m_log->push_back(m_name + (context ? "+context" : ""));
        return m_answer;
    }

private:
    std::string m_name;
    bool m_answer;
    std::vector<std::string>* m_log;
};

// A filter that leaves the question to the base class.
class DefaultFilter : public EventFilter {
public:
    DefaultFilter() : EventFilter(nullptr) {}
    bool isFiltered(tnUI::Event* e, void* context) override { return EventFilter::isFiltered(e, context); }
};

class EventFilterTest : public tnUITest::CountedTest {
protected:
    std::vector<std::string> log;
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
    EventFilterManager manager;
    EXPECT_FALSE(manager.isEventFiltered(&event, nullptr));

    const tn::Reference<LoggingFilter> a(new LoggingFilter("A", false, &log));
    const tn::Reference<LoggingFilter> b(new LoggingFilter("B", true, &log));
    const tn::Reference<LoggingFilter> c(new LoggingFilter("C", true, &log));
    manager.registerFilter(a);
    manager.registerFilter(b);
    manager.registerFilter(c);
    int context = 0;
    EXPECT_TRUE(manager.isEventFiltered(&event, &context));
    EXPECT_EQ(log, (std::vector<std::string>{"A+context", "B+context"}));

    log.clear();
    manager.unregisterFilter(a);
    manager.registerFilter(a); // now last: B answers before A is asked
    EXPECT_TRUE(manager.isEventFiltered(&event, nullptr));
    EXPECT_EQ(log, (std::vector<std::string>{"B"}));

    log.clear();
    manager.unregisterFilter(b);
    manager.unregisterFilter(c);
    EXPECT_FALSE(manager.isEventFiltered(&event, nullptr));
    EXPECT_EQ(log, (std::vector<std::string>{"A"}));
    manager.unregisterFilter(a);
}

TEST_F(EventFilterTest, RegistrationErrorsLeaveTheListAsItWas)
{
    EventFilterManager manager;
    const tn::Reference<LoggingFilter> a(new LoggingFilter("A", true, &log));
    manager.registerFilter(a);
    EXPECT_THROW(manager.registerFilter(a), tnUI::DuplicateError);
    EXPECT_EQ(manager.getNumFilters(), 1);
    manager.unregisterFilter(a);
    EXPECT_THROW(manager.unregisterFilter(a), tnUI::NullError);
    EXPECT_EQ(manager.getNumFilters(), 0);
}

TEST_F(EventFilterTest, TheManagerNeitherHoldsNorTouchesItsFilters)
{
    const tn::Reference<LoggingFilter> a(new LoggingFilter("A", false, &log));
    {
        EventFilterManager manager;
        manager.registerFilter(a);
        EXPECT_EQ(a->getRefCount(), 1);
    }
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(EventFilterTest, TheBaseAnswerIsNoAndTheOwnerIsKept)
{
    const tn::Reference<DefaultFilter> filter(new DefaultFilter);
    EXPECT_FALSE(filter->isFiltered(&event, nullptr));
    EXPECT_EQ(filter->getOwner(), nullptr);
    const tn::Reference<LoggingFilter> tagged(new LoggingFilter("T", false, &log));
    EXPECT_EQ(tagged->getOwner(), &log);
}

// A checker that replaces nothing.
class PlainChecker : public tnUI::SessionChecker {};

TEST_F(EventFilterTest, ADefaultSessionCheckerSeesNoOtherProcess)
{
    PlainChecker checker;
    EXPECT_FALSE(checker.processIsRunning());
    checker.openInSingleSession(tnString::IString("file.txt"));
    EXPECT_FALSE(checker.processIsRunning());
    checker.setProcessName(tnString::IString("editor"));

    PlainChecker copy(checker);
    EXPECT_EQ(copy.getProcessName(), tnString::IString("editor"));
    PlainChecker other;
    other = checker;
    EXPECT_EQ(other.getProcessName(), tnString::IString("editor"));
}

} // namespace
