#include "StepSpinBox.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

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

} // namespace tnUI
