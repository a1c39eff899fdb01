#include "QmarkImage.h"

#include <QString>

#include <memory>

QmarkImage::QmarkImage(const tnString::IString& fileName)
    : m_fileName(fileName), m_image(QString::fromStdWString(fileName.str()))
{}

QmarkImage::~QmarkImage() = default;

tnMarkImage* QmarkImage::create(const tnString::IString& fileName)
{
    auto image = std::make_unique<QmarkImage>(fileName);
    return image->m_image.isNull() ? nullptr : image.release();
}
