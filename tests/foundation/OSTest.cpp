#include <tnUI/foundation/Filename.h>
#include <tnUI/foundation/IdleTasks.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

using tnString::CString;
using tnString::IString;

TEST(Filename, DirnameLikePosix)
{
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"", "."}, {"a", "."}, {"a/", "."}, {"/", "/"}, {"//", "/"}, {"/a/", "/"}, {"//a", "/"}, {"a/b/", "a"},
        {"a//b", "a"}, {"/usr/lib///", "/usr"}, {"//a//b//", "//a"}, {"../x/y", "../x"},
        {"/opt/app/bin/program", "/opt/app/bin"}};
    // clang-format on
    for (const auto& [path, dir] : cases) {
        EXPECT_EQ(tnOS::Filename::dirname(CString(path)), CString(dir)) << path;
        EXPECT_EQ(tnOS::Filename::dirname(IString(path)), IString(dir)) << path;
    }
    const IString wide(L"/home/j\u00fcrgen/\U0001F600/bild.png");
    EXPECT_EQ(tnOS::Filename::dirname(wide), IString(L"/home/j\u00fcrgen/\U0001F600"));
}

class CountedTask : public tnUtil::IdleTask {
public:
    CountedTask(std::vector<int>& log, int tag, int& alive) : m_log(log), m_tag(tag), m_alive(alive) { ++m_alive; }
    ~CountedTask() override { --m_alive; }
    CountedTask(const CountedTask&) = delete;
    CountedTask& operator=(const CountedTask&) = delete;
    void run() override { m_log.push_back(m_tag); }

private:
    std::vector<int>& m_log;
    int m_tag;
    int& m_alive;
};

TEST(IdleTasks, RunOnceInOrderAndRemove)
{
    tnUtil::IdleTasks tasks;
    std::vector<int> log;
    int alive = 0;
    EXPECT_FALSE(tasks.run());
    EXPECT_EQ(tasks.add(std::function<void()>()), 0u);
    EXPECT_EQ(tasks.add(std::unique_ptr<tnUtil::IdleTask>()), 0u);
    tnUtil::IdleTasks::Id later = 0;
    const auto first = tasks.add([&] {
        log.push_back(1);
        tasks.remove(later);                  // a task may remove a later one
        tasks.add([&] { log.push_back(6); }); // waits for the next run
    });
    later = tasks.add([&] { log.push_back(2); });
    const auto counted = tasks.add(std::make_unique<CountedTask>(log, 3, alive));
    tasks.add(std::make_unique<CountedTask>(log, 4, alive));
    EXPECT_EQ(tasks.getNumPending(), 4);
    EXPECT_TRUE(tasks.remove(counted));
    EXPECT_EQ(alive, 1); // the registry owned the task and dropped it
    EXPECT_FALSE(tasks.remove(counted) || tasks.remove(12345));

    EXPECT_TRUE(tasks.run());
    EXPECT_EQ(std::tuple(log, alive, tasks.getNumPending()), std::tuple(std::vector<int>{1, 4}, 0, 1));
    EXPECT_FALSE(tasks.remove(first)); // already ran
    EXPECT_TRUE(tasks.run());
    EXPECT_FALSE(tasks.run());
    EXPECT_EQ(log, (std::vector<int>{1, 4, 6}));
}

TEST(IdleTasks, ThrowingTaskKeepsTheRestPending)
{
    tnUtil::IdleTasks tasks;
    std::vector<int> log;
    int alive = 0;
    tasks.add([&] { log.push_back(1); });
    tasks.add([] { throw std::runtime_error("idle work failed"); });
    tasks.add(std::make_unique<CountedTask>(log, 3, alive));
    EXPECT_THROW(tasks.run(), std::runtime_error);
    EXPECT_EQ(std::tuple(log, alive, tasks.getNumPending()), std::tuple(std::vector<int>{1}, 1, 1));
    tasks.run();
    EXPECT_EQ(std::tuple(log, alive), std::tuple(std::vector<int>{1, 3}, 0));
}

} // namespace
