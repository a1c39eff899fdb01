#pragma once

#include <tnUI/foundation/Export.h>

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QAction>

#include <functional>

namespace tnUI {

class CommandInstance;
class Element;
class Keybinding;

// A menu action for one command element of a compiled menu: a command
// instance, or a command item standing for one. It shows the element's
// label, tooltip, icon and keybinding, and its command's enabled and checked
// state, and follows them: every message of the element (and of the item's
// command, which an item does not pass on) brings the action up to date.
// Triggering it hands the command to run to chosen.
//
// The action holds a counted reference on its element and on the command;
// both are let go, and the connections cut, when the action is destroyed or
// detached.
class TNUI_EXPORT CommandAction : public QAction {
    Q_OBJECT
public:
    using Chosen = std::function<void(tnUI::CommandInstance*)>;

    CommandAction(tnUI::Element* element, Chosen chosen, QObject* parent = nullptr);
    ~CommandAction() override;

    tnUI::Element* element() const { return m_element.get(); }
    tnUI::CommandInstance* command() const { return m_command.get(); }
    // The keybinding as the menu shows it, the text after the tab of
    // text(); empty without one.
    QString shortcutText() const;
    // Stops following the model and choosing: for an action whose host is
    // going.
    void detach();

    // How a keybinding reads in a menu: its modifiers, then the key's short
    // name ("Ctrl+Del").
    static QString keyText(const tnUI::Keybinding& binding);

private:
    void refresh();
    void choose();

    tn::Reference<tnUI::Element> m_element;
    tn::Reference<tnUI::CommandInstance> m_command;
    Chosen m_chosen;
    // Declared last: cut first, before the members the callbacks use.
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
