#include "Window.h"

#include "../commands/CommandController.h"
#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "DocumentInstance.h"
#include "DocumentWindow.h"
#include "ToolkitImpl.h"

namespace tnUI {

Window::Window()
{
    m_impl.setCallback<&Window::_implLost>(this);
}

bool Window::isDocumentWindow() const
{
    return false;
}

bool Window::isUtilityWindow() const
{
    return false;
}

void Window::raiseWindow()
{
    // The widget and the listeners may let go of this window.
    const tn::Reference<Window> held = tn::keepAlive(this);
    if (m_impl)
        m_impl->raise();
    m_hiddenByGroup = false;
    raisedSignal.fire(this);
}

void Window::hideWindow()
{
    if (m_impl)
        m_impl->hide();
    hiddenSignal.fire(this);
}

void Window::closeWindow()
{
    if (m_impl)
        m_impl->close();
}

bool Window::isVisible() const
{
    return m_impl ? m_impl->isVisible() : false;
}

void Window::hideWindowAsPartOfGroup()
{
    // The widget and the listeners may let go of this window.
    const tn::Reference<Window> held = tn::keepAlive(this);
    hideWindow();
    m_hiddenByGroup = true;
}

CommandController& Window::getCommandController() const
{
    const DocumentWindow* documentWindow = getDocumentWindow();
    DocumentInstance* instance = documentWindow ? documentWindow->getDocumentInstance() : nullptr;
    if (!instance)
        throw NullError();
    return instance->getCommandController();
}

void Window::selectCommand(CommandInstance* c)
{
    if (!c)
        throw NullError();
    getCommandController().select(this, c);
}

void Window::provideToolkitImpl(ToolkitWindowImpl* i)
{
    // Only the bound implementation's death closes the window, and it is
    // watched once however often it is given.
    m_impl = i;
}

void Window::destroyedImpl(ToolkitImpl* /*i*/)
{
    appout()(3, "Window toolkit impl destroyed: %p\n", static_cast<void*>(this));
    m_impl = nullptr;
    closedSignal.fire(this);
}

bool Window::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedLabeledEntity::dump(file, level, label))
        return false;
    if (m_impl)
        m_impl->dump(file, level + 1);
    return true;
}

} // namespace tnUI
