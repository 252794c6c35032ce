#pragma once

// Framework-internal: the Qt side of a Picture.

#include <QImage>

#include <optional>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/Group2D.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/RGBSurface.h"
#include "framework/drawing/detail/Recording.h"
#include "framework/values/Ref.h"

namespace kivra::framework::detail {

// Where the pixels of an image were when single-pixel access last looked,
// valid while the image's cache key is unchanged (any write through Qt's
// non-const access or a new image changes it).
struct PixelView {
    qint64 key = -1;
    uchar* bits = nullptr;
    qsizetype stride = 0;
    int width = 0, height = 0;
    QImage::Format format = QImage::Format_Invalid;
    bool writable = false;
};

struct PictureData {
    QImage image;
    Int32 depth = 32;
    Ref<Picture> mask;
    Ref<framework::Graphics> graphics;
    Ref<framework::RGBSurface> surface;
    Int32 horizontalResolution = 72;
    Int32 verticalResolution = 72;
    Int32 transparent = 0;
    Ref<Group2D> objects;
    // Pictures with an alpha channel of their own (a canvas's backing): ClearRect
    // makes them transparent.
    bool hasAlpha = false;
    // A new depth-32 picture (white) and a new mask (black) keep their fills
    // here and paint their image only when its pixels are needed (Pixels):
    // until then `image` holds nothing that counts (a picture's untouched
    // memory, or nothing for a mask).
    std::optional<Recording> recording;
    PixelView view;
};

// True while the picture is all black without an image of its own.
inline bool StillBlack(const PictureData& data) {
    return data.recording && data.recording->Uniform() && data.recording->Base() == 0xFF000000u;
}
// The picture's image, made now from what was recorded. Null when there is
// no memory for it; the picture then stays as it was.
QImage& Pixels(PictureData& data);
// The picture holds this image from now on.
void Adopt(PictureData& data, QImage image);

// The picture as it shows: its image with the mask applied as alpha.
QImage DisplayImage(const Picture& picture);
// A picture whose pixels have an alpha channel (for a canvas's backing).
Ref<Picture> NewTransparentPicture(Int32 width, Int32 height);
// A picture holding a copy of the image, at depth 32.
Ref<Picture> PictureFromImage(const QImage& image);

// The fixed palette of depth-8 pictures: a 6 x 6 x 6 colour cube, then greys.
const QList<QRgb>& Palette8();
// The palette entry nearest to the colour; a palette colour gives its own entry.
uchar PaletteIndex(QRgb rgb);

// The raw value that stands for an opaque colour in a picture's image, and
// storing one. Only for the formats pictures use: RGB32,
// ARGB32_Premultiplied, RGB16 and Indexed8.
quint32 EncodePixel(QImage::Format format, QRgb rgb);
void StorePixel(QImage& image, int x, int y, quint32 encoded);

// Single pixels, quick enough for pixel-by-pixel passes. Outside the image a
// read gives opaque black and a write does nothing.
QRgb ReadPixel(PictureData& data, int x, int y);
void WritePixel(PictureData& data, int x, int y, QRgb rgb);

// Fills the rectangle, already clipped to the image, with an encoded value.
void FillEncoded(QImage& image, int x, int y, int width, int height, quint32 encoded);

}  // namespace kivra::framework::detail
