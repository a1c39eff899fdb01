#include "CommandDefn.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "CommandInstance.h"

namespace tnUI {

namespace {

// The name a definition is constructed with: a null or empty one is refused.
const Name* checkedName(const Name* n)
{
    if (!n || n->isEmpty())
        throw NullError();
    return n;
}

const tnString::CString& checkedText(const tnString::CString& t)
{
    if (t.isEmpty())
        throw NullError();
    return t;
}

} // namespace

CommandDefn::CommandDefn(const Name* n)
{
    setName(checkedName(n));
}

CommandDefn::CommandDefn(const tnString::CString& t)
{
    setName(checkedText(t));
}

void CommandDefn::setClass(CommandClass* c)
{
    removeSignal(m_class.get());
    m_class = c;
    connectSignal(c);
}

void CommandDefn::setEnabledExpression(NumericValue* e)
{
    removeSignal(m_enabledExpression.get());
    m_enabledExpression = e;
    if (e)
        tnRTB::connect<&CommandDefn::enabledChanged>(e->messageSignal, this);
}

void CommandDefn::setCommandEnabledCondition()
{
    const tn::Reference<NumericValue> condition = createCondition();
    if (condition)
        setEnabledExpression(condition.get());
}

bool CommandDefn::getEnabled() const
{
    return !m_enabledExpression || m_enabledExpression->evalBool();
}

bool CommandDefn::isTool() const
{
    return isContinuous();
}

bool CommandDefn::isMomentary() const
{
    return false;
}

bool CommandDefn::isContinuous() const
{
    return false;
}

bool CommandDefn::actsLikeMomentary() const
{
    return false;
}

tn::Reference<NumericValue> CommandDefn::createCondition()
{
    return nullptr;
}

void CommandDefn::enabledChanged(Message& m)
{
    resendMessage(m, Message::Appearance);
}

bool CommandDefn::dump(DumpFile& file, int level, const char* label) const
{
    if (!DecoratedEntity::dump(file, level, label))
        return false;
    if (m_enabledExpression)
        m_enabledExpression->dump(file, level + 1, "enabled");
    if (m_class)
        m_class->dump(file, level + 1, "class");
    return true;
}

MomentaryCommandDefn::MomentaryCommandDefn() = default;

MomentaryCommandDefn::MomentaryCommandDefn(const Name* n) : CommandDefn(n)
{}

MomentaryCommandDefn::MomentaryCommandDefn(const tnString::CString& t) : CommandDefn(t)
{}

MomentaryCommandDefn::~MomentaryCommandDefn() = default;

void MomentaryCommandDefn::setForceCommand(CommandInstance* ci)
{
    if (!ci)
        throw NullError();
    if (ci->actsLikeMomentary())
        throw ImplError();
    removeSignal(m_forceCommand.get());
    m_forceCommand = ci;
    connectSignal(ci);
}

bool MomentaryCommandDefn::isMomentary() const
{
    return true;
}

bool MomentaryCommandDefn::actsLikeMomentary() const
{
    return true;
}

void MomentaryCommandDefn::execute(CallInfo& call)
{
    (void)call;
}

bool MomentaryCommandDefn::dump(DumpFile& file, int level, const char* label) const
{
    if (!CommandDefn::dump(file, level, label))
        return false;
    if (m_forceCommand)
        m_forceCommand->dump(file, level + 1, "forceCommand");
    file.printf(level + 1, "doesStateChange = %s\n", DumpFile::dumpBool(m_doesStateChange));
    return true;
}

TestCommandDefn::TestCommandDefn(const tnString::CString& t) : MomentaryCommandDefn(t)
{}

} // namespace tnUI
