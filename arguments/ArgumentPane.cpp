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
    const tn::Reference<Argument> previous = std::move(m_argument);
    m_argument = a;
    const tn::Reference<Argument> shown = m_argument;
    argumentSignal.fire(previous.get(), shown.get());
}

} // namespace tnUI
