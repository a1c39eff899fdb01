#pragma once

#include "../foundation/Export.h"

#include "../foundation/Signal.h"
#include "ArgumentItem.h"

namespace tnUI {

class ImageValue;

/// A picture shown from an image value, with the size the toolkit asks for:
/// whoever supplies the image listens to resizeSignal and provides one of
/// that size.
class TNUI_EXPORT ImageArgument : public ArgumentItem {
public:
    /// Fired with this argument when the requested size changes.
    tnRTB::Signal<ImageArgument*> resizeSignal;
    /// Never fired by the library; for toolkit bindings.
    tnRTB::Signal<ImageArgument*> hostSignal;

    /// No size requested (-1 x -1). Null image raises NullError.
    explicit ImageArgument(ImageValue* image);

    /// Null raises NullError.
    virtual void setValue(ImageValue* image);
    /// Null raises NullError, a value that is not an ImageValue TypeError,
    /// both with nothing changed.
    void setValue(Value* v) override;
    /// The value as an image; null when it is none.
    ImageValue* getImage();

    /// The size the picture asks for, in pixels.
    void getRequestedImageSize(int& w, int& h) const noexcept
    {
        w = m_requestedWidth;
        h = m_requestedHeight;
    }
    /// Stores the size and fires resizeSignal, unless it is the size already
    /// requested.
    void resizeImage(int w, int h);

private:
    int m_requestedWidth = -1;
    int m_requestedHeight = -1;
};

} // namespace tnUI
