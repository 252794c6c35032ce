#include "framework/drawing/detail/PixelBuffer.h"

#include <cstdlib>
#include <limits>
#include <mutex>

namespace kivra::framework::detail {

namespace {

// Smaller images come from the heap's free lists, which keep their pages.
constexpr qsizetype kLargeBytes = 128 * 1024;
// The pixels start this far into a buffer, after its header, aligned for SIMD.
constexpr size_t kHeaderBytes = 64;

struct BufferHeader {
    size_t bytes;  // of pixels, after the header
};

struct Spare {
    std::mutex lock;
    BufferHeader* buffer = nullptr;
};

// Never destroyed: images still alive while the program exits give their
// buffers back through it.
Spare& TheSpare() {
    static auto* spare = new Spare;
    return *spare;
}

uchar* PixelsOf(BufferHeader* buffer) { return reinterpret_cast<uchar*>(buffer) + kHeaderBytes; }

void GiveBack(void* info) {
    auto* buffer = static_cast<BufferHeader*>(info);
    Spare& spare = TheSpare();
    BufferHeader* dropped = nullptr;
    {
        const std::lock_guard<std::mutex> hold(spare.lock);
        dropped = spare.buffer;
        spare.buffer = buffer;
    }
    std::free(dropped);
}

BufferHeader* TakeBuffer(size_t bytes) {
    Spare& spare = TheSpare();
    {
        const std::lock_guard<std::mutex> hold(spare.lock);
        if (spare.buffer && spare.buffer->bytes == bytes) {
            BufferHeader* kept = spare.buffer;
            spare.buffer = nullptr;
            return kept;
        }
    }
    void* memory = std::malloc(kHeaderBytes + bytes);
    if (!memory) return nullptr;
    auto* buffer = static_cast<BufferHeader*>(memory);
    buffer->bytes = bytes;
    return buffer;
}

}  // namespace

QImage NewImage(int width, int height, QImage::Format format) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (width <= 0 || height <= 0 || depth <= 0) return {};
    // Rows padded to 32 bits, as QImage lays out its own.
    const qsizetype rowBytes = ((qsizetype{width} * depth + 31) / 32) * 4;
    if (rowBytes > std::numeric_limits<qsizetype>::max() / height) return {};
    if (rowBytes * height < kLargeBytes) return QImage(width, height, format);
    BufferHeader* buffer = TakeBuffer(static_cast<size_t>(rowBytes * height));
    if (!buffer) return {};
    QImage image(PixelsOf(buffer), width, height, rowBytes, format, GiveBack, buffer);
    if (image.isNull()) GiveBack(buffer);
    return image;
}

}  // namespace kivra::framework::detail
