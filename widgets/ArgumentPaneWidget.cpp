#include "ArgumentPaneWidget.h"

#include "ArgumentLayout.h"
#include "GroupControl.h"

#include <tnUI/arguments/ArgumentPane.h>
#include <tnUI/arguments/Arguments.h>
#include <tnUI/arguments/GroupOfArguments.h>

#include <QVBoxLayout>

namespace tnUI {

ArgumentPaneWidget::ArgumentPaneWidget(ArgumentPane* pane, const ArgumentWidgetHost& host, QWidget* parent)
    : QWidget(parent), m_pane(pane), m_host(host)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    // The controls, inserted above it, stay together at the top of a pane
    // taller than they need, such as a dock beside a document.
    layout->addStretch();
    tnRTB::connect(pane->argumentSignal, &m_client, [this](Argument*, Argument* shown) { show(shown); });
    show(pane->getArgument());
}

ArgumentPaneWidget::~ArgumentPaneWidget()
{
    // The pane may outlive this widget: no callback may reach it any more.
    m_client.disconnectAll();
}

void ArgumentPaneWidget::show(Argument* a)
{
    // The controls shown so far may be running the call that got here: they
    // stop listening now and go once control is back in the event loop.
    if (m_content) {
        for (ArgumentBinding* binding : m_content->findChildren<ArgumentBinding*>())
            binding->detach();
        m_content->hide();
        m_content->deleteLater();
        m_content = nullptr;
    }
    m_list = nullptr;
    if (!a)
        return;
    for (const ArgumentControlFactory& factory : m_host.controls)
        if ((m_content = factory ? factory(a, m_host, this) : nullptr))
            break;
    if (!m_content) {
        if (auto* group = dynamic_cast<GroupOfArguments*>(a)) {
            // A group's arguments fill the pane without a frame of their own.
            m_content = GroupControl::createFlat(group, m_host, this);
        } else {
            // Any other argument as the one row of a form, with its caption.
            m_list = new Arguments;
            m_list->addArgument(a);
            m_content = new QWidget(this);
            (new ArgumentLayout(m_list.get(), m_host, m_content))->sync(1);
        }
    }
    // A control that no longer suits the argument (a new kind or hint) is
    // made again.
    if (ArgumentBinding* binding = ArgumentBinding::bindingOf(m_content))
        connect(binding, &ArgumentBinding::unfit, this, [this] { show(m_pane->getArgument()); });
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, m_content);
    // At once, so that the controls are there when this call returns.
    m_content->show();
}

} // namespace tnUI
