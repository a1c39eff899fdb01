#include "StopWatch.h"

namespace tnOS {

void StopWatch::start()
{
    if (m_running)
        return;
    m_begin = Clock::now();
    m_running = true;
}

void StopWatch::stop()
{
    if (!m_running)
        return;
    m_total += Clock::now() - m_begin;
    m_running = false;
}

double StopWatch::check() const
{
    Clock::duration total = m_total;
    if (m_running)
        total += Clock::now() - m_begin;
    return std::chrono::duration<double>(total).count();
}

void StopWatch::clear()
{
    m_total = Clock::duration::zero();
    if (m_running)
        m_begin = Clock::now();
}

} // namespace tnOS
