#pragma once

#include "../MarkRender.h"

#include <QImage>

// A picture loaded from a file into a QImage.
class QmarkImage : public tnMarkImage {
public:
    explicit QmarkImage(const tnString::IString& fileName);
    ~QmarkImage() override;

    int getWidth() const override { return m_image.width(); }
    int getHeight() const override { return m_image.height(); }

    const tnString::IString& getFileName() const { return m_fileName; }
    const QImage& image() const { return m_image; }

    // The factory the marking menus load pictures through: null when the
    // file does not load.
    static tnMarkImage* create(const tnString::IString& fileName);

private:
    tnString::IString m_fileName;
    QImage m_image;
};
