#pragma once

#include <tnUI/foundation/Export.h>

#include <QAbstractButton>

namespace tnUI {

/// A toggle switch: a rounded track whose knob sits at its right end while
/// the switch is on. It is checkable from the start; a click, or Space while
/// it has focus, turns it over, and assistive technology reads it as a check
/// box with its state. It is drawn in the colours of its palette, at the size
/// of its font. A text, when given, is drawn beside the track; a caption
/// naming the switch as its buddy may label it instead.
class TNUI_EXPORT SwitchButton : public QAbstractButton {
    Q_OBJECT
public:
    /// A switch, off.
    explicit SwitchButton(QWidget* parent = nullptr);

    /// Room for the track and the knob.
    QSize sizeHint() const override;
    /// See sizeHint().
    QSize minimumSizeHint() const override;

protected:
    /// Draws the switch.
    void paintEvent(QPaintEvent* event) override;

private:
    QRect trackRect() const;
};

} // namespace tnUI
