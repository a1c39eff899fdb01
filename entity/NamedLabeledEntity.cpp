#include "NamedLabeledEntity.h"

#include "DumpFile.h"

namespace tnUI {

const Label* NamedLabeledEntity::getLabel() const
{
    return m_label.get();
}

const Label* NamedLabeledEntity::getToolTip() const
{
    return m_toolTip.get();
}

const HelpRef* NamedLabeledEntity::getHelpRef() const
{
    return m_helpRef.get();
}

template <class T>
void NamedLabeledEntity::_replaceMember(tn::Reference<const T>& member, const T* value)
{
    if (member.get() == value)
        return;
    // Cut the old member's forwarding, then take the new reference before
    // releasing the old one and forward the new member. A label that never
    // changes sends nothing to forward: it is not listened to.
    if (member && member->canChange())
        removeSignal(member.get());
    member = value;
    if (value && value->canChange())
        connectSignal(value);
    Message m(this, Message::Label);
    sendMessage(m);
}

void NamedLabeledEntity::setLabel(const Label* label)
{
    _replaceMember(m_label, label);
}

void NamedLabeledEntity::setToolTip(const Label* toolTip)
{
    _replaceMember(m_toolTip, toolTip);
}

void NamedLabeledEntity::setHelpRef(const HelpRef* helpRef)
{
    _replaceMember(m_helpRef, helpRef);
}

bool NamedLabeledEntity::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedEntity::dump(file, level, label))
        return false;
    if (m_label)
        m_label->dump(file, level + 1, "Label");
    if (m_toolTip)
        m_toolTip->dump(file, level + 1, "ToolTip");
    if (m_helpRef)
        m_helpRef->dump(file, level + 1, "HelpRef");
    return true;
}

} // namespace tnUI
