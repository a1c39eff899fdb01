#include "FontControl.h"

#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/entity/Message.h>
#include <tnUI/values/FontValue.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

namespace tnUI {

QWidget* FontControl::create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new FontControl(a, w, host);
    return w;
}

QString FontControl::describe(const FontValue& font)
{
    const Shown shown = read(font);
    QString text = QStringLiteral("%1, %2 pt").arg(shown.family, QLocale().toString(shown.size, 'g', 4));
    return shown.bold ? text + QStringLiteral(", bold") : text;
}

FontControl::FontControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    if (a->getArgumentControlHint() != EArgumentControlHint::FontComboBox) {
        m_button = new QPushButton(w);
        w->setFocusProxy(m_button);
        layout->addWidget(m_button);
        QObject::connect(m_button, &QPushButton::clicked, this, [this] { choose(); });
    } else {
        m_family = new QFontComboBox(w);
        m_size = new QDoubleSpinBox(w);
        m_bold = new QToolButton(w);
        w->setFocusProxy(m_family);
        // Written when the typing is done, not at every key.
        m_size->setKeyboardTracking(false);
        m_size->setRange(1.0, 999.0);
        m_size->setDecimals(1);
        m_size->setSuffix(QStringLiteral(" pt"));
        m_size->setAccessibleName(QStringLiteral("Font size"));
        m_bold->setText(QStringLiteral("Bold"));
        m_bold->setCheckable(true);
        m_bold->setFocusPolicy(Qt::StrongFocus);
        QFont bold = m_bold->font();
        bold.setBold(true);
        m_bold->setFont(bold);
        layout->addWidget(m_family, 1);
        layout->addWidget(m_size);
        layout->addWidget(m_bold);
        // Each editor changes its own part of the font, so that a family
        // the list does not have is not replaced by its nearest match.
        // A family chosen from the list, or typed and confirmed with Return;
        // the font the list shows changes at every key typed.
        QObject::connect(m_family, &QComboBox::activated, this, [this] {
            const QString family = m_family->currentFont().family();
            write([&family](Shown& font) { font.family = family; });
        });
        QObject::connect(m_size, &QDoubleSpinBox::valueChanged, this,
                         [this](double size) { write([size](Shown& font) { font.size = size; }); });
        QObject::connect(m_bold, &QToolButton::toggled, this,
                         [this](bool on) { write([on](Shown& font) { font.bold = on; }); });
    }
    layout->addStretch(1);
    update();
}

FontValue* FontControl::font() const
{
    return dynamic_cast<FontValue*>(m_argument->getValue());
}

FontControl::Shown FontControl::read(const FontValue& font)
{
    return {QString::fromStdWString(font.getFontName().str()), font.getFontSize(), font.getBold()};
}

QString FontControl::accessibleDescription() const
{
    // The argument's label names the control for a screen reader: the font
    // comes with the tooltip.
    const FontValue* value = font();
    const QString text = value ? describe(*value) : QString();
    const QString tip = toolTipText(m_argument);
    return tip.isEmpty() || text.isEmpty() ? text + tip : text + QStringLiteral(". ") + tip;
}

void FontControl::refresh()
{
    const FontValue* value = font();
    if (!value)
        return;
    const Shown now = read(*value);
    if (m_button) {
        m_button->setText(describe(*value));
    }
    if (m_showing && now == m_shown)
        return;
    m_shown = now;
    m_showing = true;
    if (m_button) {
        // In the font itself, at a size between the application's and twice
        // that, so that the pane stays usable.
        QFont shown(now.family);
        const double normal = QFontInfo(QApplication::font()).pointSizeF();
        shown.setPointSizeF(std::clamp(now.size, normal, 2 * normal));
        shown.setBold(now.bold);
        m_button->setFont(shown);
        return;
    }
    const QSignalBlocker familyBlock(m_family);
    const QSignalBlocker sizeBlock(m_size);
    const QSignalBlocker boldBlock(m_bold);
    m_family->setCurrentFont(QFont(now.family));
    m_size->setValue(now.size);
    m_bold->setChecked(now.bold);
}

void FontControl::showEnabled(bool enabled)
{
    ArgumentBinding::showEnabled(enabled);
    // A font that may not change still shows, read-only where a field can be.
    const bool editable = enabled && isEditable(font());
    if (m_button)
        m_button->setEnabled(editable);
    if (m_family)
        m_family->setEnabled(editable);
    if (m_size)
        m_size->setReadOnly(!editable);
    if (m_bold)
        m_bold->setEnabled(editable);
}

void FontControl::choose()
{
    const FontValue* value = font();
    if (!value)
        return;
    const Shown now = read(*value);
    QFont initial(now.family);
    initial.setPointSizeF(now.size > 0.0 ? now.size : QFontInfo(QApplication::font()).pointSizeF());
    initial.setBold(now.bold);
    // The dialog runs its own event loop, in which this control, and the
    // dialog with it, may go: both are watched.
    const QPointer<FontControl> self(this);
    const QPointer<QFontDialog> dialog = new QFontDialog(initial, m_button);
    const QString title = plainLabelText(m_argument);
    if (!title.isEmpty())
        dialog->setWindowTitle(title);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!self || !dialog)
        return;
    const QFont chosen = dialog->selectedFont();
    delete dialog.data();
    if (!accepted)
        return;
    write([&chosen](Shown& font) {
        font.family = chosen.family();
        if (chosen.pointSizeF() > 0.0)
            font.size = chosen.pointSizeF();
        font.bold = chosen.bold();
    });
}

void FontControl::write(const std::function<void(Shown&)>& change)
{
    const tn::Reference<FontValue> value(font());
    if (!isEditable(value.get()))
        return;
    Shown wanted = read(*value);
    change(wanted);
    if (read(*value) == wanted)
        return;
    writing([&] {
        // The name has no setter of its own: it comes with the size from a
        // font made for the purpose.
        const tn::Reference<FontValue> source =
            FontValue::create(tnString::IString(wanted.family.toStdWString()), static_cast<float>(wanted.size));
        value->assign(source.get());
        value->setBold(wanted.bold);
        Message changed(value.get(), Message::Value);
        value->messageSignal.fire(changed);
    });
}

} // namespace tnUI
