#include "GroupOfArguments.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

namespace tnUI {

GroupOfArguments::GroupOfArguments(Arguments* list) : m_arguments(list)
{
    if (!list)
        throw NullError();
    connectSignal(list);
}

GroupOfArguments::~GroupOfArguments()
{
    signalClient.disconnectAll();
}

void GroupOfArguments::sendAppearance()
{
    Message m(this, Message::Appearance);
    sendMessage(m);
}

void GroupOfArguments::setGroupOfArgumentsKind(EGroupOfArgumentsKind k)
{
    if (k == m_kind)
        return;
    m_kind = k;
    sendAppearance();
}

void GroupOfArguments::setArgumentsControlHint(EGroupOfArgumentsControlHint h)
{
    if (h == m_controlHint)
        return;
    m_controlHint = h;
    sendAppearance();
}

void GroupOfArguments::reset()
{
    const auto held = tn::keepAlive(this);
    const tn::Reference<Arguments> list = m_arguments;
    list->reset();
}

bool GroupOfArguments::dump(DumpFile& file, int level, const char* label) const
{
    const char* kind = enumName(m_kind);
    if (!Argument::dump(file, level, label))
        return false;
    file.printf(level + 1, "kind = %s\n", kind);
    if (m_columns != 1)
        file.printf(level + 1, "columns = %d\n", m_columns);
    m_arguments->dump(file, level + 1, nullptr);
    return true;
}

const char* enumName(EGroupOfArgumentsKind k)
{
    switch (k) {
    case EGroupOfArgumentsKind::Group: return "Group";
    case EGroupOfArgumentsKind::Page: return "Page";
    case EGroupOfArgumentsKind::Collapsible: return "Collapsible";
    }
    throw ImplError();
}

const char* enumName(EGroupOfArgumentsControlHint h)
{
    switch (h) {
    case EGroupOfArgumentsControlHint::AsArguments: return "AsArguments";
    case EGroupOfArgumentsControlHint::Sliders: return "Sliders";
    case EGroupOfArgumentsControlHint::ColorControl: return "ColorControl";
    case EGroupOfArgumentsControlHint::ColorWell: return "ColorWell";
    case EGroupOfArgumentsControlHint::BrushWell: return "BrushWell";
    case EGroupOfArgumentsControlHint::BrushControl: return "BrushControl";
    }
    throw ImplError();
}

} // namespace tnUI
