#pragma once

#include "../MarkImageItem.h"

// The image item of the Qt menus: its pictures are loaded, through the image
// factory, as it is made. Pictures that do not load or differ in size raise
// tnMarkBadImageException from the constructor, so no item is made.
class QtMarkImageItem : public tnMarkImageItem {
public:
    QtMarkImageItem(const tnString::IString& normalImageFile, const tnString::IString& highlightedImageFile,
                    const tnString::IString& disabledImageFile, const tnString::IString& tooltip, int id,
                    const tnMarkPosition& anchor, void* data);
    ~QtMarkImageItem() override;
};
