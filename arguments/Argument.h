#pragma once

#include "../foundation/Export.h"

#include "../entity/DecoratedEntity.h"
#include "../foundation/ReferenceCount.h"
#include "../foundation/Signal.h"
#include "../values/NumericValue.h"

namespace tnUI {

/// Validity of an argument's content; a lower number is a weaker state.
enum class EArgumentState : int { Invalid = 0, ValidDefault = 1, ValidSet = 2, ValidPreset = 3 };

/// The control kind a toolkit should prefer for an argument.
enum class EArgumentControlHint : int {
    Default = 0,
    Slider = 1,
    Gauge = 2,
    RVEC = 3,
    RVECNoTracking = 4,
    FontComboBox = 5,
    PushButton = 6,
    DoneButton = 7,
    Switch = 8,
};

/// What a toolkit reports about an item; the library only names them.
enum class EArgumentItemEvent : int {
    ItemNoEvent = 0,
    ItemSelected = 1,
    ItemUnselected = 2,
    ItemChecked = 3,
    ItemUnchecked = 4,
    ItemDoubleClicked = 5,
};

/// The description of one control through which a user sees and edits a
/// parameter: its presentation, a validity state, a control hint, a sort key
/// and an optional enabled expression. Toolkit bindings build controls from
/// arguments and listen to them.
class TNUI_EXPORT Argument : public DecoratedEntity {
public:
    /// Fired with isEnabled() each time the enabled expression announces a
    /// change. A change made during the emission is told once it has reached
    /// every listener, so that what each listener hears last is isEnabled().
    tnRTB::Signal<bool> enabledSignal;

    Argument() = default;
    ~Argument() override;

    /// The state field; a derived class may compute the state instead.
    virtual EArgumentState getState() const;
    /// The state reset() restores. No message.
    void setDefaultState(EArgumentState s);
    /// If a default state was given, the state becomes it; then, always, a
    /// root "Value" message.
    virtual void reset();

    /// The argument control hint.
    EArgumentControlHint getArgumentControlHint() const noexcept { return m_controlHint; }
    /// Sends "State" when the hint changes.
    void setArgumentControlHint(EArgumentControlHint h);

    /// Read at the next isEnabled(); no message.
    bool getInvertEnabled() const noexcept { return m_invertEnabled; }
    /// Sets whether the enabled expression is inverted.
    void setInvertEnabled(bool invert) noexcept { m_invertEnabled = invert; }
    /// The key of Arguments::addArgumentSorted; no message.
    double getOrderValue() const noexcept { return m_orderValue; }
    /// Sets the order value.
    void setOrderValue(double order) noexcept { m_orderValue = order; }

    /// The enabled expression.
    const NumericValue* getEnabledExpression() const noexcept { return m_enabledExpression.get(); }
    /// Holds e (null: always enabled), passes its changes on as "State" and
    /// fires enabledSignal; a new expression is announced with "State".
    void setEnabledExpression(NumericValue* e);
    /// True without an expression; otherwise its truth, negated when inverted.
    bool isEnabled() const;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// A method called with a source's messages.
    using Listener = void (Argument::*)(Message&);
    /// Connects method to source's messages under tag, the address of the
    /// member holding source: two members holding the same object (a value
    /// that is also the enabled expression) are then cut apart. Null source:
    /// nothing.
    void listenTo(const Entity* source, const void* tag, Listener method);
    /// Cuts what listenTo connected under tag. Null source: nothing.
    static void stopListening(const Entity* source, const void* tag);

private:
    void enabledModified(Message& m);

    EArgumentState m_state = EArgumentState::ValidDefault;
    EArgumentState m_defaultState = EArgumentState::Invalid;
    bool m_hasDefaultState = false;
    EArgumentControlHint m_controlHint = EArgumentControlHint::Default;
    tn::Reference<NumericValue> m_enabledExpression;
    double m_orderValue = 0.0;
    bool m_invertEnabled = false;
    /// enabledSignal is being fired; a change heard meanwhile is pending.
    bool m_firingEnabled = false;
    bool m_enabledPending = false;
};

/// "Invalid", "ValidDefault", "ValidSet", "ValidPreset"; other values raise
/// ImplError.
TNUI_EXPORT const char* enumName(EArgumentState s);
/// "Default", "Slider", "Gauge", "RVEC", "RVECNoTracking", "FontComboBox",
/// "PushButton", "DoneButton", "Switch"; other values raise ImplError.
TNUI_EXPORT const char* enumName(EArgumentControlHint h);
/// "ItemNoEvent", "ItemSelected", "ItemUnselected", "ItemChecked",
/// "ItemUnchecked", "ItemDoubleClicked"; other values raise ImplError.
TNUI_EXPORT const char* enumName(EArgumentItemEvent e);

} // namespace tnUI
