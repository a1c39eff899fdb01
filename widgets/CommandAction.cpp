#include "CommandAction.h"

#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/Keybinding.h>
#include <tnUI/entity/Filename.h>
#include <tnUI/entity/ImageFile.h>
#include <tnUI/entity/Label.h>
#include <tnUI/entity/Message.h>
#include <tnUI/menus/Element.h>

#include <QIcon>
#include <QPointer>

#include <utility>

namespace tnUI {

namespace {

QString labelText(const tnUI::Label* l)
{
    return l ? QString::fromStdWString(l->asString().str()) : QString();
}

QString path(const tnUI::ImageFile* file)
{
    return file ? QString::fromStdWString(file->getFilename()->asString().str()) : QString();
}

} // namespace

CommandAction::CommandAction(tnUI::Element* element, Chosen chosen, QObject* parent)
    : QAction(parent), m_element(element), m_command(element->commandToRun()), m_chosen(std::move(chosen))
{
    tnRTB::connect(element->messageSignal, &m_client, [this](tnUI::Message&) { refresh(); });
    // A command item does not pass its command's messages on.
    if (m_command && m_command.get() != element)
        tnRTB::connect(m_command->messageSignal, &m_client, [this](tnUI::Message&) { refresh(); });
    connect(this, &QAction::triggered, this, &CommandAction::choose);
    refresh();
}

CommandAction::~CommandAction() = default;

QString CommandAction::shortcutText() const
{
    return text().section(QLatin1Char('\t'), 1);
}

void CommandAction::detach()
{
    m_client.disconnectAll();
    m_chosen = nullptr;
}

QString CommandAction::keyText(const tnUI::Keybinding& binding)
{
    return QString::fromUtf8(binding.modifierName().asChar()) + QString::fromUtf8(binding.keyName().asChar());
}

void CommandAction::refresh()
{
    const tnUI::Element* element = m_element.get();
    QString label = labelText(element->getLabel());
    if (label.isEmpty())
        label = QString::fromUtf8(element->nameAsChar());
    // An ampersand in a label is text, not a mnemonic.
    label.replace(QLatin1Char('&'), QStringLiteral("&&"));
    // The keybinding is only shown: the host's own key handling selects the
    // command, and a real shortcut would take the key away from it.
    const tnUI::Keybinding* binding = element->getKeybinding();
    if (!binding && m_command)
        binding = m_command->getKeybinding();
    if (binding)
        label += QLatin1Char('\t') + keyText(*binding);
    setText(label);
    setToolTip(labelText(element->getToolTip()));

    QIcon icon;
    const QString normal = path(element->getIcon(tnUI::IconState::Normal, tnUI::IconMode::Default));
    if (!normal.isEmpty()) {
        icon.addFile(normal);
        const QString disabled = path(element->getIcon(tnUI::IconState::Disabled, tnUI::IconMode::Default));
        if (!disabled.isEmpty())
            icon.addFile(disabled, QSize(), QIcon::Disabled);
    }
    setIcon(icon);

    setEnabled(element->getEnabled());
    // Only a command with a checked condition is shown as something that
    // can be checked.
    setCheckable(m_command && m_command->getCheckedExpression());
    setChecked(isCheckable() && m_command->getChecked());
}

void CommandAction::choose()
{
    // Qt has flipped a checkable action already; the model decides, and the
    // chosen command may destroy this action.
    const QPointer<CommandAction> self(this);
    if (m_chosen && m_command) {
        const tn::Reference<tnUI::CommandInstance> hold(m_command);
        const Chosen chosen = m_chosen;
        chosen(hold.get());
    }
    if (self)
        refresh();
}

} // namespace tnUI
