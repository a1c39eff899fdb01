#pragma once

#include "../foundation/Export.h"

#include "../foundation/AppOutput.h"
#include "../foundation/Signal.h"

#include <cstdint>

namespace tnUI {

class DumpFile;

/// The host's side of a toolkit binding: an object of the host's own class,
/// owned and deleted by the host. Its destruction is announced on
/// implDestroyedSignal; the model object bound to it then forgets it. Live
/// implementations are counted.
class TNUI_EXPORT ToolkitImpl {
public:
    /// Emitted by the destructor with the dying object.
    tnRTB::Signal<ToolkitImpl*> implDestroyedSignal;
    /// For the host's own notices; the library never emits it.
    tnRTB::Signal<ToolkitImpl*> hostSignal;

    ToolkitImpl(const ToolkitImpl&) = delete;
    ToolkitImpl& operator=(const ToolkitImpl&) = delete;
    virtual ~ToolkitImpl();

    /// Writes "ToolkitImpl <class> (ptr = <address>)" at level.
    virtual void dump(DumpFile& file, int level) const;

    /// The number of implementations alive in the process.
    static std::int32_t numberOfActiveObjects() noexcept;
    /// Kept for hosts that call it; implementations are counted, not listed.
    static void listActiveObjects() noexcept {}

    /// The process-wide diagnostic output.
    tnOS::AppOutput& appout() const { return tnOS::AppOutput::getInstance(); }

protected:
    ToolkitImpl();
};

/// What a WatchedPointer on an implementation listens to.
inline tnRTB::Signal<ToolkitImpl*>& destructionSignal(ToolkitImpl& i) noexcept
{
    return i.implDestroyedSignal;
}

/// The implementation of a window: the host's class carries the operations
/// out on its widget.
class TNUI_EXPORT ToolkitWindowImpl : public ToolkitImpl {
public:
    /// Shows the widget and brings it to the front.
    virtual void raise() = 0;
    /// Hides the widget.
    virtual void hide() = 0;
    /// Closes the widget; when the host then destroys this object, the window
    /// learns that it is closed.
    virtual void close() = 0;
    /// Whether it is visible.
    virtual bool isVisible() = 0;

protected:
    ToolkitWindowImpl() = default;
};

} // namespace tnUI
