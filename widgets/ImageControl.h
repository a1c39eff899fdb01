#pragma once

#include "ArgumentBinding.h"

#include <QPointer>
#include <QSize>

class QImage;

namespace tnUI {

class ArgumentItem;
class ImageArgument;
class ImageValue;

// The picture of an image value (an image argument's, or a field's over an
// image value): RGBA (4 bytes a pixel), RGB (3) or grey (1), in a box of the
// size the image argument requested, or of the host's image size when it
// requested none. As the picture first shows, the argument asks its supplier
// for a picture of that size. While the value waits, or has no pixels, a
// placeholder says so.
class ImageControl : public ArgumentBinding {
public:
    static QWidget* create(ArgumentItem* a, const ArgumentWidgetHost& host, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void messaged(Message& m) override;
    void refresh() override;
    QString accessibleDescription() const override;

private:
    ImageControl(ArgumentItem* a, QWidget* w, const ArgumentWidgetHost& host);
    // The size the picture is shown at.
    QSize boxSize() const;
    void showPicture(const ImageValue* image, const QSize& box);
    static QImage toImage(const ImageValue& image);

    ArgumentItem* m_argument;
    // The image argument, when it is one: it requests the size.
    ImageArgument* m_requesting;
    QPointer<QLabel> m_picture;
    bool m_asked = false;
    // The picture shown is redrawn only when the image announced a change,
    // or another image or box size is shown.
    bool m_stale = true;
    const ImageValue* m_shownImage = nullptr;
    QSize m_shownBox;
    // What the picture shows, in words: its size, or why there is none.
    QString m_description;
};

} // namespace tnUI
