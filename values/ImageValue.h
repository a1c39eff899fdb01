#pragma once

#include "../foundation/Export.h"

#include "Value.h"

#include <cstddef>
#include <memory>

namespace tnUI {

/// A pixel buffer of width x height x bytes per pixel, in the supplier's row
/// order. The value may exist, and be shown, before its pixels arrive: a
/// supplier marks it waiting while the image is produced and hands the pixels
/// over with setImageData, which copies them once into the value's own buffer.
class TNUI_EXPORT ImageValue : public Value {
public:
    /// No data, no size, not waiting.
    ImageValue() = default;
    /// A size without data (bytes per pixel 0).
    ImageValue(int width, int height);

    /// The value's own buffer, valid until the next change; null without data.
    unsigned char* getImageData() const noexcept { return m_data.get(); }
    /// The width.
    int getWidth() const noexcept { return m_width; }
    /// The height.
    int getHeight() const noexcept { return m_height; }
    /// The bytes per pixel.
    int getBytesPerPixel() const noexcept { return m_bytesPerPixel; }

    /// True once setImageData has been called.
    bool haveSetImage() const noexcept { return m_imageSet; }
    /// Whether the image is still to come (setWaiting).
    bool waiting() const noexcept { return m_waiting; }
    /// Stores the flag and sends "State", unless it is unchanged and a change
    /// was announced before: the first call always sends.
    void setWaiting(bool w);

    /// Null data or a non-positive width or height resets the value. Otherwise
    /// the shape is stored, the bytes are copied into a buffer of exactly that
    /// many bytes (the one held, when it has that size), "Value" is sent and
    /// the waiting flag is cleared. A negative bytes per pixel raises
    /// ImplError and a byte count beyond what memory can address IndexError,
    /// both before anything changes.
    void setImageData(int width, int height, int bytesPerPixel, const unsigned char* data);

    /// Drops the data and the shape, announced with "Value"; without data,
    /// nothing. The image stays marked set.
    void reset() override;

private:
    std::unique_ptr<unsigned char[]> m_data;
    std::size_t m_byteCount = 0;
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 0;
    bool m_waiting = false;
    bool m_waitingAnnounced = false;
    bool m_imageSet = false;
};

} // namespace tnUI
