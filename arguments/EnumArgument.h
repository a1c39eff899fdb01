#pragma once

#include "../foundation/Export.h"

#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "../values/IntValue.h"
#include "Argument.h"
#include "ArgumentItem.h"

namespace tnUI {

/// Kind of choice control.
enum class EEnumArgumentKind : int {
    Popup = 0,
    ListBox = 1,
    Segmented = 2,
    Segmented1 = 3,
    Segmented2 = 4,
    Segmented3 = 5,
    Radio1 = 6,
    Radio2 = 7,
    Radio3 = 8,
    MarkingMenu = 9,
};

/// A choice among items, the index of the selected one kept in an integer
/// value. Selection and choices are independent: only select checks the index
/// against the choices. Every message of a choice or of the selection reaches
/// the argument's listeners as "Forward".
class TNUI_EXPORT EnumArgument : public Argument {
public:
    /// With a selection value of its own, set to 0.
    EnumArgument();
    /// Shares selected, which may also serve other controls; null raises
    /// NullError.
    explicit EnumArgument(IntValue* selected);
    ~EnumArgument() override;

    /// The enum argument kind.
    EEnumArgumentKind getEnumArgumentKind() const noexcept { return m_kind; }
    /// Sends "Appearance" when the kind changes.
    void setEnumArgumentKind(EEnumArgumentKind k);

    /// The number of choices.
    int getNumChoices() const noexcept { return static_cast<int>(m_choices.size()); }
    /// IndexError unless 0 <= i < getNumChoices().
    const ArgumentItem* getItem(int i) const;
    /// Appends item (NullError for null, DuplicateError when it is a choice
    /// already), sends "Structure" and returns its index.
    int addChoice(ArgumentItem* item);
    /// Appends the items in order and sends one "Structure"; returns their
    /// number. Empty: NullError. A failing item keeps those before it, with
    /// no message.
    int addChoices(const tn::vector<ArgumentItem*>& items);
    /// Lets go of every choice; "Structure" when notify.
    void clearChoices(bool notify);

    /// Sets the selection to i (IndexError unless it is a choice's index).
    void select(int i);
    /// The selection's number.
    int getSelectedItem() const;
    /// The selected value.
    const IntValue* getSelectedValue() const noexcept { return m_selected.get(); }

    /// Resets every choice in order, then as Argument::reset; the selection
    /// is left as it is.
    void reset() override;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// Inserts item before choice i (appends when i is past the end) and
    /// returns its index. NullError, DuplicateError, IndexError for a negative
    /// i, each with nothing changed. No message.
    int insertItem(int i, ArgumentItem* item);
    /// Stops listening to the choices and lets go of them. No message.
    void clearArgumentItems();

private:
    void sendStructure();

    EEnumArgumentKind m_kind = EEnumArgumentKind::Radio1;
    tn::Reference<IntValue> m_selected;
    tn::vector<tn::Reference<ArgumentItem>> m_choices;
};

/// "Popup", "ListBox", "Segmented", "Segmented1", "Segmented2", "Segmented3",
/// "Radio1", "Radio2", "Radio3", "MarkingMenu"; other values raise ImplError.
TNUI_EXPORT const char* enumName(EEnumArgumentKind k);

} // namespace tnUI
