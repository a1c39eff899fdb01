#include "TextControl.h"

#include <tnUI/arguments/ValueArgument.h>
#include <tnUI/values/TextValue.h>

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>

namespace tnUI {

QWidget* TextControl::create(ValueArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new TextControl(a, w, host);
    return w;
}

TextControl::TextControl(ValueArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    m_edit = new QLineEdit(w);
    w->setFocusProxy(m_edit);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::editingFinished, this, &TextControl::commit);
    update();
}

QString TextControl::valueText() const
{
    const auto* value = dynamic_cast<const TextValue*>(m_argument->getValue());
    return value ? QString::fromStdWString(value->getValue()->asString().str()) : QString();
}

void TextControl::refresh()
{
    const bool editable = isEditable(m_argument->getValue());
    m_edit->setReadOnly(!editable);
    const QString text = valueText();
    if (editable && m_edit->isModified() && text == m_shown)
        return;
    m_shown = text;
    if (m_edit->text() != text)
        m_edit->setText(text);
    m_edit->setModified(false);
}

void TextControl::commit()
{
    auto* value = dynamic_cast<TextValue*>(m_argument->getValue());
    if (!value || !isEditable(value) || !m_edit->isModified())
        return;
    // The label's listeners may let go of the value and of the label.
    const tn::Reference<MutableLabel> label(value->getValue());
    const tnString::IString typed(m_edit->text().toStdWString());
    m_edit->setModified(false);
    writing([&] { label->set(typed); });
}

bool TextControl::eventFilter(QObject* watched, QEvent* event)
{
    // Escape over a changed text puts the value's text back and goes no
    // further (a dialog would close on it); over the value's text it passes
    // on. The shortcut override keeps a shortcut on Escape from taking it.
    const QEvent::Type type = event->type();
    if (watched != m_edit || (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
        return false;
    const QString text = valueText();
    if (m_edit->text() == text)
        return false;
    event->accept();
    if (type == QEvent::KeyPress) {
        m_edit->setText(text);
        m_edit->setModified(false);
        m_shown = text;
    }
    return true;
}

} // namespace tnUI
