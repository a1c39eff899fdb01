#include "EnumArgument.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../values/IntValue.h"
#include "ArgumentItem.h"

#include <algorithm>

namespace tnUI {

EnumArgument::EnumArgument() : EnumArgument(tn::Reference<IntValue>(new IntValue(0)))
{}

EnumArgument::EnumArgument(IntValue* selected)
{
    if (!selected)
        throw NullError();
    m_selected = selected;
    // Tagged: the selection may also be this argument's enabled expression.
    listenTo(selected, &m_selected, &Entity::forwardMessage);
}

EnumArgument::~EnumArgument()
{
    signalClient.disconnectAll();
    tn::vector<tn::Reference<ArgumentItem>> released;
    released.swap(m_choices);
}

void EnumArgument::setEnumArgumentKind(EEnumArgumentKind k)
{
    if (k == m_kind)
        return;
    m_kind = k;
    Message m(this, Message::Appearance);
    sendMessage(m);
}

const ArgumentItem* EnumArgument::getItem(int i) const
{
    if (i < 0 || i >= getNumChoices())
        throw IndexError();
    return m_choices[static_cast<std::size_t>(i)].get();
}

int EnumArgument::insertItem(int i, ArgumentItem* item)
{
    if (!item)
        throw NullError();
    if (std::any_of(m_choices.begin(), m_choices.end(),
                    [item](const tn::Reference<ArgumentItem>& x) { return x.get() == item; }))
        throw DuplicateError();
    if (i < 0)
        throw IndexError();
    const int index = std::min(i, getNumChoices());
    m_choices.insert(m_choices.begin() + index, tn::Reference<ArgumentItem>(item));
    connectSignal(item);
    return index;
}

void EnumArgument::sendStructure()
{
    Message m(this, Message::Structure);
    sendMessage(m);
}

int EnumArgument::addChoice(ArgumentItem* item)
{
    const int index = insertItem(getNumChoices(), item);
    sendStructure();
    return index;
}

int EnumArgument::addChoices(const tn::vector<ArgumentItem*>& items)
{
    if (items.empty())
        throw NullError();
    for (ArgumentItem* item : items)
        insertItem(getNumChoices(), item);
    sendStructure();
    return static_cast<int>(items.size());
}

void EnumArgument::clearArgumentItems()
{
    tn::vector<tn::Reference<ArgumentItem>> released;
    released.swap(m_choices);
    for (const tn::Reference<ArgumentItem>& item : released)
        removeSignal(item);
}

void EnumArgument::clearChoices(bool notify)
{
    const auto held = tn::keepAlive(this);
    clearArgumentItems();
    if (notify)
        sendStructure();
}

void EnumArgument::select(int i)
{
    if (i < 0 || i >= getNumChoices())
        throw IndexError();
    const auto held = tn::keepAlive(this);
    const tn::Reference<IntValue> selected = m_selected;
    selected->setValue(i);
}

int EnumArgument::getSelectedItem() const
{
    return m_selected->getValue();
}

void EnumArgument::reset()
{
    const auto held = tn::keepAlive(this);
    const tn::vector<tn::Reference<ArgumentItem>> choices = m_choices;
    for (const tn::Reference<ArgumentItem>& item : choices)
        item->reset();
    Argument::reset();
}

bool EnumArgument::dump(DumpFile& file, int level, const char* label) const
{
    const char* kind = enumName(m_kind);
    if (!Argument::dump(file, level, label))
        return false;
    file.printf(level + 1, "kind = %s\n", kind);
    m_selected->dump(file, level + 1, "selected");
    file.printf(level + 1, "%d choices:\n", getNumChoices());
    // A choice's dump may be the host's and change the choices, or let this
    // argument go: it is held once its own line shows its true count, and
    // the length is read again after each choice.
    const auto held = tn::keepAlive(this);
    for (std::size_t i = 0; i < m_choices.size(); ++i)
        m_choices[i]->dump(file, level + 2, nullptr);
    return true;
}

const char* enumName(EEnumArgumentKind k)
{
    switch (k) {
    case EEnumArgumentKind::Popup: return "Popup";
    case EEnumArgumentKind::ListBox: return "ListBox";
    case EEnumArgumentKind::Segmented: return "Segmented";
    case EEnumArgumentKind::Segmented1: return "Segmented1";
    case EEnumArgumentKind::Segmented2: return "Segmented2";
    case EEnumArgumentKind::Segmented3: return "Segmented3";
    case EEnumArgumentKind::Radio1: return "Radio1";
    case EEnumArgumentKind::Radio2: return "Radio2";
    case EEnumArgumentKind::Radio3: return "Radio3";
    case EEnumArgumentKind::MarkingMenu: return "MarkingMenu";
    }
    throw ImplError();
}

} // namespace tnUI
