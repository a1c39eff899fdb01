#include "CommandInstanceState.h"

#include "../application/DocumentInstance.h"
#include "../application/DocumentWindow.h"
#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "CommandInstance.h"

#include <cinttypes>
#include <cstdint>

namespace tnUI {

namespace {

DocumentInstance* checkedInstance(DocumentInstance* d)
{
    if (!d)
        throw NullError();
    return d;
}

} // namespace

CommandInstanceState::CommandInstanceState(const CallInfo& call)
    : m_documentInstance(checkedInstance(call.getDocumentInstance()))
{}

CommandInstanceState::~CommandInstanceState() = default;

void CommandInstanceState::init()
{}

CommandDefn* CommandInstanceState::getCommand()
{
    return m_owner ? m_owner->getCommand() : nullptr;
}

const CommandDefn* CommandInstanceState::getCommand() const
{
    return m_owner ? m_owner->getCommand() : nullptr;
}

CallInfo CommandInstanceState::createCallInfo() const
{
    Window* window = m_documentInstance ? m_documentInstance->getDocumentWindow() : nullptr;
    return CallInfo(nullptr, window, m_documentInstance, m_owner);
}

bool CommandInstanceState::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    // The address as hex digits after "0x" on every platform ("%p" adds its
    // own "0x", or prints "(nil)").
    file.printf(level + 1, "Owned by instance 0x%08" PRIxPTR "\n", reinterpret_cast<std::uintptr_t>(m_owner));
    return true;
}

} // namespace tnUI
