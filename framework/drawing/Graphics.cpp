#include "framework/drawing/Graphics.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/GraphicsTarget.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/drawing/detail/RecordedShrink.h"
#include "framework/drawing/detail/Recording.h"
#include "framework/drawing/detail/Smoothing.h"

namespace kivra::framework {

namespace {

using detail::PictureData;
using Int64 = long long;
__extension__ using Wide = __int128;

// The part of [x, x + width) x [y, y + height) inside the image; the sums are
// taken in 64 bits so that no Int32 argument can overflow them.
QRect Clip(const QSize& size, Int64 x, Int64 y, Int64 width, Int64 height) {
    if (width <= 0 || height <= 0) return {};
    const Int64 x0 = std::max<Int64>(x, 0), y0 = std::max<Int64>(y, 0);
    const Int64 x1 = std::min<Int64>(x + width, size.width()), y1 = std::min<Int64>(y + height, size.height());
    if (x0 >= x1 || y0 >= y1) return {};
    return QRect(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0));
}

void Fill(QImage& image, Int64 x, Int64 y, Int64 width, Int64 height, quint32 encoded) {
    detail::FillClipped(image, x, y, width, height, encoded);
}

// A double brought into [lo, hi] before it becomes an int.
int ClampToInt(double v, int lo, int hi) {
    if (!(v >= lo)) return lo;  // NaN too
    if (v >= hi) return hi;
    return static_cast<int>(v);
}

bool MaskAllBlack(const QImage& mask, const QRect& region) {
    // Black as the mask stores it, compared a row at a time; a row that differs
    // is looked at pixel by pixel, since only the colour bits count.
    const std::vector<quint32> black(static_cast<size_t>(region.width()), 0xFF000000u);
    const size_t rowBytes = black.size() * sizeof(quint32);
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(mask.constScanLine(y)) + region.left();
        if (std::memcmp(row, black.data(), rowBytes) == 0) continue;
        for (int x = 0; x < region.width(); ++x)
            if (row[x] & 0xFFFFFFu) return false;
    }
    return true;
}

// The mask that applies to the region: none while it is still all black, or
// when it has no pixels there (its image could not be made).
const QImage* MaskFor(const PictureData& source, const QRect& region) {
    if (!source.mask || detail::StillBlack(source.mask->Data())) return nullptr;
    const QImage& mask = detail::Pixels(source.mask->Data());
    return mask.rect().contains(region) ? &mask : nullptr;
}

// True when the region of the picture covers what lies under it completely.
bool Opaque(const PictureData& source, const QRect& region) {
    if (source.hasAlpha) return false;
    const QImage* mask = MaskFor(source, region);
    return !mask || MaskAllBlack(*mask, region);
}

// The region of the picture as premultiplied ARGB, its mask turned into alpha
// (black opaque, white transparent, greys partly).
QImage MaskedRegion(const PictureData& source, const QRect& region) {
    QImage layer = source.image.copy(region).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage* maskImage = MaskFor(source, region);
    if (!maskImage) return layer;
    const QImage& mask = *maskImage;
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(layer.scanLine(y));
        const auto* maskRow = reinterpret_cast<const quint32*>(mask.constScanLine(y + region.y())) + region.x();
        for (int x = 0; x < layer.width(); ++x) {
            const quint32 alpha = 255u - static_cast<quint32>(qGray(maskRow[x]));
            if (alpha == 255u) continue;
            const quint32 p = row[x];
            const auto scale = [alpha](quint32 c) { return (c * alpha + 127u) / 255u; };
            row[x] = (scale(p >> 24) << 24) | (scale((p >> 16) & 0xFFu) << 16) | (scale((p >> 8) & 0xFFu) << 8) |
                     scale(p & 0xFFu);
        }
    }
    return layer;
}

// The region of the picture as it is to be laid on a target.
QImage SourceRegion(const PictureData& source, const QRect& region, bool opaque) {
    if (!opaque) return MaskedRegion(source, region);
    return source.image.copy(region).convertToFormat(QImage::Format_RGB32);
}

// Lays a layer (RGB32 when opaque, else premultiplied ARGB) on the target at
// the given place, which lies inside the target.
void Composite(QImage& target, const QPoint& at, const QImage& layer, bool opaque) {
    const int width = layer.width(), height = layer.height();
    if (target.format() == QImage::Format_Indexed8) {
        const QList<QRgb>& palette = detail::Palette8();
        for (int y = 0; y < height; ++y) {
            const auto* src = reinterpret_cast<const quint32*>(layer.constScanLine(y));
            uchar* dst = target.scanLine(y + at.y()) + at.x();
            for (int x = 0; x < width; ++x) {
                const quint32 s = src[x];
                const quint32 alpha = opaque ? 255u : s >> 24;
                if (alpha == 0) continue;
                if (alpha == 255u) {
                    dst[x] = detail::PaletteIndex(s);
                    continue;
                }
                const QRgb d = palette[dst[x]];
                const auto mix = [alpha](quint32 sc, int dc) {
                    return static_cast<int>(sc + (static_cast<quint32>(dc) * (255u - alpha) + 127u) / 255u);
                };
                dst[x] = detail::PaletteIndex(
                    qRgb(mix((s >> 16) & 0xFFu, qRed(d)), mix((s >> 8) & 0xFFu, qGreen(d)), mix(s & 0xFFu, qBlue(d))));
            }
        }
        return;
    }
    const bool words =
        target.format() == QImage::Format_RGB32 || target.format() == QImage::Format_ARGB32_Premultiplied;
    if (opaque && words) {
        // Opaque RGB32 words are valid premultiplied pixels as they are.
        for (int y = 0; y < height; ++y)
            std::memcpy(reinterpret_cast<quint32*>(target.scanLine(y + at.y())) + at.x(), layer.constScanLine(y),
                        static_cast<size_t>(width) * 4);
        return;
    }
    QPainter painter(&target);
    painter.setCompositionMode(opaque ? QPainter::CompositionMode_Source : QPainter::CompositionMode_SourceOver);
    painter.drawImage(at, layer);
}

using detail::Mix;
using detail::Tap;
using detail::Taps;

#if defined(__SSE2__)
// The four channels of a pixel, one in each 16-bit lane of the low half.
inline __m128i Widen(quint32 p) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), _mm_setzero_si128());
}

// Mix on widened pixels: a in the low half, b in the high half, weighted by
// the lanes of `weights` (keep in the low half, weight in the high half).
// Each product and their sum stay below 2^16.
inline __m128i MixWide(__m128i a, __m128i b, __m128i weights) {
    const __m128i products = _mm_mullo_epi16(_mm_unpacklo_epi64(a, b), weights);
    return _mm_srli_epi16(_mm_add_epi16(products, _mm_unpackhi_epi64(products, products)), 8);
}

struct WideWeights {
    __m128i lanes;
};

inline WideWeights Weights(quint32 weight) {
    const auto keep = static_cast<short>(256u - weight), w = static_cast<short>(weight);
    return {_mm_set_epi16(w, w, w, w, keep, keep, keep, keep)};
}
#endif

// Shrinks an opaque RGB32 source into a 32-bit target with bilinear
// smoothing, as Qt's smooth drawing does, without the painter Qt would set
// up for it: the dock icon shrinks the window's picture every second.
void ShrinkOpaque(QImage& target, const QRect& visible, const QImage& source, const QRect& region,
                  const std::function<double(double)>& toSourceX, const std::function<double(double)>& toSourceY) {
    const std::vector<Tap> columns = Taps(visible.width(), visible.left(), region.left(), region.right(), toSourceX);
    const std::vector<Tap> rows = Taps(visible.height(), visible.top(), region.top(), region.bottom(), toSourceY);
#if defined(__SSE2__)
    // The same sums as Mix, the four channels at once.
    std::vector<WideWeights> columnWeights;
    columnWeights.reserve(columns.size());
    for (const Tap& column : columns) columnWeights.push_back(Weights(column.weight));
#endif
    for (int v = 0; v < visible.height(); ++v) {
        const Tap& row = rows[static_cast<size_t>(v)];
        const auto* upper = reinterpret_cast<const quint32*>(source.constScanLine(row.first));
        const auto* lower = reinterpret_cast<const quint32*>(source.constScanLine(row.second));
        auto* out = reinterpret_cast<quint32*>(target.scanLine(visible.top() + v)) + visible.left();
#if defined(__SSE2__)
        const __m128i rowWeights = Weights(row.weight).lanes;
        for (size_t u = 0; u < columns.size(); ++u) {
            const Tap& column = columns[u];
            const __m128i top =
                MixWide(Widen(upper[column.first]), Widen(upper[column.second]), columnWeights[u].lanes);
            const __m128i bottom =
                MixWide(Widen(lower[column.first]), Widen(lower[column.second]), columnWeights[u].lanes);
            const __m128i mixed = MixWide(top, bottom, rowWeights);
            *out++ = static_cast<quint32>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, mixed)));
        }
#else
        for (const Tap& column : columns) {
            const quint32 top = Mix(upper[column.first], upper[column.second], column.weight);
            const quint32 bottom = Mix(lower[column.first], lower[column.second], column.weight);
            *out++ = Mix(top, bottom, row.weight);
        }
#endif
    }
}

// Drawing black into a picture that is still all black changes nothing.
bool StaysBlack(const detail::GraphicsTarget& target, Color c) {
    return c.Integer() == 0 && detail::StillBlack(target.Data());
}

// The recording of a picture that has room for one more fill, else null.
detail::Recording* RecordingWithRoom(PictureData& data) {
    if (!data.recording || data.recording->Full()) return nullptr;
    return &*data.recording;
}

}  // namespace

Graphics::Graphics(std::unique_ptr<detail::GraphicsTarget> target) : mTarget(std::move(target)) {}

Graphics::~Graphics() = default;

Int32 Graphics::Width() const { return mTarget->Owner().Width(); }
Int32 Graphics::Height() const { return mTarget->Owner().Height(); }

void Graphics::FillRect(Int32 x, Int32 y, Int32 width, Int32 height) {
    if (StaysBlack(*mTarget, mForeColor)) return;
    if (detail::Recording* recording = RecordingWithRoom(mTarget->Data())) {
        recording->FillRect(x, y, width, height, detail::EncodePixel(QImage::Format_RGB32, mForeColor.Integer()));
        return;
    }
    QImage& image = mTarget->Image();
    Fill(image, x, y, width, height, detail::EncodePixel(image.format(), mForeColor.Integer()));
}

void Graphics::DrawRect(Int32 x, Int32 y, Int32 width, Int32 height) {
    if (width <= 0 || height <= 0 || StaysBlack(*mTarget, mForeColor)) return;
    QImage& image = mTarget->Image();
    const quint32 c = detail::EncodePixel(image.format(), mForeColor.Integer());
    const Int64 right = Int64{x} + width - 1, bottom = Int64{y} + height - 1;
    Fill(image, x, y, width, 1, c);
    if (height > 1) Fill(image, x, bottom, width, 1, c);
    if (height > 2) {
        Fill(image, x, Int64{y} + 1, 1, height - 2, c);
        if (width > 1) Fill(image, right, Int64{y} + 1, 1, height - 2, c);
    }
}

void Graphics::DrawLine(Int32 x1, Int32 y1, Int32 x2, Int32 y2) {
    if (StaysBlack(*mTarget, mForeColor)) return;
    QImage& image = mTarget->Image();
    const quint32 c = detail::EncodePixel(image.format(), mForeColor.Integer());
    const Int64 dx = Int64{x2} - x1, dy = Int64{y2} - y1;
    if (dy == 0) {
        Fill(image, std::min(x1, x2), y1, std::abs(dx) + 1, 1, c);
        return;
    }
    if (dx == 0) {
        Fill(image, x1, std::min(y1, y2), 1, std::abs(dy) + 1, c);
        return;
    }
    // Walk the longer axis from the end with the smaller coordinate on it, so a
    // line and its reverse cover the same pixels; only the steps that land
    // inside the picture are visited, however long the line is.
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    Int64 a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
    Int64 da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    if (da < 0) {
        a1 += da;
        b1 += db;
        da = -da;
        db = -db;
    }
    const Int64 majorSize = xMajor ? image.width() : image.height();
    const Int64 minorSize = xMajor ? image.height() : image.width();
    const Int64 first = std::max<Int64>(0, -a1), last = std::min<Int64>(da, majorSize - 1 - a1);
    for (Int64 i = first; i <= last; ++i) {
        // b1 + i * db / da rounded half up, exactly.
        const Wide num = Wide{2} * i * db + da, den = Wide{2} * da;
        Wide q = num / den;
        if (num % den != 0 && num < 0) --q;
        const Int64 b = b1 + static_cast<Int64>(q);
        if (b < 0 || b >= minorSize) continue;
        const Int64 a = a1 + i;
        if (xMajor)
            detail::StorePixel(image, static_cast<int>(a), static_cast<int>(b), c);
        else
            detail::StorePixel(image, static_cast<int>(b), static_cast<int>(a), c);
    }
}

void Graphics::ClearRect(Int32 x, Int32 y, Int32 width, Int32 height) {
    QImage& image = mTarget->Image();
    const quint32 clear = mTarget->Data().hasAlpha ? 0u : detail::EncodePixel(image.format(), 0xFFFFFFu);
    Fill(image, x, y, width, height, clear);
}

Color Graphics::Pixel(Int32 x, Int32 y) const { return Color(detail::ReadPixel(mTarget->Data(), x, y)); }

void Graphics::Pixel(Int32 x, Int32 y, Color c) { detail::WritePixel(mTarget->Data(), x, y, c.Integer()); }

void Graphics::FillRoundRect(Int32 x, Int32 y, Int32 width, Int32 height, Int32 ovalWidth, Int32 ovalHeight) {
    if (width <= 0 || height <= 0) return;
    if (ovalWidth <= 0 || ovalHeight <= 0) {
        FillRect(x, y, width, height);
        return;
    }
    if (StaysBlack(*mTarget, mForeColor)) return;
    detail::RecordedShape shape{x, y, width, height, ovalWidth, ovalHeight, 0};
    if (detail::Recording* recording = RecordingWithRoom(mTarget->Data())) {
        shape.encoded = detail::EncodePixel(QImage::Format_RGB32, mForeColor.Integer());
        recording->FillRoundRect(shape);
        return;
    }
    QImage& image = mTarget->Image();
    shape.encoded = detail::EncodePixel(image.format(), mForeColor.Integer());
    detail::FillRoundRectClipped(image, shape);
}

void Graphics::DrawPicture(const Ref<Picture>& picture, Int32 x, Int32 y, Int32 destWidth, Int32 destHeight,
                           Int32 sourceX, Int32 sourceY, Int32 sourceWidth, Int32 sourceHeight) {
    if (!picture) return;
    PictureData& source = picture->Data();
    // First, so that a picture drawn into itself has its pixels made by now.
    QImage& target = mTarget->Image();
    // A picture still all black without a mask of its own (as masks are)
    // draws as black, without making its image.
    const bool sourceBlack = detail::StillBlack(source) && (!source.mask || detail::StillBlack(source.mask->Data()));
    const QSize sourceSize(picture->Width(), picture->Height());
    const auto fillBlack = [&target](const QRect& r) {
        detail::FillEncoded(target, r.x(), r.y(), r.width(), r.height(), detail::EncodePixel(target.format(), 0));
    };

    const Int64 dw = destWidth == kOwnSize ? sourceSize.width() : destWidth;
    const Int64 dh = destHeight == kOwnSize ? sourceSize.height() : destHeight;
    const Int64 sw = sourceWidth == kOwnSize ? sourceSize.width() : sourceWidth;
    const Int64 sh = sourceHeight == kOwnSize ? sourceSize.height() : sourceHeight;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;

    const QRect inSource = Clip(sourceSize, sourceX, sourceY, sw, sh);
    if (inSource.isEmpty()) return;

    if (dw == sw && dh == sh) {
        const Int64 ox = Int64{x} - sourceX, oy = Int64{y} - sourceY;
        const QRect visible =
            Clip(target.size(), inSource.x() + ox, inSource.y() + oy, inSource.width(), inSource.height());
        if (visible.isEmpty()) return;
        if (sourceBlack) {
            fillBlack(visible);
            return;
        }
        const QRect region = visible.translated(static_cast<int>(-ox), static_cast<int>(-oy));
        // Held here so that drawing a picture into itself reads the pixels as they were.
        const QImage sourceImage = detail::Pixels(source);
        const bool opaque = Opaque(source, region);
        const bool words =
            target.format() == QImage::Format_RGB32 || target.format() == QImage::Format_ARGB32_Premultiplied;
        if (opaque && words && sourceImage.format() == QImage::Format_RGB32) {
            for (int j = 0; j < visible.height(); ++j)
                std::memcpy(reinterpret_cast<quint32*>(target.scanLine(visible.y() + j)) + visible.x(),
                            reinterpret_cast<const quint32*>(sourceImage.constScanLine(region.y() + j)) + region.x(),
                            static_cast<size_t>(visible.width()) * 4);
            return;
        }
        Composite(target, visible.topLeft(), SourceRegion(source, region, opaque), opaque);
        return;
    }

    // Scaled: destination X stands for source sourceX + (X - x) / fx.
    const double fx = static_cast<double>(dw) / static_cast<double>(sw);
    const double fy = static_cast<double>(dh) / static_cast<double>(sh);
    const auto toDestX = [&](double s) { return x + (s - sourceX) * fx; };
    const auto toDestY = [&](double s) { return y + (s - sourceY) * fy; };
    const auto toSourceX = [&](double d) { return sourceX + (d - x) / fx; };
    const auto toSourceY = [&](double d) { return sourceY + (d - y) / fy; };
    // The destination pixels whose centres fall on the clipped source.
    const int u0 = ClampToInt(std::ceil(toDestX(inSource.left()) - 0.5), 0, target.width());
    const int u1 = ClampToInt(std::ceil(toDestX(inSource.right() + 1.0) - 0.5), 0, target.width());
    const int v0 = ClampToInt(std::ceil(toDestY(inSource.top()) - 0.5), 0, target.height());
    const int v1 = ClampToInt(std::ceil(toDestY(inSource.bottom() + 1.0) - 0.5), 0, target.height());
    if (u0 >= u1 || v0 >= v1) return;
    const QRect visible(u0, v0, u1 - u0, v1 - v0);
    if (sourceBlack) {
        fillBlack(visible);
        return;
    }

    // The source pixels those destination pixels read, with a neighbour on each
    // side for smoothing.
    const int s0 = ClampToInt(std::floor(toSourceX(u0 + 0.5)) - 1, inSource.left(), inSource.right());
    const int s1 = ClampToInt(std::floor(toSourceX(u1 - 0.5)) + 1, inSource.left(), inSource.right());
    const int t0 = ClampToInt(std::floor(toSourceY(v0 + 0.5)) - 1, inSource.top(), inSource.bottom());
    const int t1 = ClampToInt(std::floor(toSourceY(v1 - 0.5)) + 1, inSource.top(), inSource.bottom());
    const QRect region(s0, t0, s1 - s0 + 1, t1 - t0 + 1);
    const bool opaque = Opaque(source, region);

    if (fx <= 1.0 && fy <= 1.0) {
        // Shrinking: smooth, so that thin lines do not vanish between samples.
        const QRectF from = QRectF(QPointF(toSourceX(u0), toSourceY(v0)), QPointF(toSourceX(u1), toSourceY(v1)))
                                .intersected(QRectF(region));
        const bool direct = target.format() != QImage::Format_Indexed8;
        const bool words =
            target.format() == QImage::Format_RGB32 || target.format() == QImage::Format_ARGB32_Premultiplied;
        if (opaque && words && source.recording) {
            const detail::RecordedShrink::Key key{visible.x(),
                                                  visible.y(),
                                                  visible.width(),
                                                  visible.height(),
                                                  region.x(),
                                                  region.y(),
                                                  region.width(),
                                                  region.height(),
                                                  x,
                                                  y,
                                                  dw,
                                                  dh,
                                                  sourceX,
                                                  sourceY,
                                                  sw,
                                                  sh};
            detail::RecordedShrink::Draw(
                target, visible, *source.recording, key, [&](std::vector<Tap>& columns, std::vector<Tap>& rows) {
                    columns = Taps(visible.width(), visible.left(), region.left(), region.right(), toSourceX);
                    rows = Taps(visible.height(), visible.top(), region.top(), region.bottom(), toSourceY);
                });
            return;
        }
        const QImage sourceImage = detail::Pixels(source);
        const bool wholeSource = opaque && sourceImage.format() == QImage::Format_RGB32;
        if (wholeSource && words) {
            ShrinkOpaque(target, visible, sourceImage, region, toSourceX, toSourceY);
            return;
        }
        const QImage layerSource = wholeSource ? sourceImage : SourceRegion(source, region, opaque);
        const QRectF fromInLayer = wholeSource ? from : from.translated(-region.x(), -region.y());
        QImage layer;
        if (!direct) {
            layer = QImage(visible.size(), QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
        }
        {
            QPainter painter(direct ? &target : &layer);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setCompositionMode(opaque ? QPainter::CompositionMode_Source
                                              : QPainter::CompositionMode_SourceOver);
            painter.drawImage(direct ? QRectF(visible) : QRectF(QPointF(0, 0), QSizeF(visible.size())), layerSource,
                              fromInLayer);
        }
        if (!direct) Composite(target, visible.topLeft(), layer, false);
        return;
    }

    // Growing (in either direction): each destination pixel takes the source
    // pixel under its centre.
    detail::Pixels(source);
    const QImage from = SourceRegion(source, region, opaque);
    std::vector<int> columns(static_cast<size_t>(visible.width()));
    for (int u = 0; u < visible.width(); ++u)
        columns[static_cast<size_t>(u)] =
            ClampToInt(std::floor(toSourceX(u0 + u + 0.5)), region.left(), region.right()) - region.left();
    QImage layer(visible.size(), opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    for (int v = 0; v < visible.height(); ++v) {
        const int row = ClampToInt(std::floor(toSourceY(v0 + v + 0.5)), region.top(), region.bottom()) - region.top();
        const auto* src = reinterpret_cast<const quint32*>(from.constScanLine(row));
        auto* dst = reinterpret_cast<quint32*>(layer.scanLine(v));
        for (int u = 0; u < visible.width(); ++u) dst[u] = src[columns[static_cast<size_t>(u)]];
    }
    Composite(target, visible.topLeft(), layer, opaque);
}

}  // namespace kivra::framework
