#pragma once

#include "ArgumentBinding.h"

#include <QPointer>

class QAbstractButton;

namespace tnUI {

class ValueArgument;

// A flag (a BoolValue, or an IntValue in the Bool format, 0 or 1): a check
// box showing the argument's label; a switch, labelled by its caption, for
// the Switch hint; a checkable push button showing the label for the
// PushButton hint. A flag that is not editable cannot be toggled.
class ToggleControl : public ArgumentBinding {
public:
    static QWidget* create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent);

    bool showsOwnLabel() const override { return !m_switch; }

protected:
    void refresh() override;
    void showEnabled(bool enabled) override;

private:
    ToggleControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host);
    void write(bool on);

    ValueArgument* m_argument;
    QPointer<QAbstractButton> m_button;
    bool m_switch = false;
};

} // namespace tnUI
