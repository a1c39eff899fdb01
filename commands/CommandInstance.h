#pragma once

#include "../foundation/Export.h"

#include "../entity/Icon.h"
#include "../entity/ImageFile.h"
#include "../entity/Label.h"
#include "../entity/Name.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/CString.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "../menus/Element.h"
#include "../values/NumericValue.h"
#include "../values/Value.h"
#include "CommandDefn.h"
#include "CommandInstanceState.h"

#include <memory>

namespace tnUI {

class ContinuousCommandDefn;
class DocumentInstance;

/// One state slot of a command instance: the document instance it belongs to
/// (the key, not counted but watched) and the state attached for it, if any.
class TNUI_EXPORT CommandInstanceStateDataItem : public tn::ReferenceCount {
public:
    /// The slot of documentInstance, without a state.
    explicit CommandInstanceStateDataItem(DocumentInstance* documentInstance);
    ~CommandInstanceStateDataItem() override;

    /// The document instance.
    DocumentInstance* getDocumentInstance() const noexcept { return m_documentInstance; }
    /// The state.
    CommandInstanceState* getState() const noexcept { return m_state.get(); }

private:
    friend class CommandInstance;

    WatchedPointer<DocumentInstance> m_documentInstance;
    tn::Reference<CommandInstanceState> m_state;
};

/// A command as menus and the command controller use it: a definition bound
/// into the menu structure (it is an Item), with its own optional
/// presentation, expressions, selected flag, exclusive-group name, named
/// values and per-document-instance states.
///
/// Whatever presentation the instance does not set itself (name, label,
/// tooltip, help reference, each icon) comes from the definition, asked anew
/// each time. Enabled and checked states are evaluated on every request.
///
/// The instance passes on every message of its definition as "Forward" and
/// resends every message of its four expressions as "Appearance"; setting an
/// expression sends nothing by itself.
class TNUI_EXPORT CommandInstance : public Item {
public:
    /// Holds d and passes its messages on; NullError for null.
    explicit CommandInstance(CommandDefn* d);
    ~CommandInstance() override;

    /// The command.
    CommandDefn* getCommand() noexcept { return m_definition.get(); }
    /// The command.
    const CommandDefn* getCommand() const noexcept { return m_definition.get(); }
    /// The definition as that kind of command, or null when it is not one.
    MomentaryCommandDefn* asMomentary() noexcept { return m_momentary; }
    /// The same, read-only.
    const MomentaryCommandDefn* asMomentary() const noexcept { return m_momentary; }
    /// See asMomentary().
    ContinuousCommandDefn* asContinuous() noexcept { return m_continuous; }
    /// See asMomentary().
    const ContinuousCommandDefn* asContinuous() const noexcept { return m_continuous; }
    /// Whether it is momentary.
    bool isMomentary() const;
    CommandInstance* commandToRun() const override { return const_cast<CommandInstance*>(this); }
    /// Whether it is continuous.
    bool isContinuous() const;
    /// The definition's answer: a transient tool.
    bool actsLikeMomentary() const;

    const Name* getName() const override;
    const Label* getLabel() const override;
    /// The tooltip.
    const Label* getToolTip() const override;
    /// The help reference.
    const HelpRef* getHelpRef() const override;
    ImageFile* getIcon(IconState::EState s, IconMode::EMode m) override;
    /// The same, read-only.
    const ImageFile* getIcon(IconState::EState s, IconMode::EMode m) const override;

    /// False when the definition is disabled; otherwise the instance's enabled
    /// expression decides, and without one the instance is enabled.
    bool getEnabled() const override;
    /// True without a checked expression, otherwise its truth.
    virtual bool getChecked() const;

    /// The enabled expression.
    NumericValue* getEnabledExpression() noexcept { return m_enabledExpression.get(); }
    /// The enabled expression.
    const NumericValue* getEnabledExpression() const noexcept { return m_enabledExpression.get(); }
    /// The checked expression.
    NumericValue* getCheckedExpression() noexcept { return m_checkedExpression.get(); }
    /// The checked expression.
    const NumericValue* getCheckedExpression() const noexcept { return m_checkedExpression.get(); }
    /// The visibility expression.
    NumericValue* getVisibilityExpression() noexcept { return m_visibilityExpression.get(); }
    /// The visibility expression.
    const NumericValue* getVisibilityExpression() const noexcept { return m_visibilityExpression.get(); }
    /// Null while the instance is not grouped, whatever was set.
    NumericValue* getGroupExclusiveExpression() noexcept;
    /// The group exclusive expression.
    const NumericValue* getGroupExclusiveExpression() const noexcept;
    /// Null clears. No message.
    void setEnabledExpression(NumericValue* e);
    /// Sets the checked expression.
    void setCheckedExpression(NumericValue* e);
    /// Sets the visibility expression.
    void setVisibilityExpression(NumericValue* e);
    /// Sets the group exclusive expression.
    void setGroupExclusiveExpression(NumericValue* e);

    /// Without a visibility expression: installs a new BoolValue holding v and
    /// sends "Appearance". With one: sets it to v, whose change arrives as
    /// "Appearance". A visibility expression that is not a BoolValue raises
    /// TypeError.
    void setVisible(bool v);

    /// Whether it is selected.
    bool getSelected() const noexcept { return m_selected; }
    /// Sends "Appearance" when the flag changes.
    void setSelected(bool selected);

    /// Whether it is grouped.
    bool isGrouped() const noexcept { return m_groupedName && !m_groupedName->isEmpty(); }
    /// The grouped name.
    tnString::CString getGroupedName() const { return m_groupedName ? *m_groupedName : tnString::CString(); }
    /// No message.
    void setGroupedName(const tnString::CString& name);

    /// Stores v under its name's text with a reference. NullError for a null or
    /// nameless value, DuplicateError when the name is taken (the stored value
    /// stays).
    void addValue(Value* v);
    /// Removes whatever value is stored under v's name; false for a null or
    /// nameless v, or when nothing is stored under the name.
    bool removeValue(Value* v);
    /// The value stored under name, or null.
    Value* getValue(const tnString::CString& name);
    /// The same, read-only.
    const Value* getValue(const tnString::CString& name) const;
    /// The number of values.
    int getNumValues() const noexcept { return m_values ? static_cast<int>(m_values->size()) : 0; }

    /// Attaches s for its document instance, replacing the state attached
    /// there before (which loses its owner), makes this instance its owner and
    /// calls s->init(). NullError for null, or for a state whose document
    /// instance is gone; ImplError when this command is not momentary and s is
    /// not a ContinuousCommandState (the previous state has then already lost
    /// its owner).
    void setInstanceState(CommandInstanceState* s);
    /// The state attached for d, or null.
    CommandInstanceState* getInstanceState(const DocumentInstance* d) const;
    /// Lets go of the state attached for d (NullError for null d); the slot
    /// stays, empty.
    void clearInstanceState(DocumentInstance* d);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    friend class CommandInstanceValueIterator;

    using StateList = tn::vector<tn::Reference<CommandInstanceStateDataItem>>;
    using ValueTable = tn::NameHashTable<tn::Reference<Value>>;

    void exprChanged(Message& m);
    /// A document instance with a slot here died: its slot goes.
    void _stateSlotLost();
    void _setExpression(tn::Reference<NumericValue>& member, NumericValue* e);
    CommandInstanceStateDataItem* _findItem(const DocumentInstance* d) const;
    /// The values, or an empty table.
    const ValueTable& _values() const noexcept;

    tn::Reference<CommandDefn> m_definition;
    /// The definition's kind, found once: the controller asks for it on every
    /// input event.
    MomentaryCommandDefn* m_momentary;
    ContinuousCommandDefn* m_continuous;
    /// Made by the first setInstanceState.
    std::unique_ptr<StateList> m_states;
    tn::Reference<NumericValue> m_enabledExpression;
    tn::Reference<NumericValue> m_checkedExpression;
    tn::Reference<NumericValue> m_visibilityExpression;
    /// Made by the first addValue: most instances have no values.
    std::unique_ptr<ValueTable> m_values;
    bool m_selected = false;
    /// Made by the first setGroupedName: most instances are not grouped.
    std::unique_ptr<tnString::CString> m_groupedName;
    tn::Reference<NumericValue> m_groupExclusiveExpression;
};

/// Walks a command instance's values in the table's order. Copies continue
/// from the same position. It must not outlive a change of the table.
class TNUI_EXPORT CommandInstanceValueIterator {
public:
    /// Positioned on the first value; NullError for null.
    explicit CommandInstanceValueIterator(const CommandInstance* instance);
    /// A copy of the given one.
    CommandInstanceValueIterator(const CommandInstanceValueIterator&) = default;
    /// Assigns a copy of the given one.
    CommandInstanceValueIterator& operator=(const CommandInstanceValueIterator&) = default;
    virtual ~CommandInstanceValueIterator();

    /// Whether the walk has not reached the end.
    bool valid() const noexcept { return m_node != m_table->end(); }
    /// The value at the current position.
    Value* get() const { return m_node->second.get(); }
    /// Moves to the next value.
    void next() { ++m_node; }

private:
    CommandInstance::ValueTable::const_iterator m_node;
    const CommandInstance::ValueTable* m_table;
};

} // namespace tnUI
