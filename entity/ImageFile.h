#pragma once

#include "../foundation/Export.h"

#include "../foundation/ReferenceCount.h"
#include "Filename.h"
#include "NamedEntity.h"

namespace tnUI {

/// A reference to an image file, used as an icon. It may be named through
/// setName; its file name is never null.
class TNUI_EXPORT ImageFile : public NamedEntity {
public:
    /// Holds f. Null raises NullError.
    explicit ImageFile(Filename* f);

    /// The filename.
    Filename* getFilename() const noexcept { return m_filename.get(); }
    /// Holds f instead and sends "Value"; nothing when f is the one held. Null
    /// raises NullError. The file name is not listened to: it cannot change.
    void setFilename(Filename* f);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tn::Reference<Filename> m_filename;
};

/// Whether both image files name the same path text. Unlike the other
/// equivalents, a null argument gives false.
TNUI_EXPORT bool equivalent(const ImageFile* a, const ImageFile* b);

} // namespace tnUI
