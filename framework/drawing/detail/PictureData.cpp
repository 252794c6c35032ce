#include "framework/drawing/detail/PictureData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/drawing/detail/PixelBuffer.h"

namespace kivra::framework::detail {

namespace {

constexpr int kCubeLevels = 6;
constexpr int kCubeStep = 51;
constexpr int kCubeSize = kCubeLevels * kCubeLevels * kCubeLevels;
constexpr int kGreys = 256 - kCubeSize;

int GreyValue(int j) {  // j from 1 to kGreys; none of them falls on a cube grey
    return static_cast<int>(std::lround(j * 255.0 / (kGreys + 1)));
}

QList<QRgb> MakePalette() {
    QList<QRgb> palette;
    palette.reserve(256);
    for (int r = 0; r < kCubeLevels; ++r)
        for (int g = 0; g < kCubeLevels; ++g)
            for (int b = 0; b < kCubeLevels; ++b) palette.push_back(qRgb(r * kCubeStep, g * kCubeStep, b * kCubeStep));
    for (int j = 1; j <= kGreys; ++j) {
        const int v = GreyValue(j);
        palette.push_back(qRgb(v, v, v));
    }
    return palette;
}

int Square(int v) { return v * v; }

}  // namespace

const QList<QRgb>& Palette8() {
    static const QList<QRgb> palette = MakePalette();
    return palette;
}

uchar PaletteIndex(QRgb rgb) {
    const int r = qRed(rgb), g = qGreen(rgb), b = qBlue(rgb);
    const int ri = (r + kCubeStep / 2) / kCubeStep;
    const int gi = (g + kCubeStep / 2) / kCubeStep;
    const int bi = (b + kCubeStep / 2) / kCubeStep;
    int best = ri * kCubeLevels * kCubeLevels + gi * kCubeLevels + bi;
    int bestDistance = Square(r - ri * kCubeStep) + Square(g - gi * kCubeStep) + Square(b - bi * kCubeStep);
    if (bestDistance == 0) return static_cast<uchar>(best);

    // The grey nearest to a colour is near the mean of its channels.
    const int guess = static_cast<int>(std::lround((r + g + b) / 3.0 * (kGreys + 1) / 255.0));
    for (int j = std::max(1, guess - 1); j <= std::min(kGreys, guess + 1); ++j) {
        const int v = GreyValue(j);
        const int distance = Square(r - v) + Square(g - v) + Square(b - v);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = kCubeSize + j - 1;
        }
    }
    return static_cast<uchar>(best);
}

quint32 EncodePixel(QImage::Format format, QRgb rgb) {
    switch (format) {
        case QImage::Format_RGB16:
            return static_cast<quint32>(((qRed(rgb) >> 3) << 11) | ((qGreen(rgb) >> 2) << 5) | (qBlue(rgb) >> 3));
        case QImage::Format_Indexed8:
            return PaletteIndex(rgb);
        default:
            return 0xFF000000u | (rgb & 0xFFFFFFu);
    }
}

namespace {

QRgb DecodeAt(QImage::Format format, const uchar* line, int x) {
    switch (format) {
        case QImage::Format_RGB32:
            return 0xFF000000u | reinterpret_cast<const quint32*>(line)[x];
        case QImage::Format_ARGB32_Premultiplied:
            return 0xFF000000u | qUnpremultiply(reinterpret_cast<const quint32*>(line)[x]);
        case QImage::Format_RGB16: {
            const quint32 c = reinterpret_cast<const quint16*>(line)[x];
            const quint32 r = (c >> 11) & 0x1F, g = (c >> 5) & 0x3F, b = c & 0x1F;
            return qRgb(static_cast<int>((r << 3) | (r >> 2)), static_cast<int>((g << 2) | (g >> 4)),
                        static_cast<int>((b << 3) | (b >> 2)));
        }
        case QImage::Format_Indexed8:
            return Palette8()[line[x]];
        default:
            return 0xFF000000u;
    }
}

void StoreAt(QImage::Format format, uchar* line, int x, quint32 encoded) {
    switch (format) {
        case QImage::Format_RGB16:
            reinterpret_cast<quint16*>(line)[x] = static_cast<quint16>(encoded);
            break;
        case QImage::Format_Indexed8:
            line[x] = static_cast<uchar>(encoded);
            break;
        default:
            reinterpret_cast<quint32*>(line)[x] = encoded;
            break;
    }
}

void Refresh(QImage& image, PixelView& view, bool forWriting) {
    // bits() makes the image's data its own (and changes the cache key).
    view.bits = forWriting ? image.bits() : const_cast<uchar*>(image.constBits());
    view.writable = forWriting;
    view.key = image.cacheKey();
    view.stride = image.bytesPerLine();
    view.width = image.width();
    view.height = image.height();
    view.format = image.format();
}

}  // namespace

void StorePixel(QImage& image, int x, int y, quint32 encoded) {
    StoreAt(image.format(), image.scanLine(y), x, encoded);
}

QImage& Pixels(PictureData& data) {
    if (data.recording) {
        // A new picture's memory was taken with it; a new mask's is taken now.
        if (data.image.isNull())
            data.image =
                NewImage(data.recording->Size().width(), data.recording->Size().height(), QImage::Format_RGB32);
        if (data.image.isNull()) return data.image;
        data.recording->Paint(data.image);
        data.recording.reset();
    }
    return data.image;
}

void Adopt(PictureData& data, QImage image) {
    data.recording.reset();
    data.image = std::move(image);
}

QRgb ReadPixel(PictureData& data, int x, int y) {
    if (data.recording && data.recording->Uniform()) {
        const QSize size = data.recording->Size();
        if (x < 0 || y < 0 || x >= size.width() || y >= size.height()) return 0xFF000000u;
        return data.recording->Base();
    }
    Pixels(data);
    PixelView& view = data.view;
    if (data.image.cacheKey() != view.key) Refresh(data.image, view, false);
    if (x < 0 || y < 0 || x >= view.width || y >= view.height) return 0xFF000000u;
    return DecodeAt(view.format, view.bits + y * view.stride, x);
}

void WritePixel(PictureData& data, int x, int y, QRgb rgb) {
    if (data.recording) {
        if (data.recording->Uniform() && data.recording->Base() == EncodePixel(QImage::Format_RGB32, rgb)) return;
        Pixels(data);
    }
    PixelView& view = data.view;
    // Shared data is copied before the first write, as Qt would.
    if (data.image.cacheKey() != view.key || !view.writable || !data.image.isDetached())
        Refresh(data.image, view, true);
    if (x < 0 || y < 0 || x >= view.width || y >= view.height) return;
    StoreAt(view.format, view.bits + y * view.stride, x, EncodePixel(view.format, rgb));
}

void FillEncoded(QImage& image, int x, int y, int width, int height, quint32 encoded) {
    if (width <= 0 || height <= 0) return;
    if (x == 0 && y == 0 && width == image.width() && height == image.height()) {
        // Qt's own fill of a whole image is vectorised; it takes the raw value
        // (RGB32 gets its alpha byte set, which ours has already).
        image.fill(encoded);
        return;
    }
    const qsizetype stride = image.bytesPerLine();
    const int bytesPerPixel = image.depth() / 8;
    uchar* first = image.bits() + y * stride + x * bytesPerPixel;
    switch (bytesPerPixel) {
        case 1:
            std::memset(first, static_cast<int>(encoded & 0xFFu), static_cast<size_t>(width));
            break;
        case 2:
            std::fill_n(reinterpret_cast<quint16*>(first), width, static_cast<quint16>(encoded));
            break;
        default:
            std::fill_n(reinterpret_cast<quint32*>(first), width, encoded);
            break;
    }
    // The other rows are copies of the first: memcpy is far quicker than
    // storing pixel by pixel.
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
    uchar* row = first;
    for (int j = 1; j < height; ++j) {
        row += stride;
        std::memcpy(row, first, rowBytes);
    }
}

}  // namespace kivra::framework::detail
