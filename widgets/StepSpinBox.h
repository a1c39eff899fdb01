#pragma once

#include <tnUI/foundation/Export.h>

#include <QDoubleSpinBox>

namespace tnUI {

/// A number field with two step sizes: the arrows and the arrow keys move by
/// the single step, PageUp and PageDown by the large one.
class TNUI_EXPORT StepSpinBox : public QDoubleSpinBox {
public:
    /// A spin box with the default large step.
    explicit StepSpinBox(QWidget* parent = nullptr);

    /// Zero or less: ten single steps, as a plain spin box pages.
    void setLargeStep(double step) { m_largeStep = step; }
    /// See setLargeStep().
    double largeStep() const { return m_largeStep; }

    /// As a spin box steps; PageUp and PageDown move by the large step.
    void stepBy(int steps) override;
    /// A field whose range reaches beyond a million is sized for six digits,
    /// or for the number shown when it is longer, not for its extremes: an
    /// unbounded value's field would be as wide as its limits.
    QSize sizeHint() const override;
    /// See sizeHint().
    QSize minimumSizeHint() const override;

protected:
    /// Tells PageUp and PageDown apart from arrow clicks.
    void keyPressEvent(QKeyEvent* event) override;

private:
    double m_largeStep = 0.0;
    int excessWidth() const;

    bool m_paging = false;
};

} // namespace tnUI
