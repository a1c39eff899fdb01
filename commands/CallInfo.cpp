#include "CallInfo.h"

#include "../application/Application.h"
#include "../application/DocumentInstance.h"
#include "../application/Window.h"
#include "../application/WindowPane.h"
#include "../entity/DumpFile.h"
#include "CommandInstance.h"

namespace tnUI {

CallInfo::CallInfo(WindowPane* pane, Window* window, DocumentInstance* documentInstance, CommandInstance* command)
    : m_windowPane(pane), m_window(window), m_documentInstance(documentInstance), m_commandInstance(command)
{
    _watch();
}

// A copy is a new entity: it shares the four objects, not the listeners.
CallInfo::CallInfo(const CallInfo& other)
    : Entity(), m_windowPane(other.m_windowPane), m_window(other.m_window),
      m_documentInstance(other.m_documentInstance), m_commandInstance(other.m_commandInstance)
{
    _watch();
}

CallInfo& CallInfo::operator=(const CallInfo& other)
{
    if (this == &other ||
        (m_windowPane == other.m_windowPane && m_window == other.m_window &&
         m_documentInstance == other.m_documentInstance && m_commandInstance == other.m_commandInstance))
        return *this;
    _unwatch();
    m_windowPane = other.m_windowPane;
    m_window = other.m_window;
    m_documentInstance = other.m_documentInstance;
    m_commandInstance = other.m_commandInstance;
    _watch();
    return *this;
}

CallInfo::~CallInfo() = default;

void CallInfo::_watch()
{
    if (m_windowPane)
        tnRTB::connect(m_windowPane->destroyedSignal, this, &CallInfo::paneDestroyed);
    if (m_window)
        tnRTB::connect(m_window->destroyedSignal, this, &CallInfo::winDestroyed);
    if (m_documentInstance)
        tnRTB::connect(m_documentInstance->destroyedSignal, this, &CallInfo::docDestroyed);
    if (m_commandInstance)
        tnRTB::connect(m_commandInstance->destroyedSignal, this, &CallInfo::cmdDestroyed);
}

void CallInfo::_unwatch()
{
    if (m_windowPane)
        m_windowPane->destroyedSignal.disconnectInstance(this);
    if (m_window)
        m_window->destroyedSignal.disconnectInstance(this);
    if (m_documentInstance)
        m_documentInstance->destroyedSignal.disconnectInstance(this);
    if (m_commandInstance)
        m_commandInstance->destroyedSignal.disconnectInstance(this);
}

bool CallInfo::isValid() const noexcept
{
    return m_windowPane && m_window && m_documentInstance;
}

DocumentWindow* CallInfo::getDocumentWindow() const
{
    return m_window ? m_window->getDocumentWindow() : nullptr;
}

Document* CallInfo::getDocument() const
{
    return m_documentInstance ? m_documentInstance->getDocument() : nullptr;
}

Application* CallInfo::getApplication() const
{
    if (m_documentInstance)
        return m_documentInstance->getApplication();
    return Application::findInstance();
}

Environment* CallInfo::getEnvironment() const
{
    return m_documentInstance ? m_documentInstance->getEnvironment() : nullptr;
}

Value* CallInfo::getValue(const tnString::CString& name) const
{
    return m_documentInstance ? m_documentInstance->getValue(name, true) : nullptr;
}

CommandInstanceState* CallInfo::getCommandInstanceState() const
{
    return m_commandInstance ? m_commandInstance->getInstanceState(m_documentInstance) : nullptr;
}

bool CallInfo::isSameCommandInstance(const CallInfo* other) const noexcept
{
    return other && other->m_commandInstance == m_commandInstance;
}

bool CallInfo::isCommandMomentary() const
{
    return m_commandInstance && m_commandInstance->isMomentary();
}

bool CallInfo::isCommandContinuous() const
{
    return m_commandInstance && m_commandInstance->isContinuous();
}

bool CallInfo::actsLikeMomentary() const
{
    return m_commandInstance && m_commandInstance->actsLikeMomentary();
}

// The four objects die while their destruction signal runs: only the
// address is compared, and the pointer forgotten.
void CallInfo::paneDestroyed(Entity* e)
{
    (void)e;
    m_windowPane = nullptr;
    _forgotten();
}

void CallInfo::winDestroyed(Entity* e)
{
    (void)e;
    m_window = nullptr;
    _forgotten();
}

void CallInfo::docDestroyed(Entity* e)
{
    (void)e;
    m_documentInstance = nullptr;
    _forgotten();
}

void CallInfo::cmdDestroyed(Entity* e)
{
    (void)e;
    m_commandInstance = nullptr;
    _forgotten();
}

void CallInfo::_forgotten()
{
    // A listener may let go of this record: nothing is touched afterwards.
    Message m(this, Message::Content);
    sendMessage(m);
}

bool CallInfo::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    if (m_windowPane)
        m_windowPane->dump(file, level + 1, nullptr);
    else
        file.printf(level + 1, "WindowPane is NULL\n");
    if (m_window)
        m_window->dump(file, level + 1, nullptr);
    else
        file.printf(level + 1, "Window is NULL\n");
    if (m_documentInstance)
        m_documentInstance->dump(file, level + 1, nullptr);
    else
        file.printf(level + 1, "DocumentInstance is NULL\n");
    if (m_commandInstance)
        m_commandInstance->dump(file, level + 1, nullptr);
    else
        file.printf(level + 1, "CommandInstance is NULL\n");
    return true;
}

} // namespace tnUI
