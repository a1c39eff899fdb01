#include "WidgetArgumentPane.h"

#include "ArgumentPaneWidget.h"

#include <utility>

namespace tnUI {

WidgetArgumentPane::WidgetArgumentPane(tnUI::Argument* a, ArgumentWidgetHost host)
    : ArgumentPane(a), m_host(std::move(host))
{}

QWidget* WidgetArgumentPane::realizePane()
{
    return new ArgumentPaneWidget(this, m_host);
}

} // namespace tnUI
