#include "CommandAction.h"

#include "CommandTree.h"
#include "EntityIcon.h"

#include <tnUI/application/DocumentWindow.h>
#include <tnUI/application/Window.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/Event.h>
#include <tnUI/menus/Element.h>

#include <QActionGroup>
#include <QApplication>
#include <QCursor>
#include <QShortcutEvent>
#include <QWidget>

#include <utility>

namespace tnUI {

namespace {

// Qt's key for key, with the keypad modifier for the keypad's own keys; an
// empty combination for a modifier key alone or a key Qt has no code for.
QKeyCombination qtKey(KeyName key)
{
    const auto from = [key](KeyName first) { return static_cast<int>(key) - static_cast<int>(first); };
    if (key >= KeyName::A && key <= KeyName::Z)
        return Qt::Key(Qt::Key_A + from(KeyName::A));
    if (key >= KeyName::Digit0 && key <= KeyName::Digit9)
        return Qt::Key(Qt::Key_0 + from(KeyName::Digit0));
    if (key >= KeyName::F1 && key <= KeyName::F24)
        return Qt::Key(Qt::Key_F1 + from(KeyName::F1));
    if (key >= KeyName::Keypad0 && key <= KeyName::Keypad9)
        return QKeyCombination(Qt::KeypadModifier, Qt::Key(Qt::Key_0 + from(KeyName::Keypad0)));
    static const std::pair<KeyName, QKeyCombination> table[] = {
        {KeyName::Left, Qt::Key_Left},
        {KeyName::Right, Qt::Key_Right},
        {KeyName::Up, Qt::Key_Up},
        {KeyName::Down, Qt::Key_Down},
        {KeyName::Home, Qt::Key_Home},
        {KeyName::End, Qt::Key_End},
        {KeyName::PageUp, Qt::Key_PageUp},
        {KeyName::PageDown, Qt::Key_PageDown},
        {KeyName::Insert, Qt::Key_Insert},
        {KeyName::Delete, Qt::Key_Delete},
        {KeyName::Backspace, Qt::Key_Backspace},
        {KeyName::Space, Qt::Key_Space},
        {KeyName::Tab, Qt::Key_Tab},
        {KeyName::Return, Qt::Key_Return},
        {KeyName::Enter, Qt::Key_Enter},
        {KeyName::Escape, Qt::Key_Escape},
        {KeyName::Comma, Qt::Key_Comma},
        {KeyName::Period, Qt::Key_Period},
        {KeyName::Slash, Qt::Key_Slash},
        {KeyName::Semicolon, Qt::Key_Semicolon},
        {KeyName::Quote, Qt::Key_Apostrophe},
        {KeyName::BracketLeft, Qt::Key_BracketLeft},
        {KeyName::BracketRight, Qt::Key_BracketRight},
        {KeyName::Backslash, Qt::Key_Backslash},
        {KeyName::Minus, Qt::Key_Minus},
        {KeyName::Equal, Qt::Key_Equal},
        {KeyName::Grave, Qt::Key_QuoteLeft},
        {KeyName::Plus, Qt::Key_Plus},
        {KeyName::CapsLock, Qt::Key_CapsLock},
        {KeyName::NumLock, Qt::Key_NumLock},
        {KeyName::ScrollLock, Qt::Key_ScrollLock},
        {KeyName::Print, Qt::Key_Print},
        {KeyName::Pause, Qt::Key_Pause},
        {KeyName::Menu, Qt::Key_Menu},
        {KeyName::KeypadPlus, QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus)},
        {KeyName::KeypadMinus, QKeyCombination(Qt::KeypadModifier, Qt::Key_Minus)},
        {KeyName::KeypadMultiply, QKeyCombination(Qt::KeypadModifier, Qt::Key_Asterisk)},
        {KeyName::KeypadDivide, QKeyCombination(Qt::KeypadModifier, Qt::Key_Slash)},
        {KeyName::KeypadDecimal, QKeyCombination(Qt::KeypadModifier, Qt::Key_Period)},
    };
    for (const auto& [name, combination] : table)
        if (name == key)
            return combination;
    return QKeyCombination();
}

// True when window belongs to a document instance, whose controller its
// commands go through; a window whose instance is gone runs nothing.
bool hasController(const Window* window)
{
    const DocumentWindow* documentWindow = window ? window->getDocumentWindow() : nullptr;
    return documentWindow && documentWindow->getDocumentInstance();
}

tnLinear::Point2 point(const QPoint& p)
{
    return tnLinear::Point2(p.x(), p.y());
}

} // namespace

QString labelText(const Label* label)
{
    return label ? QString::fromStdWString(label->asString().str()) : QString();
}

QString withoutMnemonic(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // "&x" reads "x", so "&&" reads "&"; a last "&" marks nothing.
        if (text[i] == QLatin1Char('&') && ++i == text.size())
            break;
        plain += text[i];
    }
    return plain;
}

void CommandChoice::choose(CommandInstance* command) const
{
    if (chosen) {
        // The callback may clear this choice: it runs from a copy.
        const CommandAction::Chosen run = chosen;
        run(command);
    } else if (Window* window = shortcutWindow.get(); hasController(window)) {
        window->selectCommand(command);
    }
}

CommandAction::CommandAction(Element* element, Chosen chosen, QObject* parent)
    : CommandAction(element, std::make_shared<CommandChoice>(), nullptr, nullptr, true, parent)
{
    m_choice->chosen = std::move(chosen);
}

CommandAction::CommandAction(Element* element, std::shared_ptr<CommandChoice> choice, MenuLevel* level,
                             QActionGroup* radio, bool keysAsText, QObject* parent)
    : QAction(parent), m_element(element), m_choice(std::move(choice)), m_level(level), m_radio(radio),
      m_keysAsText(keysAsText)
{
    if (!element)
        throw NullError();
    bind();
    connect(this, &QAction::triggered, this, &CommandAction::choose);
    showText();
    showIcon();
    showState();
}

CommandAction::~CommandAction() = default;

QString CommandAction::shortcutText() const
{
    return shortcut().isEmpty() ? text().section(QLatin1Char('\t'), 1) : shortcut().toString(QKeySequence::NativeText);
}

void CommandAction::detach()
{
    m_client.disconnectAll();
    m_level = nullptr;
    m_choice = std::make_shared<CommandChoice>();
    m_command = nullptr;
    m_element = nullptr;
}

QString CommandAction::keyText(const Keybinding& binding)
{
    return QString::fromUtf8(binding.modifierName().asChar()) + QString::fromUtf8(binding.keyName().asChar());
}

QKeySequence CommandAction::keySequence(const Keybinding& binding)
{
    const QKeyCombination key = qtKey(binding.getKey());
    if (key.key() == Qt::Key_unknown)
        return QKeySequence();
    Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    const int bits = binding.getModifier();
    modifiers.setFlag(Qt::ShiftModifier, bits & Keybinding::Shift);
    modifiers.setFlag(Qt::ControlModifier, bits & Keybinding::Ctrl);
    modifiers.setFlag(Qt::AltModifier, bits & Keybinding::Alt);
    modifiers.setFlag(Qt::MetaModifier, bits & Keybinding::Meta);
    return QKeySequence(QKeyCombination(modifiers, key.key()));
}

int CommandAction::iconDecodes()
{
    return iconFileDecodes();
}

void CommandAction::bind()
{
    m_client.disconnectAll();
    m_command = m_element->commandToRun();
    const auto changed = [this](Message& m) { modelChanged(m); };
    tnRTB::connect(m_element->messageSignal, &m_client, changed);
    // A command item does not pass its command's messages on.
    if (m_command && m_command.get() != m_element.get())
        tnRTB::connect(m_command->messageSignal, &m_client, changed);
}

void CommandAction::followCommand()
{
    if (!m_element || m_element->commandToRun() == m_command.get())
        return;
    bind();
    const QPointer<CommandAction> self(this);
    showText();
    if (self)
        showIcon();
    if (self)
        showState();
}

void CommandAction::modelChanged(Message& m)
{
    bool text = false;
    bool icon = false;
    bool state = false;
    for (const Message* c = &m; c; c = c->causedBy()) {
        switch (c->getType()) {
        case Message::Label:
        case Message::Name:
        case Message::Binding: text = true; break;
        case Message::Icon: icon = true; break;
        case Message::Forward: break;
        default: state = true; break;
        }
    }
    // Qt's change notices reach the host, which may let go of this action or
    // of the model meanwhile.
    const QPointer<CommandAction> self(this);
    const tn::Reference<Element> element = tn::keepAlive(m_element.get());
    const tn::Reference<CommandInstance> command = tn::keepAlive(m_command.get());
    if (text)
        showText();
    if (icon && self && m_element)
        showIcon();
    if (state && self && m_element)
        showState();
}

const Keybinding* CommandAction::keybinding() const
{
    const Keybinding* binding = m_element->getKeybinding();
    return binding || !m_command ? binding : m_command->getKeybinding();
}

void CommandAction::showText()
{
    const Element* element = m_element.get();
    QString label = labelText(element->getLabel());
    if (label.isEmpty()) {
        // A name is plain text: its ampersands mark nothing.
        const char* name = element->getName() || !m_command ? element->nameAsChar() : m_command->nameAsChar();
        label = QString::fromUtf8(name).replace(QLatin1Char('&'), QLatin1String("&&"));
    }
    const Keybinding* binding = keybinding();
    const QKeySequence keys = binding && m_choice->shortcutWindow ? keySequence(*binding) : QKeySequence();
    if (binding && keys.isEmpty() && m_keysAsText)
        label += QLatin1Char('\t') + keyText(*binding);
    const QString tip = labelText(element->getToolTip());
    const QPointer<CommandAction> self(this);
    setText(label);
    // Without a tooltip of its own, Qt's default is the text.
    if (self)
        setToolTip(tip);
    if (self)
        setShortcut(keys);
}

void CommandAction::showIcon()
{
    setIcon(iconOf(m_element.get()));
}

void CommandAction::showState()
{
    const CommandInstance* c = m_command.get();
    const auto truth = [](const NumericValue* e, bool without) { return e ? e->evalBool() : without; };
    const bool shown = !c || truth(c->getVisibilityExpression(), true);
    const bool enabled = c && m_element->getEnabled() && (c == m_element.get() || c->getEnabled());
    const bool grouped = c && c->isGrouped();
    const NumericValue* checkedExpression = c ? c->getCheckedExpression() : nullptr;
    const bool checked = checkedExpression ? checkedExpression->evalBool() : grouped && c->getSelected();
    // A grouped command is a radio item while its group-exclusive expression
    // holds (or it has none); otherwise a check item.
    QActionGroup* radio = grouped && truth(c->getGroupExclusiveExpression(), true) ? m_radio.data() : nullptr;

    const QPointer<CommandAction> self(this);
    if (actionGroup() != radio)
        setActionGroup(radio);
    if (self)
        setCheckable(grouped || checkedExpression);
    if (self)
        setChecked(checked);
    if (self)
        setEnabled(enabled);
    if (self)
        setVisible(shown);
    if (!self || !m_level)
        return;
    const bool usable = shown && enabled;
    const int shownDelta = int(shown) - int(m_counted);
    const int usableDelta = int(usable) - int(m_countedUsable);
    m_counted = shown;
    m_countedUsable = usable;
    if (shownDelta || usableDelta)
        m_level->change(shownDelta, usableDelta);
}

void CommandAction::choose()
{
    if (!m_element)
        return;
    // Qt has flipped a checkable action already, and in an exclusive group
    // unchecked another: the model decides, once the command has run. The
    // choice may destroy this action and the model.
    const QPointer<CommandAction> self(this);
    const std::shared_ptr<CommandChoice> choice = m_choice;
    const tn::Reference<CommandInstance> command = tn::keepAlive(m_command.get());
    const tn::Reference<Window> window = tn::keepAlive(choice->shortcutWindow.get());
    if (command)
        choice->choose(command);
    if (!self || !m_element)
        return;
    QList<QPointer<CommandAction>> radios;
    if (QActionGroup* group = actionGroup())
        for (QAction* a : group->actions())
            if (auto* action = qobject_cast<CommandAction*>(a); action && action != this)
                radios.append(action);
    showState();
    for (const QPointer<CommandAction>& action : radios)
        if (action && action->m_element)
            action->showState();
}

void CommandAction::pressKey()
{
    // The key goes to the controller first, as a key on the window would:
    // the current tool sees it, in the middle of a drag too. Then the
    // command runs, if the tool's handling left it enabled.
    const tn::Reference<Window> window = tn::keepAlive(m_choice->shortcutWindow.get());
    const tn::Reference<CommandInstance> command = tn::keepAlive(m_command.get());
    const Keybinding* binding = keybinding();
    if (!hasController(window) || !binding)
        return;
    const QPoint global = QCursor::pos();
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* top = focus ? focus->window() : QApplication::activeWindow();
    const QPoint inWindow = top ? top->mapFromGlobal(global) : global;
    KeyEvent key(binding->getKey(), binding->getModifier(), true,
                 point(focus ? focus->mapFromGlobal(global) : inWindow), point(inWindow), point(global));
    const QPointer<CommandAction> self(this);
    const std::shared_ptr<CommandChoice> choice = m_choice;
    window->getCommandController().forwardEvent(key);
    if (command && command->getEnabled() && self && m_element)
        choice->choose(command);
}

bool CommandAction::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && m_element && m_choice->shortcutWindow &&
        !static_cast<QShortcutEvent*>(e)->isAmbiguous()) {
        pressKey();
        return true;
    }
    return QAction::event(e);
}

} // namespace tnUI
