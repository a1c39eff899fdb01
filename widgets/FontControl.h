#pragma once

#include "ArgumentBinding.h"

#include <QPointer>
#include <QString>

#include <functional>

class QDoubleSpinBox;
class QFontComboBox;
class QPushButton;
class QToolButton;

namespace tnUI {

class FontValue;
class ValueArgument;

// A font value: by default a button showing the font in itself (family,
// size, bold), which opens the font dialog; with the FontComboBox hint a font
// list, a size field and a bold button, each changing its own part.
//
// The font's setters announce nothing, so the control shows a change the
// model makes at the argument's next message or update(). What the control
// writes it announces itself, as any value announces a change: one root
// "Value" message from the font, which the argument passes on to every
// listener.
class FontControl : public ArgumentBinding {
public:
    static QWidget* create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent);
    // "Family, 12 pt, bold": the font as words.
    static QString describe(const FontValue& font);

protected:
    void refresh() override;
    QString accessibleDescription() const override;
    void showEnabled(bool enabled) override;

private:
    // A font as the control shows it.
    struct Shown {
        QString family;
        double size = 0.0;
        bool bold = false;
        bool operator==(const Shown&) const = default;
    };

    FontControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host);
    FontValue* font() const;
    static Shown read(const FontValue& font);
    void choose();
    // Writes the font as change makes it from the value's current one.
    void write(const std::function<void(Shown&)>& change);

    ValueArgument* m_argument;
    QPointer<QPushButton> m_button;
    QPointer<QFontComboBox> m_family;
    QPointer<QDoubleSpinBox> m_size;
    QPointer<QToolButton> m_bold;
    // What the editors show: they are set again only when the font differs,
    // so that typing survives the argument's other messages.
    Shown m_shown;
    bool m_showing = false;
};

} // namespace tnUI
