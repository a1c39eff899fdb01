#pragma once

#include <tnUI/foundation/Export.h>

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <QAction>
#include <QKeySequence>
#include <QPointer>

#include <functional>
#include <memory>

class QActionGroup;

namespace tnUI {

class CommandInstance;
class Element;
class Keybinding;
class Message;
struct CommandChoice;
struct MenuLevel;

/// A Qt action for one command element of a menu: a command instance, or a
/// command item standing for one. It shows the element's label ("&" marks
/// the mnemonic, "&&" is an ampersand), tooltip, icon and keybinding, and its
/// command's state: enabled as the command instance is (its definition's
/// enabled state and its own enabled expression), hidden while its
/// visibility expression is false, checkable with a checked expression or
/// when grouped (radio items, the selected flag checking them when they have
/// no checked expression). Each message of the element, or of the item's
/// command (which an item does not pass on), updates only what it is about:
/// text, icon or state.
///
/// The keybinding reads after the label, as text, for the host's own key
/// handling to run; in a menu whose keybindings are real shortcuts (see
/// CommandMenu::setShortcutWindow) it is the action's shortcut. Triggering
/// the action hands its command to chosen; the model then decides what
/// shows checked.
///
/// The action holds a counted reference on its element and on the command;
/// both are let go, and the connections cut, when the action is destroyed or
/// detached.
class TNUI_EXPORT CommandAction : public QAction {
    Q_OBJECT
public:
    /// Receives the command chosen.
    using Chosen = std::function<void(tnUI::CommandInstance*)>;

    /// NullError for a null element.
    CommandAction(tnUI::Element* element, Chosen chosen, QObject* parent = nullptr);
    ~CommandAction() override;

    /// The element shown; null once it has died.
    tnUI::Element* element() const { return m_element.get(); }
    /// The command instance the element runs; null when there is none.
    tnUI::CommandInstance* command() const { return m_command.get(); }
    /// The keybinding as the action shows it: its shortcut, or the text after
    /// the tab of text(); empty without one.
    QString shortcutText() const;
    /// Stops following the model and choosing, and lets go of it: for an
    /// action whose host is going.
    void detach();

    /// How a keybinding reads in a menu: its modifiers, then the key's short
    /// name ("Ctrl+Del").
    static QString keyText(const tnUI::Keybinding& binding);
    /// The keybinding as a Qt key sequence; empty for a key Qt has no code
    /// for.
    static QKeySequence keySequence(const tnUI::Keybinding& binding);
    /// Image files decoded for icons so far: each file once while the icon
    /// cache keeps it, however many actions show it and however often they
    /// change. For diagnosis.
    static int iconDecodes();

protected:
    /// A shortcut goes through the shortcut window's command controller.
    bool event(QEvent* e) override;

private:
    friend class CommandTree;

    /// An entry of a compiled tree: counted in level, a radio item of radio
    /// when its command is grouped, the keybinding as text when keysAsText.
    CommandAction(tnUI::Element* element, std::shared_ptr<CommandChoice> choice, MenuLevel* level, QActionGroup* radio,
                  bool keysAsText, QObject* parent);

    /// Listens to the element and to the command it runs now.
    void bind();
    /// Binds again if the element runs another command now.
    void followCommand();
    void modelChanged(tnUI::Message& m);
    void showText();
    void showIcon();
    void showState();
    void choose();
    void pressKey();
    const tnUI::Keybinding* keybinding() const;

    tn::Reference<tnUI::Element> m_element;
    tn::Reference<tnUI::CommandInstance> m_command;
    std::shared_ptr<CommandChoice> m_choice;
    MenuLevel* m_level = nullptr;
    QPointer<QActionGroup> m_radio;
    bool m_keysAsText = true;
    /// What the level counts of this action.
    bool m_counted = false;
    bool m_countedUsable = false;
    /// Declared last: cut first, before the members the callbacks use.
    tnRTB::SignalClient m_client;
};

} // namespace tnUI
