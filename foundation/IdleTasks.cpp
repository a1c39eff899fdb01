#include "IdleTasks.h"

#include <algorithm>
#include <utility>

namespace tnUtil {

namespace {

class FunctionTask : public IdleTask {
public:
    explicit FunctionTask(std::function<void()> f) : m_function(std::move(f)) {}
    void run() override { m_function(); }

private:
    std::function<void()> m_function;
};

} // namespace

IdleTask::~IdleTask() = default;

IdleTasks::~IdleTasks() = default;

IdleTasks::Id IdleTasks::add(std::unique_ptr<IdleTask> task)
{
    if (!task)
        return 0;
    m_pending.push_back(Entry{++m_lastId, std::move(task)});
    return m_lastId;
}

IdleTasks::Id IdleTasks::add(std::function<void()> task)
{
    if (!task)
        return 0;
    return add(std::make_unique<FunctionTask>(std::move(task)));
}

bool IdleTasks::remove(Id id)
{
    const auto it = std::find_if(m_pending.begin(), m_pending.end(), [id](const Entry& e) { return e.id == id; });
    if (it == m_pending.end())
        return false;
    m_pending.erase(it);
    return true;
}

bool IdleTasks::run()
{
    // Ids grow with every add, so the tasks of this round are those with an
    // id up to the last one given out before the round began, however tasks
    // are added or removed while it runs.
    const Id last = m_lastId;
    bool ran = false;
    while (!m_pending.empty() && m_pending.front().id <= last) {
        const std::unique_ptr<IdleTask> task = std::move(m_pending.front().task);
        m_pending.pop_front();
        ran = true;
        task->run();
    }
    return ran;
}

IdleTasks& getIdleTasks()
{
    static IdleTasks tasks;
    return tasks;
}

} // namespace tnUtil
