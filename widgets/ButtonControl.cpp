#include "ButtonControl.h"

#include "ArgumentPaneWidget.h"

#include <tnUI/arguments/ButtonArgument.h>
#include <tnUI/entity/Filename.h>
#include <tnUI/entity/ImageFile.h>
#include <tnUI/values/IntValue.h>

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

namespace tnUI {

namespace {

QString path(const ImageFile* file)
{
    return file ? QString::fromStdWString(file->getFilename()->asString().str()) : QString();
}

} // namespace

QWidget* ButtonControl::create(ButtonArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new ButtonControl(a, w, host);
    return w;
}

ButtonControl::ButtonControl(ButtonArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    m_button = new QPushButton(w);
    // Return on the focused button presses it, outside dialogs too.
    m_button->setAutoDefault(true);
    m_button->setDefault(isDone());
    w->setFocusProxy(m_button);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    layout->addStretch(1);
    QObject::connect(m_button, &QPushButton::clicked, this, [this] { press(); });
    if (isDone())
        w->installEventFilter(this);
    update();
}

bool ButtonControl::isDone() const
{
    return m_argument->getArgumentControlHint() == EArgumentControlHint::DoneButton;
}

bool ButtonControl::canPress() const
{
    if (host().buttonPressed)
        return true;
    const Value* value = m_argument->getValue();
    return !dynamic_cast<const IntValue*>(value) || isEditable(value);
}

void ButtonControl::refresh()
{
    m_button->setText(labelText(m_argument));
    const QString icon = path(m_argument->getIcon(IconState::Normal, IconMode::Default));
    if (icon == m_iconPath)
        return;
    m_iconPath = icon;
    QIcon shown;
    if (!icon.isEmpty()) {
        shown.addFile(icon);
        const QString disabled = path(m_argument->getIcon(IconState::Disabled, IconMode::Default));
        if (!disabled.isEmpty())
            shown.addFile(disabled, QSize(), QIcon::Disabled);
    }
    m_button->setIcon(shown);
}

void ButtonControl::showEnabled(bool enabled)
{
    ArgumentBinding::showEnabled(enabled);
    // A press count that may not change leaves nothing to press.
    m_button->setEnabled(enabled && canPress());
}

void ButtonControl::watchScope()
{
    // The pane may only be known once the control is placed, and a control
    // may move (into a tab): the scope is found each time it shows.
    QWidget* scope = widget()->window();
    for (QWidget* p = widget()->parentWidget(); p; p = p->parentWidget())
        if (dynamic_cast<ArgumentPaneWidget*>(p)) {
            scope = p;
            break;
        }
    if (scope == m_scope)
        return;
    if (m_scope)
        m_scope->removeEventFilter(this);
    m_scope = scope;
    m_scope->installEventFilter(this);
}

bool ButtonControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget() && event->type() == QEvent::Show) {
        watchScope();
        return false;
    }
    // Return that reaches the scope was not taken by the control that had
    // focus (a field finishes its edit and lets it go, as in a dialog).
    if (watched != m_scope || event->type() != QEvent::KeyPress || !m_button->isVisible() || !m_button->isEnabled())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
        return false;
    m_button->click();
    return true;
}

void ButtonControl::press()
{
    // The host, or the edits committed below, may let go of the argument and
    // of this control.
    const tn::Reference<ButtonArgument> hold(m_argument);
    const QPointer<ButtonControl> self(this);
    if (isDone() && m_button->window()->isActiveWindow() && !m_button->hasFocus()) {
        // The focused editor finishes its edit as it loses focus, and writes
        // what was typed before the press runs.
        m_button->setFocus(Qt::OtherFocusReason);
        if (!self)
            return;
    }
    if (host().buttonPressed) {
        const auto pressed = host().buttonPressed;
        pressed(hold.get());
        return;
    }
    auto* count = dynamic_cast<IntValue*>(hold->getValue());
    if (count && isEditable(count))
        writing([count] { count->setValue(count->isSet() ? count->getValue() + 1 : 1); });
}

} // namespace tnUI
