#pragma once

#include "../foundation/Export.h"

#include "MarkItem.h"

class tnMarkImage;

/// Raised when the pictures of an image item cannot be used.
class TNUI_EXPORT tnMarkBadImageException {
public:
    /// The error with its message.
    explicit tnMarkBadImageException(const tnString::IString& message) : m_message(message) {}

    /// The message.
    const tnString::IString& getMessage() const { return m_message; }

private:
    tnString::IString m_message;
};

/// An item showing a picture: one for the normal state, one while it is
/// highlighted and, optionally, one while it is disabled. All its pictures
/// must have the same size. Its box keeps the ray rule of the base item.
class TNUI_EXPORT tnMarkImageItem : public tnMarkMenuItem {
public:
    /// The label is the normal picture's file name. The pictures are not
    /// loaded until loadImages.
    tnMarkImageItem(const tnString::IString& normalImageFile, const tnString::IString& highlightedImageFile,
                    const tnString::IString& disabledImageFile, const tnString::IString& tooltip, int id,
                    const tnMarkPosition& anchor, void* data);
    ~tnMarkImageItem() override;

    /// The current picture's size with a 5-unit margin; 0 without a picture.
    float getWidth() const override;
    /// The height.
    float getHeight() const override;
    /// The current picture at the reference point.
    void drawItem(tnMarkRender& render) override;
    /// The highlighted picture at (x, y).
    void drawAt(float x, float y, tnMarkRender& render) override;

    /// Also makes the file name the item's label.
    virtual void setNormalImageFile(const tnString::IString& file);
    /// Sets the highlighted image file.
    virtual void setHighlightedImageFile(const tnString::IString& file);
    /// Sets the disabled image file.
    virtual void setDisabledImageFile(const tnString::IString& file);
    /// Deletes the loaded pictures.
    virtual void freeImages();

    /// The normal image file.
    const tnString::IString& getNormalImageFile() const { return m_normalImageFile; }
    /// The highlighted image file.
    const tnString::IString& getHighlightedImageFile() const { return m_highlightedImageFile; }
    /// The disabled image file.
    const tnString::IString& getDisabledImageFile() const { return m_disabledImageFile; }
    /// The picture of the current state: normal, disabled or highlighted; null
    /// when that picture is missing.
    tnMarkImage* getCurrentImage() const;
    /// Loads the pictures through the image factory, replacing any loaded
    /// before. Raises tnMarkBadImageException, with no picture kept, when a
    /// picture does not load or the pictures differ in size.
    void loadImages();

private:
    tnString::IString m_normalImageFile;
    tnString::IString m_highlightedImageFile;
    tnString::IString m_disabledImageFile;
    tnMarkImage* m_normalImage = nullptr;
    tnMarkImage* m_highlightedImage = nullptr;
    tnMarkImage* m_disabledImage = nullptr;
};
