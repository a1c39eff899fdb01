#pragma once

#include "../foundation/Export.h"

#include "../foundation/ReferenceCount.h"
#include "Icon.h"
#include "ImageFile.h"
#include "NamedLabeledEntity.h"

#include <memory>

namespace tnUI {

/// A named labeled entity with eight icon slots: one image per icon state, in
/// a default and an alternate set. Icons set through setIcon are watched: a
/// change an icon announces (a new file name, say) is resent by this entity as
/// an "Icon" message caused by it.
///
/// Any mode other than Default selects the alternate set; a state outside
/// Normal..Active given to getIcon or setIcon raises ImplError.
class TNUI_EXPORT DecoratedEntity : public NamedLabeledEntity {
public:
    DecoratedEntity() = default;

    /// The slot's image, or null. Derived classes may fall back on other
    /// objects.
    virtual ImageFile* getIcon(IconState::EState s, IconMode::EMode m);
    /// The same, read-only.
    virtual const ImageFile* getIcon(IconState::EState s, IconMode::EMode m) const;

    /// Stops watching the slot's old icon, holds icon (null clears the slot),
    /// watches it, and sends "Icon", also when icon is the one already held.
    void setIcon(ImageFile* icon, IconState::EState s, IconMode::EMode m);
    /// Copies other's effective icons (its virtual getIcon) into the eight
    /// slots and sends one "Icon" message. No icon starts or stops being
    /// watched.
    void setIcons(const DecoratedEntity& other);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    static constexpr int NumStates = 4;
    using IconTable = tn::Reference<ImageFile>[NumStates];
    struct Icons {
        IconTable defaults;
        IconTable alternates;
    };

    void iconModified(Message& m);
    /// The slot to store into: the first store makes the slots.
    tn::Reference<ImageFile>& _slot(IconState::EState s, IconMode::EMode m);
    /// The slot's image, or null.
    ImageFile* _icon(IconState::EState s, IconMode::EMode m) const;

    /// Made by the first icon stored: most entities never have one.
    std::unique_ptr<Icons> m_icons;
};

} // namespace tnUI
