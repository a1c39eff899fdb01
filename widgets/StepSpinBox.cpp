#include "StepSpinBox.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <algorithm>

namespace tnUI {

StepSpinBox::StepSpinBox(QWidget* parent) : QDoubleSpinBox(parent)
{}

void StepSpinBox::keyPressEvent(QKeyEvent* event)
{
    // The spin box pages by calling stepBy with ten steps; the flag tells
    // that call apart from ten clicks on an arrow.
    const bool page = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
    const QScopedValueRollback<bool> paging(m_paging, page);
    QDoubleSpinBox::keyPressEvent(event);
}

void StepSpinBox::stepBy(int steps)
{
    if (!m_paging || m_largeStep <= 0.0) {
        QDoubleSpinBox::stepBy(steps);
        return;
    }
    const int pages = steps / 10;
    setValue(value() + pages * m_largeStep);
    selectAll();
}

int StepSpinBox::excessWidth() const
{
    constexpr double kWide = 1e6;
    if (maximum() < kWide && minimum() > -kWide)
        return 0;
    const QFontMetrics metrics = fontMetrics();
    const auto width = [&](double v) { return metrics.horizontalAdvance(prefix() + textFromValue(v) + suffix()); };
    const int extremes = std::max(width(minimum()), width(maximum()));
    return std::max(0, extremes - std::max(width(-999999.0), width(value())));
}

QSize StepSpinBox::sizeHint() const
{
    return QDoubleSpinBox::sizeHint() - QSize(excessWidth(), 0);
}

QSize StepSpinBox::minimumSizeHint() const
{
    return QDoubleSpinBox::minimumSizeHint() - QSize(excessWidth(), 0);
}

} // namespace tnUI
