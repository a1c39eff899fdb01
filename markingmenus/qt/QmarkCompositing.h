#pragma once

#include "../../foundation/Export.h"

/// Whether the windows of the application's display are composited, so that a translucent
/// window shows what lies beneath it. Asked at each popup: a compositing
/// manager can start or stop while the host runs.
class TNUI_EXPORT QmarkCompositing {
public:
    /// True on platforms that always composite (Wayland, Windows, macOS, the
    /// offscreen platform) and on X11 while a compositing manager owns the
    /// _NET_WM_CM_S<n> selection of the display's screen n. False on X11 without one, and on
    /// X11 when the library was built without the X11 headers to ask with.
    static bool isActive();
};
