#pragma once

#include "Export.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace tnUtil {

/// A piece of work to run once when the application is idle.
class TNUI_EXPORT IdleTask {
public:
    virtual ~IdleTask();
    /// The work.
    virtual void run() = 0;
};

/// The registry of pending idle work. Each task added runs once, at the next
/// run(), and is then dropped.
class TNUI_EXPORT IdleTasks {
public:
    /// A task's id.
    using Id = std::uint64_t;

    IdleTasks() = default;
    virtual ~IdleTasks();
    IdleTasks(const IdleTasks&) = delete;
    IdleTasks& operator=(const IdleTasks&) = delete;

    /// Queues a task and returns its id, never 0. A null task is not queued
    /// and gives 0.
    Id add(std::unique_ptr<IdleTask> task);
    /// Queues a function to call; an empty one is not queued and gives 0.
    Id add(std::function<void()> task);
    /// Drops a pending task; false when no task with that id is pending.
    bool remove(Id id);
    /// The number of pending.
    int getNumPending() const { return static_cast<int>(m_pending.size()); }

    /// Runs, in the order added, every task that was pending when the call
    /// began, removing each before it runs; tasks added meanwhile wait for the
    /// next call. If a task throws, the exception passes on and the tasks not
    /// yet run stay pending. True when at least one task ran.
    virtual bool run();

private:
    struct Entry {
        Id id;
        std::unique_ptr<IdleTask> task;
    };

    std::deque<Entry> m_pending;
    Id m_lastId = 0;
};

/// The process-wide registry that the application runs when idle.
TNUI_EXPORT IdleTasks& getIdleTasks();

} // namespace tnUtil
