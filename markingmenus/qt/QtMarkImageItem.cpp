#include "QtMarkImageItem.h"

QtMarkImageItem::QtMarkImageItem(const tnString::IString& normalImageFile,
                                 const tnString::IString& highlightedImageFile,
                                 const tnString::IString& disabledImageFile, const tnString::IString& tooltip, int id,
                                 const tnMarkPosition& anchor, void* data)
    : tnMarkImageItem(normalImageFile, highlightedImageFile, disabledImageFile, tooltip, id, anchor, data)
{
    loadImages();
}

QtMarkImageItem::~QtMarkImageItem() = default;
