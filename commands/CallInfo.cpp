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
    _setCallbacks();
}

// A copy is a new entity: it shares the four objects, not the listeners.
CallInfo::CallInfo(const CallInfo& other)
    : Entity(), m_windowPane(other.m_windowPane), m_window(other.m_window),
      m_documentInstance(other.m_documentInstance), m_commandInstance(other.m_commandInstance)
{
    _setCallbacks();
}

CallInfo& CallInfo::operator=(const CallInfo& other)
{
    if (this == &other ||
        (m_windowPane == other.m_windowPane && m_window == other.m_window &&
         m_documentInstance == other.m_documentInstance && m_commandInstance == other.m_commandInstance))
        return *this;
    // All four are watched anew, in the constructor's order, as by a new
    // record.
    m_windowPane = nullptr;
    m_window = nullptr;
    m_documentInstance = nullptr;
    m_commandInstance = nullptr;
    m_windowPane = other.m_windowPane;
    m_window = other.m_window;
    m_documentInstance = other.m_documentInstance;
    m_commandInstance = other.m_commandInstance;
    return *this;
}

CallInfo::~CallInfo() = default;

void CallInfo::_setCallbacks() noexcept
{
    m_windowPane.setCallback<&CallInfo::_forgotten>(this);
    m_window.setCallback<&CallInfo::_forgotten>(this);
    m_documentInstance.setCallback<&CallInfo::_forgotten>(this);
    m_commandInstance.setCallback<&CallInfo::_forgotten>(this);
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
