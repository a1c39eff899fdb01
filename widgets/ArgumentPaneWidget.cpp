#include "ArgumentPaneWidget.h"

#include <tnUI/arguments/ArgumentPane.h>

#include <QVBoxLayout>

namespace tnUI {

ArgumentPaneWidget::ArgumentPaneWidget(tnUI::ArgumentPane* pane, const ArgumentWidgetHost& host, QWidget* parent)
    : QWidget(parent), m_pane(pane), m_host(host)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    // The controls, inserted above it, stay together at the top of a pane
    // taller than they need, such as a dock beside a document.
    layout->addStretch();
    tnRTB::connect(pane->argumentSignal, &m_client, [this](tnUI::Argument*, tnUI::Argument* shown) { show(shown); });
    show(pane->getArgument());
}

ArgumentPaneWidget::~ArgumentPaneWidget()
{
    // The pane may outlive this widget: no callback may reach it any more.
    m_client.disconnectAll();
}

void ArgumentPaneWidget::show(tnUI::Argument* a)
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
    if (!a)
        return;
    m_content = ArgumentBinding::createWidget(a, m_host, this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, m_content);
    // At once, so that the controls are there when this call returns.
    m_content->show();
}

} // namespace tnUI
