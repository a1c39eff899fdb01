#include "MarkImageItem.h"

#include "MarkRender.h"

namespace {

bool sameSize(const tnMarkImage* a, const tnMarkImage* b)
{
    return a->getWidth() == b->getWidth() && a->getHeight() == b->getHeight();
}

} // namespace

tnMarkImageItem::tnMarkImageItem(const tnString::IString& normalImageFile,
                                 const tnString::IString& highlightedImageFile,
                                 const tnString::IString& disabledImageFile, const tnString::IString& tooltip, int id,
                                 const tnMarkPosition& anchor, void* data)
    : tnMarkMenuItem(normalImageFile, tooltip, id, anchor, data), m_normalImageFile(normalImageFile),
      m_highlightedImageFile(highlightedImageFile), m_disabledImageFile(disabledImageFile)
{}

tnMarkImageItem::~tnMarkImageItem()
{
    freeImages();
}

float tnMarkImageItem::getWidth() const
{
    const tnMarkImage* image = getCurrentImage();
    return image ? static_cast<float>(image->getWidth()) + 5.0f : 0.0f;
}

float tnMarkImageItem::getHeight() const
{
    const tnMarkImage* image = getCurrentImage();
    return image ? static_cast<float>(image->getHeight()) + 5.0f : 0.0f;
}

void tnMarkImageItem::drawItem(tnMarkRender& render)
{
    tnMarkImage* image = getCurrentImage();
    if (!image)
        return;
    tnMarkPosition center;
    getReferencePoint(center);
    render.drawImage(image, center.getX(), center.getY());
}

void tnMarkImageItem::drawAt(float x, float y, tnMarkRender& render)
{
    if (m_highlightedImage)
        render.drawImage(m_highlightedImage, x, y);
}

void tnMarkImageItem::setNormalImageFile(const tnString::IString& file)
{
    m_normalImageFile = file;
    setLabel(file);
}

void tnMarkImageItem::setHighlightedImageFile(const tnString::IString& file)
{
    m_highlightedImageFile = file;
}

void tnMarkImageItem::setDisabledImageFile(const tnString::IString& file)
{
    m_disabledImageFile = file;
}

void tnMarkImageItem::freeImages()
{
    delete m_normalImage;
    delete m_highlightedImage;
    delete m_disabledImage;
    m_normalImage = nullptr;
    m_highlightedImage = nullptr;
    m_disabledImage = nullptr;
}

tnMarkImage* tnMarkImageItem::getCurrentImage() const
{
    switch (getState()) {
    case Normal: return m_normalImage;
    case Disabled: return m_disabledImage;
    case Highlighted: return m_highlightedImage;
    default: return nullptr;
    }
}

void tnMarkImageItem::loadImages()
{
    freeImages();
    m_normalImage = tnMarkCreateImage(m_normalImageFile);
    m_highlightedImage = tnMarkCreateImage(m_highlightedImageFile);
    if (!m_disabledImageFile.isEmpty())
        m_disabledImage = tnMarkCreateImage(m_disabledImageFile);

    if (!m_normalImage || !m_highlightedImage || (!m_disabledImageFile.isEmpty() && !m_disabledImage)) {
        freeImages();
        throw tnMarkBadImageException("Error loading image for Marking Menu item");
    }
    if (!sameSize(m_normalImage, m_highlightedImage) ||
        (m_disabledImage && !sameSize(m_normalImage, m_disabledImage))) {
        freeImages();
        throw tnMarkBadImageException(
            "Error - marking menu image items should have the same dimensions for all its images");
    }
}
