#include "WatchedPointer.h"

namespace tnUI {

void WatchedPointerBase::_release() noexcept
{
    disconnectAll();
    m_target = nullptr;
}

void WatchedPointerBase::_lost()
{
    // The emission pins the running connection, so it may be cut here; the
    // callback then finds the pointer free to watch something else.
    _release();
    // The callback may destroy this pointer: nothing is touched afterwards.
    if (m_callback)
        m_callback(m_owner);
}

} // namespace tnUI
