#include "ImageControl.h"

#include <tnUI/arguments/ImageArgument.h>
#include <tnUI/entity/Message.h>
#include <tnUI/values/ImageValue.h>

#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>

namespace tnUI {

QWidget* ImageControl::create(ArgumentItem* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    new ImageControl(a, w, host);
    return w;
}

ImageControl::ImageControl(ArgumentItem* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a), m_requesting(dynamic_cast<ImageArgument*>(a))
{
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    m_picture = new QLabel(w);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_picture->setForegroundRole(QPalette::PlaceholderText);
    // The picture carries the argument's label for a screen reader.
    w->setFocusProxy(m_picture);
    layout->addWidget(m_picture);
    layout->addStretch(1);
    w->installEventFilter(this);
    // The requested size is not a message of the argument.
    if (m_requesting)
        tnRTB::connect(m_requesting->resizeSignal, &client(), [this](ImageArgument*) { refresh(); });
    update();
}

QSize ImageControl::boxSize() const
{
    int width = -1;
    int height = -1;
    if (m_requesting)
        m_requesting->getRequestedImageSize(width, height);
    return width > 0 && height > 0 ? QSize(width, height) : host().imageSize;
}

bool ImageControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget() && event->type() == QEvent::Show && !m_asked && m_requesting) {
        m_asked = true;
        // The supplier may let go of the argument.
        const tn::Reference<ImageArgument> hold(m_requesting);
        const QSize size = boxSize();
        hold->resizeImage(size.width(), size.height());
    }
    return false;
}

void ImageControl::messaged(Message& m)
{
    if (causedBy(m, Message::Value, m_shownImage) || causedBy(m, Message::State, m_shownImage))
        m_stale = true;
    ArgumentBinding::messaged(m);
}

void ImageControl::refresh()
{
    const auto* image = dynamic_cast<const ImageValue*>(m_argument->getValue());
    const QSize box = boxSize();
    if (m_stale || image != m_shownImage || box != m_shownBox) {
        m_stale = false;
        m_shownImage = image;
        m_shownBox = box;
        showPicture(image, box);
    }
}

QString ImageControl::accessibleDescription() const
{
    const QString tip = toolTipText(m_argument);
    return tip.isEmpty() ? m_description : m_description + QStringLiteral(". ") + tip;
}

void ImageControl::showPicture(const ImageValue* image, const QSize& box)
{
    const int frame = 2 * m_picture->frameWidth();
    m_picture->setFixedSize(box + QSize(frame, frame));
    const QImage picture = image ? toImage(*image) : QImage();
    if (picture.isNull()) {
        const bool waiting = image && image->waiting();
        m_picture->setPixmap(QPixmap());
        m_picture->setText(waiting ? QStringLiteral("waiting\u2026") : QStringLiteral("none"));
        m_description = waiting ? QStringLiteral("Waiting for the picture") : QStringLiteral("No picture");
        return;
    }
    // A picture larger than its box is shown whole, scaled down.
    const bool fits = picture.width() <= box.width() && picture.height() <= box.height();
    m_picture->setText(QString());
    m_picture->setPixmap(
        QPixmap::fromImage(fits ? picture : picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_description = QStringLiteral("Picture, %1 \u00d7 %2 pixels").arg(picture.width()).arg(picture.height());
}

QImage ImageControl::toImage(const ImageValue& image)
{
    const unsigned char* data = image.getImageData();
    const int bytes = image.getBytesPerPixel();
    if (!data || image.waiting() || image.getWidth() <= 0 || image.getHeight() <= 0)
        return {};
    const QImage::Format format = bytes == 4   ? QImage::Format_RGBA8888
                                  : bytes == 3 ? QImage::Format_RGB888
                                  : bytes == 1 ? QImage::Format_Grayscale8
                                               : QImage::Format_Invalid;
    if (format == QImage::Format_Invalid)
        return {};
    // A deep copy: the value's buffer lives only until its next change.
    const qsizetype rowBytes = static_cast<qsizetype>(image.getWidth()) * bytes;
    return QImage(data, image.getWidth(), image.getHeight(), rowBytes, format).copy();
}

} // namespace tnUI
