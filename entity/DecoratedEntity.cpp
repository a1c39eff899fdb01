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
    return (m == IconMode::Default ? m_defaultIcons : m_alternateIcons)[stateIndex(s)];
}

const tn::Reference<ImageFile>& DecoratedEntity::_slot(IconState::EState s, IconMode::EMode m) const
{
    return (m == IconMode::Default ? m_defaultIcons : m_alternateIcons)[stateIndex(s)];
}

ImageFile* DecoratedEntity::getIcon(IconState::EState s, IconMode::EMode m)
{
    return _slot(s, m).get();
}

const ImageFile* DecoratedEntity::getIcon(IconState::EState s, IconMode::EMode m) const
{
    return _slot(s, m).get();
}

void DecoratedEntity::setIcon(ImageFile* icon, IconState::EState s, IconMode::EMode m)
{
    tn::Reference<ImageFile>& slot = _slot(s, m);
    // Stop watching the old icon, take the new reference before releasing the
    // old one (they may be the same), then watch the new icon.
    removeSignal(slot.get());
    slot = icon;
    if (icon)
        tnRTB::connect(icon->messageSignal, this, &DecoratedEntity::iconModified);
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
            // only reflects that other is not changed here.
            _slot(state, mode) = const_cast<ImageFile*>(other.getIcon(state, mode));
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
    for (int s = 0; s < NumStates; ++s) {
        if (m_defaultIcons[s])
            m_defaultIcons[s]->dump(file, level + 1, DefaultLabels[s]);
    }
    for (int s = 0; s < NumStates; ++s) {
        if (m_alternateIcons[s])
            m_alternateIcons[s]->dump(file, level + 1, AlternateLabels[s]);
    }
    return true;
}

} // namespace tnUI
