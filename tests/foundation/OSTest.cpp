#include <tnUI/foundation/AppMain.h>
#include <tnUI/foundation/Filename.h>
#include <tnUI/foundation/IdleTasks.h>
#include <tnUI/foundation/StopWatch.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using tnString::CString;
using tnString::IString;

TEST(StopWatch, StartsAtZeroAndStopped)
{
    const tnOS::StopWatch w;
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(w.check(), 0.0);
}

TEST(StopWatch, RunningTimeNeverDecreases)
{
    tnOS::StopWatch w;
    w.start();
    EXPECT_TRUE(w.isRunning());
    double last = w.check();
    EXPECT_GE(last, 0.0);
    for (int i = 0; i < 1000; ++i) {
        const double now = w.check();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(StopWatch, StoppedWatchHoldsItsTotalAndResumes)
{
    tnOS::StopWatch w;
    w.start();
    w.start(); // no effect while running
    w.stop();
    const double total = w.check();
    EXPECT_GE(total, 0.0);
    EXPECT_EQ(w.check(), total);
    w.stop(); // no effect while stopped
    EXPECT_EQ(w.check(), total);

    w.start();
    EXPECT_GE(w.check(), total);
    w.stop();
    EXPECT_GE(w.check(), total);
}

TEST(StopWatch, ClearResets)
{
    tnOS::StopWatch w;
    w.start();
    w.stop();
    w.clear();
    EXPECT_EQ(w.check(), 0.0);
    EXPECT_FALSE(w.isRunning());

    // A running watch keeps running from zero.
    w.start();
    w.clear();
    EXPECT_TRUE(w.isRunning());
    EXPECT_GE(w.check(), 0.0);
    w.stop();
    w.clear();
    EXPECT_EQ(w.check(), 0.0);
}

struct DirnameCase {
    const char* path;
    const char* dir;
};

class Dirname : public ::testing::TestWithParam<DirnameCase> {};

TEST_P(Dirname, LikePosix)
{
    const DirnameCase& c = GetParam();
    EXPECT_EQ(tnOS::Filename::dirname(CString(c.path)), CString(c.dir));
    EXPECT_EQ(tnOS::Filename::dirname(IString(c.path)), IString(c.dir));
}

INSTANTIATE_TEST_SUITE_P(Cases, Dirname,
                         ::testing::Values(DirnameCase{"", "."}, DirnameCase{"a", "."}, DirnameCase{"a/", "."},
                                           DirnameCase{".", "."}, DirnameCase{"/", "/"}, DirnameCase{"//", "/"},
                                           DirnameCase{"/a", "/"}, DirnameCase{"/a/", "/"}, DirnameCase{"//a", "/"},
                                           DirnameCase{"a/b", "a"}, DirnameCase{"a/b/", "a"}, DirnameCase{"a//b", "a"},
                                           DirnameCase{"/usr/lib", "/usr"}, DirnameCase{"/usr/lib///", "/usr"},
                                           DirnameCase{"//a//b//", "//a"}, DirnameCase{"./x", "."},
                                           DirnameCase{"../x/y", "../x"},
                                           DirnameCase{"/opt/app/bin/program", "/opt/app/bin"}));

struct JoinCase {
    const char* dir;
    const char* name;
    const char* joined;
};

class Join : public ::testing::TestWithParam<JoinCase> {};

TEST_P(Join, OneSlashBetween)
{
    const JoinCase& c = GetParam();
    EXPECT_EQ(tnOS::Filename::join(CString(c.dir), CString(c.name)), CString(c.joined));
    EXPECT_EQ(tnOS::Filename::join(IString(c.dir), IString(c.name)), IString(c.joined));
}

INSTANTIATE_TEST_SUITE_P(Cases, Join,
                         ::testing::Values(JoinCase{"a", "b", "a/b"}, JoinCase{"a/", "b", "a/b"},
                                           JoinCase{"/", "b", "/b"}, JoinCase{"a//", "b", "a//b"},
                                           JoinCase{"a", "b/c", "a/b/c"}, JoinCase{"", "b", "b"},
                                           JoinCase{"a", "", "a"}, JoinCase{"", "", ""}, JoinCase{"a", "/b", "/b"},
                                           JoinCase{".", "res", "./res"}));

TEST(Filename, UnicodePaths)
{
    const IString path(L"/home/j\u00fcrgen/\U0001F600/bild.png");
    EXPECT_EQ(tnOS::Filename::dirname(path), IString(L"/home/j\u00fcrgen/\U0001F600"));
    EXPECT_EQ(tnOS::Filename::join(tnOS::Filename::dirname(path), IString(L"\u00e9.png")),
              IString(L"/home/j\u00fcrgen/\U0001F600/\u00e9.png"));
}

TEST(AppMain, BaseLocationIsThisProgram)
{
    tnOS::AppMain& app = tnOS::AppMain::getInstance();
    EXPECT_EQ(&app, &tnOS::AppMain::getInstance());
    const std::filesystem::path location(app.getBaseLocation().asUTF8().str());
    EXPECT_TRUE(location.is_absolute());
    EXPECT_EQ(location.filename(), "test_foundation");
    EXPECT_TRUE(std::filesystem::is_regular_file(location));
    // The installation directory is found from it.
    const IString dir = tnOS::Filename::dirname(app.getBaseLocation());
    EXPECT_TRUE(std::filesystem::is_directory(dir.asUTF8().str()));
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

TEST(IdleTasks, RunsEachTaskOnceInOrder)
{
    tnUtil::IdleTasks tasks;
    std::vector<int> log;
    int alive = 0;
    EXPECT_FALSE(tasks.run());
    EXPECT_NE(tasks.add([&] { log.push_back(1); }), 0u);
    EXPECT_NE(tasks.add(std::make_unique<CountedTask>(log, 2, alive)), 0u);
    tasks.add([&] { log.push_back(3); });
    EXPECT_EQ(tasks.getNumPending(), 3);
    EXPECT_EQ(alive, 1);

    EXPECT_TRUE(tasks.run());
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(tasks.getNumPending(), 0);
    EXPECT_EQ(alive, 0); // the registry owned the task and dropped it

    EXPECT_FALSE(tasks.run());
    EXPECT_EQ(log.size(), 3u);
}

TEST(IdleTasks, TaskAddedWhileRunningWaitsForNextRun)
{
    tnUtil::IdleTasks tasks;
    std::vector<int> log;
    tasks.add([&] {
        log.push_back(1);
        tasks.add([&] { log.push_back(2); });
    });
    tasks.run();
    EXPECT_EQ(log, (std::vector<int>{1}));
    EXPECT_EQ(tasks.getNumPending(), 1);
    tasks.run();
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(IdleTasks, RemoveDropsPendingTask)
{
    tnUtil::IdleTasks tasks;
    std::vector<int> log;
    int alive = 0;
    const auto first = tasks.add([&] { log.push_back(1); });
    const auto second = tasks.add(std::make_unique<CountedTask>(log, 2, alive));
    tasks.add([&] { log.push_back(3); });
    EXPECT_TRUE(tasks.remove(second));
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(tasks.remove(second));
    EXPECT_FALSE(tasks.remove(12345));
    tasks.run();
    EXPECT_EQ(log, (std::vector<int>{1, 3}));
    EXPECT_FALSE(tasks.remove(first)); // already ran
}

TEST(IdleTasks, TaskMayRemoveALaterOne)
{
    tnUtil::IdleTasks tasks;
    std::vector<int> log;
    tnUtil::IdleTasks::Id later = 0;
    tasks.add([&] {
        log.push_back(1);
        tasks.remove(later);
    });
    later = tasks.add([&] { log.push_back(2); });
    tasks.add([&] { log.push_back(3); });
    tasks.run();
    EXPECT_EQ(log, (std::vector<int>{1, 3}));
}

TEST(IdleTasks, NullTasksAreRefused)
{
    tnUtil::IdleTasks tasks;
    EXPECT_EQ(tasks.add(std::function<void()>()), 0u);
    EXPECT_EQ(tasks.add(std::unique_ptr<tnUtil::IdleTask>()), 0u);
    EXPECT_EQ(tasks.getNumPending(), 0);
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
    EXPECT_EQ(log, (std::vector<int>{1}));
    EXPECT_EQ(tasks.getNumPending(), 1);
    EXPECT_EQ(alive, 1);
    tasks.run();
    EXPECT_EQ(log, (std::vector<int>{1, 3}));
    EXPECT_EQ(alive, 0);
}

class CountingRegistry : public tnUtil::IdleTasks {
public:
    bool run() override
    {
        ++runs;
        return IdleTasks::run();
    }
    int runs = 0;
};

TEST(IdleTasks, RunIsReplaceable)
{
    CountingRegistry registry;
    tnUtil::IdleTasks& base = registry;
    int done = 0;
    base.add([&] { ++done; });
    EXPECT_TRUE(base.run());
    EXPECT_EQ(registry.runs, 1);
    EXPECT_EQ(done, 1);
}

TEST(IdleTasks, ProcessWideRegistry)
{
    tnUtil::IdleTasks& tasks = tnUtil::getIdleTasks();
    EXPECT_EQ(&tasks, &tnUtil::getIdleTasks());
    bool ran = false;
    tasks.add([&] { ran = true; });
    tnUtil::getIdleTasks().run();
    EXPECT_TRUE(ran);
    EXPECT_EQ(tasks.getNumPending(), 0);
}

} // namespace
