#include "framework/detail/PictureData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
            for (int b = 0; b < kCubeLevels; ++b)
                palette.push_back(qRgb(r * kCubeStep, g * kCubeStep, b * kCubeStep));
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

QRgb DecodePixel(const QImage& image, int x, int y) {
    const uchar* line = image.constScanLine(y);
    switch (image.format()) {
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
        return image.pixel(x, y) | 0xFF000000u;
    }
}

void StorePixel(QImage& image, int x, int y, quint32 encoded) {
    uchar* line = image.scanLine(y);
    switch (image.depth()) {
    case 16:
        reinterpret_cast<quint16*>(line)[x] = static_cast<quint16>(encoded);
        break;
    case 8:
        line[x] = static_cast<uchar>(encoded);
        break;
    default:
        reinterpret_cast<quint32*>(line)[x] = encoded;
        break;
    }
}

void FillEncoded(QImage& image, int x, int y, int width, int height, quint32 encoded) {
    if (width <= 0 || height <= 0) return;
    const qsizetype stride = image.bytesPerLine();
    uchar* row = image.bits() + y * stride;
    const int depth = image.depth();
    for (int j = 0; j < height; ++j, row += stride) {
        if (depth == 16)
            std::fill_n(reinterpret_cast<quint16*>(row) + x, width, static_cast<quint16>(encoded));
        else if (depth == 8)
            std::memset(row + x, static_cast<int>(encoded & 0xFFu), static_cast<size_t>(width));
        else
            std::fill_n(reinterpret_cast<quint32*>(row) + x, width, encoded);
    }
}

}  // namespace kivra::framework::detail
