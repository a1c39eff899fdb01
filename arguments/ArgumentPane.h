#pragma once

#include "../foundation/Export.h"

#include "../application/WindowPane.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "../foundation/Signal.h"
#include "Argument.h"

namespace tnUI {

/// The window content that shows one argument, typically a group of them.
/// The pane does not listen to its argument: controls follow the argument
/// directly, and learn from argumentSignal when another one is shown.
class TNUI_EXPORT ArgumentPane : public WindowPane {
public:
    /// Fired by setArgument with the previous and the new argument, either
    /// possibly null; both stay alive during the emission. A replacement made
    /// by a listener is told once the notice in progress has reached every
    /// listener, so that each one hears the replacements in order and last
    /// the argument shown.
    tnRTB::Signal<Argument*, Argument*> argumentSignal;

    ArgumentPane() = default;
    /// Holds a (null accepted); fires nothing.
    explicit ArgumentPane(Argument* a);

    /// The argument.
    Argument* getArgument() noexcept { return m_argument.get(); }
    /// Shows a instead (the argument already shown: nothing) and fires
    /// argumentSignal.
    void setArgument(Argument* a);

private:
    struct Notice {
        tn::Reference<Argument> previous;
        tn::Reference<Argument> shown;
    };

    tn::Reference<Argument> m_argument;
    bool m_notifying = false;
    /// Replacements made by listeners, to be told in order.
    tn::vector<Notice> m_queued;
};

} // namespace tnUI
