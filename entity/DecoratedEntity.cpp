#include "DecoratedEntity.h"

#include "DumpFile.h"
#include "Error.h"

namespace tnUI {

namespace {

// Dump labels of the slots, indexed by state.
const char* const DefaultLabels[] = {"icon", "icon disabled", "icon highlight", "icon active"};
const char* const AlternateLabels[] = {"alt icon", "alt icon disabled", "alt icon highlight", "alt icon active"};

// The table index of a state; a state outside the table raises ImplError.
int stateIndex(IconState::EState s)
{
    if (s < IconState::Normal || s > IconState::Active)
        throw ImplError();
    return s;
}

} // namespace

tn::Reference<ImageFile>& DecoratedEntity::_slot(IconState::EState s, IconMode::EMode m)
{
    const int i = stateIndex(s);
    if (!m_icons)
        m_icons = std::make_unique<Icons>();
    return (m == IconMode::Default ? m_icons->defaults : m_icons->alternates)[i];
}

ImageFile* DecoratedEntity::_icon(IconState::EState s, IconMode::EMode m) const
{
    const int i = stateIndex(s);
    if (!m_icons)
        return nullptr;
    return (m == IconMode::Default ? m_icons->defaults : m_icons->alternates)[i].get();
}

ImageFile* DecoratedEntity::getIcon(IconState::EState s, IconMode::EMode m)
{
    return _icon(s, m);
}

const ImageFile* DecoratedEntity::getIcon(IconState::EState s, IconMode::EMode m) const
{
    return _icon(s, m);
}

void DecoratedEntity::setIcon(ImageFile* icon, IconState::EState s, IconMode::EMode m)
{
    tn::Reference<ImageFile>& slot = _slot(s, m);
    // Stop watching the old icon, take the new reference before releasing the
    // old one (they may be the same), then watch the new icon.
    removeSignal(slot.get());
    slot = icon;
    if (icon)
        tnRTB::connect<&DecoratedEntity::iconModified>(icon->messageSignal, this);
    Message msg(this, Message::Icon);
    sendMessage(msg);
}

void DecoratedEntity::setIcons(const DecoratedEntity& other)
{
    static constexpr IconState::EState Order[] = {IconState::Normal, IconState::Highlight, IconState::Active,
                                                  IconState::Disabled};
    for (IconMode::EMode mode : {IconMode::Default, IconMode::Alternate}) {
        for (IconState::EState state : Order) {
            // Icons are shared, never const objects: the getter's constness
            // only reflects that other is not changed here. Empty slots need
            // no table.
            auto* icon = const_cast<ImageFile*>(other.getIcon(state, mode));
            if (icon || m_icons)
                _slot(state, mode) = icon;
        }
    }
    Message msg(this, Message::Icon);
    sendMessage(msg);
}

void DecoratedEntity::iconModified(Message& m)
{
    resendMessage(m, Message::Icon);
}

bool DecoratedEntity::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedLabeledEntity::dump(file, level, label))
        return false;
    if (!m_icons)
        return true;
    for (int s = 0; s < NumStates; ++s) {
        if (m_icons->defaults[s])
            m_icons->defaults[s]->dump(file, level + 1, DefaultLabels[s]);
    }
    for (int s = 0; s < NumStates; ++s) {
        if (m_icons->alternates[s])
            m_icons->alternates[s]->dump(file, level + 1, AlternateLabels[s]);
    }
    return true;
}

} // namespace tnUI
