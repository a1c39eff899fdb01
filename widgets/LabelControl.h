#pragma once

#include "ArgumentBinding.h"

#include <QColor>
#include <QPointer>

namespace tnUI {

class Argument;

// A label argument shows its label, wrapped; its alignment code reads 0
// left, 1 right, anything else centred, and its size, when given, is the
// least the control takes. A label argument with a value, and any argument
// that no other control shows, has its label as the caption instead, and
// the control shows the value read-only, as text the user can select and
// copy: a number with its display unit, a text, a flag as "On" or "Off", a
// colour as a swatch and its name, a font in words.
class LabelControl : public ArgumentBinding {
public:
    static QWidget* create(Argument* a, const ArgumentWidgetHost& host, QWidget* parent);
    // The line a separator of an argument list draws.
    static QWidget* createSeparator(QWidget* parent);
    // The value as the control shows it; empty for none, an unset number or
    // a kind of value it cannot show.
    static QString valueText(const Value* value);

    bool showsOwnLabel() const override { return m_ownLabel; }

protected:
    void refresh() override;
    QString accessibleDescription() const override;

private:
    LabelControl(Argument* a, QWidget* w, const ArgumentWidgetHost& host);
    const Value* value() const;
    void showSwatch(const QColor& colour);

    bool m_ownLabel = false;
    QPointer<QLabel> m_label;
    QPointer<QLabel> m_swatch;
    QColor m_swatchColour;
};

} // namespace tnUI
