#include "CommandInstance.h"

#include "../application/DocumentInstance.h"
#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../values/BoolValue.h"
#include "ContinuousCommandDefn.h"

#include <algorithm>

namespace tnUI {

CommandInstanceStateDataItem::CommandInstanceStateDataItem(DocumentInstance* documentInstance)
    : m_documentInstance(documentInstance)
{}

CommandInstanceStateDataItem::~CommandInstanceStateDataItem() = default;

namespace {

CommandDefn* checkedDefinition(CommandDefn* d)
{
    if (!d)
        throw NullError();
    return d;
}

// The text a value is stored under; NullError for a null or nameless value.
const tnString::CString& valueKey(const Value* v)
{
    const Name* name = v ? v->getName() : nullptr;
    if (!name || name->isEmpty())
        throw NullError();
    return name->asString();
}

} // namespace

CommandInstance::CommandInstance(CommandDefn* d)
    : m_definition(checkedDefinition(d)), m_momentary(dynamic_cast<MomentaryCommandDefn*>(d)),
      m_continuous(dynamic_cast<ContinuousCommandDefn*>(d))
{
    connectSignal(d);
}

CommandInstance::~CommandInstance()
{
    // The states go first, each losing its owner; the members follow in
    // reverse order of declaration.
    if (m_states) {
        for (const tn::Reference<CommandInstanceStateDataItem>& item : *m_states) {
            if (item->m_state)
                item->m_state->ownedBy(nullptr);
        }
        m_states.reset();
    }
}

bool CommandInstance::isMomentary() const
{
    return m_definition->isMomentary();
}

bool CommandInstance::isContinuous() const
{
    return m_definition->isContinuous();
}

bool CommandInstance::actsLikeMomentary() const
{
    return m_definition->actsLikeMomentary();
}

const Name* CommandInstance::getName() const
{
    const Name* own = Item::getName();
    return own ? own : m_definition->getName();
}

const Label* CommandInstance::getLabel() const
{
    const Label* own = Item::getLabel();
    return own ? own : m_definition->getLabel();
}

const Label* CommandInstance::getToolTip() const
{
    const Label* own = Item::getToolTip();
    return own ? own : m_definition->getToolTip();
}

const HelpRef* CommandInstance::getHelpRef() const
{
    const HelpRef* own = Item::getHelpRef();
    return own ? own : m_definition->getHelpRef();
}

ImageFile* CommandInstance::getIcon(IconState::EState s, IconMode::EMode m)
{
    ImageFile* own = Item::getIcon(s, m);
    return own ? own : m_definition->getIcon(s, m);
}

const ImageFile* CommandInstance::getIcon(IconState::EState s, IconMode::EMode m) const
{
    const ImageFile* own = Item::getIcon(s, m);
    return own ? own : static_cast<const CommandDefn&>(*m_definition).getIcon(s, m);
}

bool CommandInstance::getEnabled() const
{
    if (!m_definition->getEnabled())
        return false;
    return !m_enabledExpression || m_enabledExpression->evalBool();
}

bool CommandInstance::getChecked() const
{
    return !m_checkedExpression || m_checkedExpression->evalBool();
}

NumericValue* CommandInstance::getGroupExclusiveExpression() noexcept
{
    return isGrouped() ? m_groupExclusiveExpression.get() : nullptr;
}

const NumericValue* CommandInstance::getGroupExclusiveExpression() const noexcept
{
    return isGrouped() ? m_groupExclusiveExpression.get() : nullptr;
}

void CommandInstance::_setExpression(tn::Reference<NumericValue>& member, NumericValue* e)
{
    const tn::Reference<NumericValue> old = member;
    removeSignal(old.get());
    member = e;
    if (e)
        tnRTB::connect<&CommandInstance::exprChanged>(e->messageSignal, this);
    // Cutting the old expression's connections cut those of the other
    // members that hold it too: they listen again.
    if (!old)
        return;
    for (const tn::Reference<NumericValue>* other :
         {&m_enabledExpression, &m_checkedExpression, &m_visibilityExpression, &m_groupExclusiveExpression}) {
        if (other != &member && *other == old)
            tnRTB::connect<&CommandInstance::exprChanged>(old->messageSignal, this);
    }
}

void CommandInstance::setEnabledExpression(NumericValue* e)
{
    _setExpression(m_enabledExpression, e);
}

void CommandInstance::setCheckedExpression(NumericValue* e)
{
    _setExpression(m_checkedExpression, e);
}

void CommandInstance::setVisibilityExpression(NumericValue* e)
{
    _setExpression(m_visibilityExpression, e);
}

void CommandInstance::setGroupExclusiveExpression(NumericValue* e)
{
    _setExpression(m_groupExclusiveExpression, e);
}

void CommandInstance::exprChanged(Message& m)
{
    resendMessage(m, Message::Appearance);
}

void CommandInstance::setVisible(bool v)
{
    if (m_visibilityExpression) {
        auto* flag = dynamic_cast<BoolValue*>(m_visibilityExpression.get());
        if (!flag)
            throw TypeError();
        flag->setValue(v);
        return;
    }
    setVisibilityExpression(tn::Reference<BoolValue>(new BoolValue(v)).get());
    Message m(this, Message::Appearance);
    sendMessage(m);
}

void CommandInstance::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    Message m(this, Message::Appearance);
    sendMessage(m);
}

void CommandInstance::setGroupedName(const tnString::CString& name)
{
    if (m_groupedName)
        *m_groupedName = name;
    else
        m_groupedName = std::make_unique<tnString::CString>(name);
}

void CommandInstance::addValue(Value* v)
{
    const tnString::CString& key = valueKey(v);
    if (!m_values)
        m_values = std::make_unique<ValueTable>();
    if (m_values->contains(key))
        throw DuplicateError();
    m_values->emplace(key, v);
}

const CommandInstance::ValueTable& CommandInstance::_values() const noexcept
{
    static const ValueTable none;
    return m_values ? *m_values : none;
}

bool CommandInstance::removeValue(Value* v)
{
    const Name* name = v ? v->getName() : nullptr;
    if (!name || name->isEmpty())
        return false;
    return m_values && m_values->erase(name->asString()) > 0;
}

Value* CommandInstance::getValue(const tnString::CString& name)
{
    const ValueTable& values = _values();
    const auto it = values.find(name);
    return it == values.end() ? nullptr : it->second.get();
}

const Value* CommandInstance::getValue(const tnString::CString& name) const
{
    const ValueTable& values = _values();
    const auto it = values.find(name);
    return it == values.end() ? nullptr : it->second.get();
}

CommandInstanceStateDataItem* CommandInstance::_findItem(const DocumentInstance* d) const
{
    if (!m_states)
        return nullptr;
    const auto it =
        std::find_if(m_states->begin(), m_states->end(), [d](const tn::Reference<CommandInstanceStateDataItem>& item) {
            return item->m_documentInstance == d;
        });
    return it == m_states->end() ? nullptr : it->get();
}

void CommandInstance::setInstanceState(CommandInstanceState* s)
{
    if (!s)
        throw NullError();
    DocumentInstance* d = s->getDocumentInstance();
    if (!d)
        throw NullError();
    if (!m_states)
        m_states = std::make_unique<StateList>();
    CommandInstanceStateDataItem* item = _findItem(d);
    if (!item) {
        item = new CommandInstanceStateDataItem(d);
        item->m_documentInstance.setCallback<&CommandInstance::_stateSlotLost>(this);
        m_states->emplace_back(item);
    }
    if (item->m_state)
        item->m_state->ownedBy(nullptr);
    if (!isMomentary() && !dynamic_cast<ContinuousCommandState*>(s))
        throw ImplError();
    item->m_state = s;
    s->ownedBy(this);
    s->init();
}

CommandInstanceState* CommandInstance::getInstanceState(const DocumentInstance* d) const
{
    const CommandInstanceStateDataItem* item = _findItem(d);
    return item ? item->m_state.get() : nullptr;
}

void CommandInstance::clearInstanceState(DocumentInstance* d)
{
    if (!d)
        throw NullError();
    CommandInstanceStateDataItem* item = _findItem(d);
    if (!item || !item->m_state)
        return;
    item->m_state->ownedBy(nullptr);
    item->m_state = nullptr;
}

void CommandInstance::_stateSlotLost()
{
    // Slots go as soon as their document instance dies: the one that lost it
    // just now is the only one without. While the list is being destroyed
    // there is nothing to take out.
    if (!m_states)
        return;
    const auto dead =
        std::find_if(m_states->begin(), m_states->end(),
                     [](const tn::Reference<CommandInstanceStateDataItem>& item) { return !item->m_documentInstance; });
    if (dead == m_states->end())
        return;
    // Taken out of the list before the state is released, whatever its
    // destructor does.
    const tn::Reference<CommandInstanceStateDataItem> item = *dead;
    m_states->erase(dead);
    if (item->m_state)
        item->m_state->ownedBy(nullptr);
}

bool CommandInstance::dump(DumpFile& file, int level, const char* label) const
{
    if (!Item::dump(file, level, label))
        return false;
    m_definition->dump(file, level + 1, "defn");
    if (m_enabledExpression)
        m_enabledExpression->dump(file, level + 1, "enabled");
    if (m_checkedExpression)
        m_checkedExpression->dump(file, level + 1, "checked");
    if (m_states) {
        file.printf(level + 1, "CommandInstanceStateData with %d states:\n", static_cast<int>(m_states->size()));
        for (const tn::Reference<CommandInstanceStateDataItem>& item : *m_states) {
            file.printf(level + 2, "CommandInstanceStateDataItem with:\n");
            item->m_documentInstance->dump(file, level + 3, nullptr);
            if (item->m_state)
                item->m_state->dump(file, level + 3, nullptr);
            else
                file.printf(level + 3, "No state data for this document instance\n");
        }
    }
    file.printf(level + 1, "%d values\n", getNumValues());
    for (const auto& entry : _values())
        entry.second->dump(file, level + 2, nullptr);
    return true;
}

CommandInstanceValueIterator::CommandInstanceValueIterator(const CommandInstance* instance)
{
    if (!instance)
        throw NullError();
    m_table = &instance->_values();
    m_node = m_table->begin();
}

CommandInstanceValueIterator::~CommandInstanceValueIterator() = default;

} // namespace tnUI
