#include "ImageArgument.h"

#include "../entity/Error.h"
#include "../values/ImageValue.h"

namespace tnUI {

ImageArgument::ImageArgument(ImageValue* image)
{
    ImageArgument::setValue(image);
}

void ImageArgument::setValue(ImageValue* image)
{
    if (!image)
        throw NullError();
    ArgumentItem::setValue(image);
}

void ImageArgument::setValue(Value* v)
{
    if (!v)
        throw NullError();
    auto* image = dynamic_cast<ImageValue*>(v);
    if (!image)
        throw TypeError();
    setValue(image);
}

ImageValue* ImageArgument::getImage()
{
    return dynamic_cast<ImageValue*>(getValue());
}

void ImageArgument::resizeImage(int w, int h)
{
    if (w == m_requestedWidth && h == m_requestedHeight)
        return;
    m_requestedWidth = w;
    m_requestedHeight = h;
    const auto held = tn::keepAlive(this);
    resizeSignal.fire(this);
}

} // namespace tnUI
