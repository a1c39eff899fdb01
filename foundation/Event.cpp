#include "Event.h"

namespace tnUI {

Event::~Event() = default;
PositionEvent::~PositionEvent() = default;
MouseEvent::~MouseEvent() = default;
TabletEvent::~TabletEvent() = default;
WheelEvent::~WheelEvent() = default;
KeyEvent::~KeyEvent() = default;

bool MouseEvent::isPress() const
{
    return m_button >= Left && m_clicks > 0;
}

bool MouseEvent::isButtonHeld() const
{
    return m_button >= Left;
}

bool MouseEvent::isButtonActive() const
{
    return m_button == ButtonUp || m_button >= Left;
}

bool TabletEvent::isPress() const
{
    return m_type == Press;
}

bool TabletEvent::isButtonHeld() const
{
    return m_type == Press || m_type == Drag;
}

bool TabletEvent::isRelease() const
{
    return m_type == Release;
}

} // namespace tnUI
