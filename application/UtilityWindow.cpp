#include "UtilityWindow.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "Application.h"
#include "DocumentInstance.h"
#include "DocumentWindow.h"
#include "WindowPane.h"

namespace tnUI {

UtilityWindow::UtilityWindow(DocumentWindow* d)
{
    if (!d)
        throw NullError();
    // The document window holds this window, but a host may hold it longer.
    m_documentWindow = d;
    d->addWindow(this);
}

UtilityWindow::~UtilityWindow() = default;

bool UtilityWindow::isUtilityWindow() const
{
    return true;
}

DocumentWindow* UtilityWindow::getDocumentWindow()
{
    return m_documentWindow;
}

const DocumentWindow* UtilityWindow::getDocumentWindow() const
{
    return m_documentWindow;
}

void UtilityWindow::setQtUtilityWindow(QtUtilityWindow* w, ToolkitWindowImpl* i)
{
    m_qtWindow = w;
    provideToolkitImpl(i);
}

void UtilityWindow::setContent(WindowPane* p)
{
    if (!p)
        throw NullError();
    if (m_content.get() == p)
        return;
    removeSignal(m_content.get());
    m_content = p;
    p->setWindow(this);
    connectSignal(p);
}

WindowPane* UtilityWindow::getWindowPane() const
{
    return m_content.get();
}

void UtilityWindow::raiseWindow()
{
    if (!m_documentWindow) {
        Window::raiseWindow();
        return;
    }
    DocumentInstance* instance = m_documentWindow->getDocumentInstance();
    const Application* application = instance ? instance->getApplication() : nullptr;
    if (application && application->getActiveDocumentInstance() == instance)
        Window::raiseWindow();
    else
        hideWindowAsPartOfGroup();
}

void UtilityWindow::dropWindow()
{
    droppedSignal.fire(this);
}

void UtilityWindow::expandWindow(bool expand)
{
    (void)expand;
}

void UtilityWindow::shrinkWindow()
{}

tnString::CString UtilityWindow::getInternalState()
{
    return {};
}

void UtilityWindow::setInternalState(const tnString::CString& state)
{
    (void)state;
}

bool UtilityWindow::dump(DumpFile& file, int level, const char* label) const
{
    if (!Window::dump(file, level, label))
        return false;
    if (m_documentWindow)
        m_documentWindow->dump(file, level + 1, "document window");
    if (m_content)
        m_content->dump(file, level + 1, "pane");
    return true;
}

} // namespace tnUI
