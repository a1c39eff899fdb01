#pragma once

#include "Export.h"

#include <chrono>

namespace tnOS {

/// Measures elapsed time in seconds on the monotonic clock. The watch adds up
/// the intervals between start() and stop(); check() reads the total so far,
/// including the interval still running.
class TNUI_EXPORT StopWatch {
public:
    StopWatch() = default;

    /// Begins an interval; no effect while running.
    void start();
    /// Ends the running interval and adds it to the total; no effect while stopped.
    void stop();
    /// The total in seconds, never negative, never decreasing until clear().
    double check() const;
    /// Sets the total to zero. A running watch keeps running, from now.
    void clear();
    /// Whether it is running.
    bool isRunning() const { return m_running; }

private:
    using Clock = std::chrono::steady_clock;

    Clock::duration m_total{};
    Clock::time_point m_begin{};
    bool m_running = false;
};

} // namespace tnOS
