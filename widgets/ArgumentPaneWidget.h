#pragma once

#include <tnUI/foundation/Export.h>

#include "ArgumentBinding.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QPointer>
#include <QWidget>

namespace tnUI {

class Argument;
class ArgumentPane;
class Arguments;

/// The widget of an argument pane: the controls of the argument it shows (a
/// group's arguments directly, any other argument beside its caption), made
/// again whenever the pane shows another argument. It holds the pane
/// while it lives and stops listening to it when it goes.
class TNUI_EXPORT ArgumentPaneWidget : public QWidget {
public:
    /// Shows pane's argument with the controls of host.
    ArgumentPaneWidget(tnUI::ArgumentPane* pane, const ArgumentWidgetHost& host, QWidget* parent = nullptr);
    ~ArgumentPaneWidget() override;

    /// The pane shown.
    tnUI::ArgumentPane* pane() const { return m_pane.get(); }
    /// The widget made for the argument shown; null while none is shown.
    QWidget* content() const { return m_content; }

private:
    void show(tnUI::Argument* a);

    tn::Reference<tnUI::ArgumentPane> m_pane;
    ArgumentWidgetHost m_host;
    QPointer<QWidget> m_content;
    /// The one-entry list through which an argument that is not a group is
    /// laid out with its caption.
    tn::Reference<tnUI::Arguments> m_list;
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
