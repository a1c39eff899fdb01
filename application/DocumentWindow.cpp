#include "DocumentWindow.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "DocumentInstance.h"
#include "UtilityWindow.h"

#include <algorithm>
#include <cinttypes>

namespace tnUI {

DocumentWindow::DocumentWindow(DocumentInstance* d)
{
    if (!d)
        throw NullError();
    // The instance holds this window, but a host may hold it longer.
    m_instance = d;
    d->associateWindow(this);
}

DocumentWindow::~DocumentWindow()
{
    appout()(3, "Document window freed %p\n", static_cast<void*>(this));
    tn::vector<tn::Reference<UtilityWindow>> windows;
    windows.swap(m_windows);
}

bool DocumentWindow::isDocumentWindow() const
{
    return true;
}

DocumentWindow* DocumentWindow::getDocumentWindow()
{
    return this;
}

const DocumentWindow* DocumentWindow::getDocumentWindow() const
{
    return this;
}

Document* DocumentWindow::getDocument() const
{
    return m_instance ? m_instance->getDocument() : nullptr;
}

Application* DocumentWindow::getApplication() const
{
    return m_instance ? m_instance->getApplication() : nullptr;
}

void DocumentWindow::setQtDocumentWindow(QtDocumentWindow* w, ToolkitWindowImpl* i)
{
    m_qtWindow = w;
    provideToolkitImpl(i);
    // Once only, however often the widget is given.
    closedSignal.disconnectInstance(this);
    tnRTB::connect(closedSignal, this, &DocumentWindow::masterWindowClosed);
}

void DocumentWindow::addWindow(UtilityWindow* u)
{
    if (!u)
        throw NullError();
    if (findWindow(u) != -1)
        throw DuplicateError();
    m_windows.emplace_back(u);
    tnRTB::connect(u->closedSignal, this, &DocumentWindow::childWindowClosed);
    windowAddedSignal.fire(u);
}

void DocumentWindow::childWindowClosed(Window* u)
{
    const int i = findWindow(u);
    if (i == -1)
        throw ImplError();
    u->closedSignal.disconnectInstance(this);
    // Held until the entry is gone, so that the list is consistent when the
    // window dies.
    const tn::Reference<UtilityWindow> held = m_windows[static_cast<std::size_t>(i)];
    m_windows.erase(m_windows.begin() + i);
}

UtilityWindow* DocumentWindow::getWindow(int i) const
{
    if (i < 0 || i >= getNumWindows())
        throw IndexError();
    return m_windows[static_cast<std::size_t>(i)].get();
}

UtilityWindow* DocumentWindow::findWindow(const tnString::CString& name) const
{
    for (const auto& w : m_windows) {
        const Name* n = w->getName();
        if (n && *n == name)
            return w.get();
    }
    return nullptr;
}

int DocumentWindow::findWindow(const Window* w) const
{
    const auto it = std::find_if(m_windows.begin(), m_windows.end(), [w](const auto& u) { return u.get() == w; });
    return it == m_windows.end() ? -1 : static_cast<int>(it - m_windows.begin());
}

void DocumentWindow::raiseWindow()
{
    // The utility windows' widgets may let go of this window.
    const tn::Reference<DocumentWindow> held = tn::keepAlive(this);
    raiseGroup();
    Window::raiseWindow();
}

// The group operations walk a copy: the host's widgets may close windows
// while they are raised or hidden.
void DocumentWindow::raiseGroup()
{
    const auto windows = m_windows;
    for (const auto& w : windows) {
        if (w->hiddenByGroup())
            w->raiseWindow();
    }
}

void DocumentWindow::hideGroup()
{
    const auto windows = m_windows;
    for (const auto& w : windows) {
        if (w->isVisible())
            w->hideWindowAsPartOfGroup();
    }
}

void DocumentWindow::closeGroup()
{
    const auto windows = m_windows;
    for (const auto& w : windows)
        w->closeWindow();
    // Those still here are let go without waiting for their close notice;
    // a notice arriving later must not reach this window.
    for (const auto& w : m_windows)
        w->closedSignal.disconnectInstance(this);
    tn::vector<tn::Reference<UtilityWindow>> released;
    released.swap(m_windows);
}

bool DocumentWindow::canCloseWindow()
{
    return true;
}

void DocumentWindow::closeUtilityWindows()
{
    const auto windows = m_windows;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        (*it)->closeWindow();
}

void DocumentWindow::masterWindowClosed(Window* w)
{
    (void)w;
    // The instance lets go of this window; it must live until the group is
    // closed.
    const tn::Reference<DocumentWindow> held = tn::keepAlive(this);
    if (m_instance)
        m_instance->documentWindowClosed();
    closeGroup();
}

bool DocumentWindow::dump(DumpFile& file, int level, const char* label) const
{
    if (!Window::dump(file, level, label))
        return false;
    file.printf(level + 1, "Document instance 0x%" PRIxPTR "\n", reinterpret_cast<std::uintptr_t>(m_instance.get()));
    file.printf(level + 1, "Associated windows = %d\n", getNumWindows());
    for (const auto& w : m_windows)
        w->dump(file, level + 2, nullptr);
    return true;
}

} // namespace tnUI
