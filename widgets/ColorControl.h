#pragma once

#include "ArgumentBinding.h"

#include <QPointer>

namespace tnUI {

class ColorButton;
class ColorValue;
class ValueArgument;

// A colour button over a colour of either scale. The colour chosen in its
// dialog is written in one change; a colour that is not editable shows in a
// disabled button, which still tells its colour.
class ColorControl : public ArgumentBinding {
public:
    static QWidget* create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent);
    // The colour of value; invalid when there is none or a channel is unset.
    static QColor colourOf(const ColorValue* value);

protected:
    void refresh() override;
    QString accessibleDescription() const override;
    void showEnabled(bool enabled) override;

private:
    ColorControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host);
    ColorValue* colour() const;
    void write(const QColor& c);

    ValueArgument* m_argument;
    QPointer<ColorButton> m_button;
};

} // namespace tnUI
