#include "WindowPane.h"

#include "../entity/DumpFile.h"
#include "Window.h"

namespace tnUI {

DocumentWindow* WindowPane::getDocumentWindow()
{
    return m_window ? m_window->getDocumentWindow() : nullptr;
}

const DocumentWindow* WindowPane::getDocumentWindow() const
{
    return m_window ? static_cast<const Window*>(m_window)->getDocumentWindow() : nullptr;
}

QWidget* WindowPane::realizePane()
{
    return nullptr;
}

void WindowPane::setWindow(Window* w)
{
    m_window = w;
    if (w)
        tnRTB::connect(w->destroyedSignal, this, &WindowPane::destroyedWindow);
}

void WindowPane::destroyedWindow(Entity* e)
{
    (void)e;
    m_window = nullptr;
}

bool WindowPane::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedLabeledEntity::dump(file, level, label))
        return false;
    if (m_window)
        m_window->dump(file, level + 1, nullptr);
    return true;
}

} // namespace tnUI
