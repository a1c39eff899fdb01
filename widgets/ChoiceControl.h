#pragma once

#include "ArgumentBinding.h"

class QHBoxLayout;

namespace tnUI {

class ArgumentItem;
class Entity;
class EnumArgument;

// The base of the controls of an enumeration: a drop-down list (Popup), a
// list box (ListBox), toggle buttons side by side (Segmented), radio buttons
// (Radio) or a button that pops a marking menu (MarkingMenu).
//
// The parts of the choices are made again only when choices are added or
// removed. A choice's text, tooltip and icon change in place; the selection
// and the choices the user may pick are shown again at every message. The
// user may pick a choice that is enabled while the selection value is
// editable; a selection value that is not shows the other choices disabled
// and the selected one as it is, to be read. A selection outside the choices
// (or unset) selects nothing.
class ChoiceControl : public ArgumentBinding {
public:
    static QWidget* create(EnumArgument* a, const ArgumentWidgetHost& host, QWidget* parent);

protected:
    ChoiceControl(EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host);

    // Makes the parts of the argument's choices again, with their texts and
    // icons; the selection shows at the refresh that follows.
    virtual void buildChoices() = 0;
    // Shows choice i's label (with its mnemonic where the part has them, as
    // plain text otherwise) and tooltip; shows its icon.
    virtual void showText(int i) = 0;
    virtual void showIcon(int i) = 0;
    // Shows whether the user may pick choice i.
    virtual void showPickable(int i, bool pickable) = 0;
    // Shows choice i selected; -1 selects nothing.
    virtual void showSelection(int selected) = 0;

    void refresh() override;
    void messaged(Message& m) override;

    int count() const;
    const ArgumentItem* choice(int i) const;
    // The selected choice; -1 for a selection outside the choices or unset.
    int selected() const;
    // Selects choice i for the user, when it may be picked and is not the
    // selected one; otherwise shows the selection again, undoing what the
    // part did on its own.
    void choose(int i);
    QHBoxLayout* layout() const;

    EnumArgument* m_argument;

private:
    // The index of the choice that is entity, or -1.
    int indexOf(const Entity* entity) const;
    bool choiceEnabled(int i) const;
};

} // namespace tnUI
