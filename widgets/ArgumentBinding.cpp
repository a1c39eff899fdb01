#include "ArgumentBinding.h"

#include <tnUI/arguments/Argument.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>
#include <tnUI/values/Value.h>

#include <QScopeGuard>
#include <QWidget>

namespace tnUI {

namespace {

QString text(const Label* l)
{
    return l ? QString::fromStdWString(l->asString().str()) : QString();
}

// Whether a is enabled; an enabled expression that cannot answer yet (an
// unset value) disables.
bool enabledNow(const Argument* a)
{
    try {
        return a->isEnabled();
    } catch (const NotSetError&) {
        return false;
    }
}

} // namespace

ArgumentBinding::ArgumentBinding(Argument* a, QWidget* widget, const ArgumentWidgetHost& host)
    : QObject(widget), m_argument(a), m_widget(widget), m_host(host)
{
    tnRTB::connect(a->messageSignal, &m_client, [this](Message& m) { messaged(m); });
    tnRTB::connect(a->enabledSignal, &m_client, [this](bool enabled) {
        m_enabled = enabled;
        showEnabled(enabled);
    });
}

ArgumentBinding::~ArgumentBinding() = default;

QWidget* ArgumentBinding::createWidget(Argument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    for (const ArgumentControlFactory& factory : host.controls)
        if (QWidget* w = a && factory ? factory(a, host, parent) : nullptr)
            return w;
    return createBuiltInWidget(a, host, parent);
}

ArgumentBinding* ArgumentBinding::bindingOf(const QWidget* w)
{
    return w ? w->findChild<ArgumentBinding*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void ArgumentBinding::detach()
{
    m_following = false;
    m_client.disconnectAll();
}

void ArgumentBinding::setCaption(QLabel* caption)
{
    m_caption = caption;
    if (!caption)
        return;
    caption->setBuddy(focusControl());
    caption->setEnabled(m_enabled);
    showDecoration();
}

void ArgumentBinding::update()
{
    follow(true);
}

void ArgumentBinding::messaged(Message&)
{
    follow(!m_writing);
}

void ArgumentBinding::follow(bool refreshing)
{
    if (!m_following || !checkFit())
        return;
    // Also catches an inversion of the enabled expression, which the model
    // does not announce, at the argument's next message.
    m_enabled = enabledNow(m_argument.get());
    showEnabled(m_enabled);
    if (refreshing)
        refresh();
    // Last: a description may tell what the control now shows.
    showDecoration();
}

bool ArgumentBinding::checkFit()
{
    if (stillFits())
        return true;
    // The layout replaces this control, possibly while it runs the call
    // that got here: it only stops listening now.
    detach();
    emit unfit();
    return false;
}

void ArgumentBinding::showEnabled(bool enabled)
{
    if (m_widget)
        m_widget->setEnabled(enabled);
    if (m_caption)
        m_caption->setEnabled(enabled);
}

QWidget* ArgumentBinding::focusControl() const
{
    return m_widget && m_widget->focusProxy() ? m_widget->focusProxy() : m_widget.data();
}

QWidget* ArgumentBinding::accessibleControl() const
{
    return focusControl();
}

void ArgumentBinding::writing(const std::function<void()>& write)
{
    // The model's callbacks may drop the last reference to the argument.
    const tn::Reference<Argument> hold(m_argument);
    const QPointer<ArgumentBinding> self(this);
    {
        m_writing = true;
        const auto done = qScopeGuard([this, self] {
            if (self)
                m_writing = false;
        });
        write();
    }
    if (self && m_following) {
        refresh();
        showDecoration();
    }
}

void ArgumentBinding::showDecoration()
{
    const QString label = plainLabelText(m_argument.get());
    const QString tip = toolTipText(m_argument.get());
    if (m_caption)
        m_caption->setText(labelText(m_argument.get()));
    if (m_widget)
        m_widget->setToolTip(tip);
    // A screen reader names the control by the argument's label, whether a
    // caption shows it or the control itself.
    if (QWidget* control = accessibleControl()) {
        control->setAccessibleName(label);
        control->setAccessibleDescription(accessibleDescription());
    }
}

QString ArgumentBinding::accessibleDescription() const
{
    return toolTipText(m_argument.get());
}

QString ArgumentBinding::labelText(const Argument* a)
{
    return a ? text(a->getLabel()) : QString();
}

QString ArgumentBinding::plainLabelText(const Argument* a)
{
    // As Qt reads a mnemonic: "&&" is an ampersand, a lone '&' marks the
    // next character.
    const QString marked = labelText(a);
    QString plain;
    plain.reserve(marked.size());
    for (qsizetype i = 0; i < marked.size(); ++i) {
        if (marked[i] == QLatin1Char('&') && ++i == marked.size())
            break;
        plain += marked[i];
    }
    return plain;
}

QString ArgumentBinding::toolTipText(const Argument* a)
{
    return a ? text(a->getToolTip()) : QString();
}

bool ArgumentBinding::causedBy(const Message& m, int type, const void* e)
{
    for (const Message* c = &m; c; c = c->causedBy())
        if (c->getType() == type && c->getEntity() == e)
            return true;
    return false;
}

bool ArgumentBinding::isEditable(const Value* v)
{
    return v && v->getEditable();
}

} // namespace tnUI
