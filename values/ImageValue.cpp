#include "ImageValue.h"

#include "../entity/Error.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace tnUI {

ImageValue::ImageValue(int width, int height) : m_width(width), m_height(height)
{}

void ImageValue::setWaiting(bool w)
{
    if (w == m_waiting && m_waitingAnnounced)
        return;
    m_waiting = w;
    m_waitingAnnounced = true;
    Message m(this, Message::State);
    sendMessage(m);
}

void ImageValue::setImageData(int width, int height, int bytesPerPixel, const unsigned char* data)
{
    // A listener may drop the last other reference to this value: hold one
    // across the call-outs.
    const tn::Reference<ImageValue> held = tn::keepAlive(this);
    if (!data || width <= 0 || height <= 0) {
        reset();
        m_imageSet = true;
        return;
    }
    if (bytesPerPixel < 0)
        throw ImplError();
    // Width and height are positive here; the product of three 31-bit numbers
    // can exceed 64 bits, so it is checked step by step.
    constexpr std::uint64_t limit = std::numeric_limits<std::ptrdiff_t>::max();
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (bytesPerPixel != 0 && pixels > limit / static_cast<std::uint64_t>(bytesPerPixel))
        throw IndexError();
    const auto count = static_cast<std::size_t>(pixels * static_cast<std::uint64_t>(bytesPerPixel));
    if (!m_data || count != m_byteCount) {
        // Allocated and filled before the old buffer goes: a failed
        // allocation leaves the value as it was, and the data may be the old
        // buffer itself.
        std::unique_ptr<unsigned char[]> buffer(new unsigned char[count]);
        if (count != 0)
            std::memcpy(buffer.get(), data, count);
        m_data = std::move(buffer);
        m_byteCount = count;
    } else if (count != 0) {
        // The data may be this buffer, or overlap it.
        std::memmove(m_data.get(), data, count);
    }
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
    Message m(this, Message::Value);
    sendMessage(m);
    setWaiting(false);
    m_imageSet = true;
}

void ImageValue::reset()
{
    if (!m_data)
        return;
    m_data.reset();
    m_byteCount = 0;
    m_width = m_height = m_bytesPerPixel = 0;
    Message m(this, Message::Value);
    sendMessage(m);
}

} // namespace tnUI
