#include "ArgumentPane.h"

namespace tnUI {

ArgumentPane::ArgumentPane(Argument* a) : m_argument(a)
{}

void ArgumentPane::setArgument(Argument* a)
{
    if (a == m_argument.get())
        return;
    const auto held = tn::keepAlive(this);
    // The previous argument dies, if nobody else holds it, only after the
    // listeners have seen it.
    Notice notice{std::move(m_argument), a};
    m_argument = a;
    if (m_notifying) {
        m_queued.push_back(std::move(notice));
        return;
    }
    m_notifying = true;
    try {
        for (;;) {
            argumentSignal.fire(notice.previous.get(), notice.shown.get());
            if (m_queued.empty())
                break;
            // Out of the queue before the notice told is let go: its
            // arguments' destruction may replace the argument again.
            Notice next = std::move(m_queued.front());
            m_queued.erase(m_queued.begin());
            notice = std::move(next);
        }
    } catch (...) {
        // The interrupted emission takes the replacements not yet told with it.
        m_notifying = false;
        tn::vector<Notice> untold;
        untold.swap(m_queued);
        throw;
    }
    m_notifying = false;
}

} // namespace tnUI
