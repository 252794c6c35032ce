#include "framework/drawing/Picture.h"

#include <QFile>
#include <QImageReader>
#include <QString>

#include <algorithm>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/RGBSurface.h"
#include "framework/drawing/detail/GraphicsTarget.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/drawing/detail/PixelBuffer.h"

namespace kivra::framework {

namespace {

// Far beyond any desktop, well below what would exhaust memory: 1 GiB at depth 32.
constexpr qint64 kMaxPixels = qint64{1} << 28;

QImage::Format FormatForDepth(Int32 depth) {
    switch (depth) {
        case 8:
            return QImage::Format_Indexed8;
        case 16:
            return QImage::Format_RGB16;
        default:
            return QImage::Format_RGB32;
    }
}

// A reference that keeps the picture alive as long as the part of it is held.
template <typename T>
Ref<T> PartOf(Picture& picture, const Ref<T>& part) {
    if (auto self = picture.weak_from_this().lock()) return Ref<T>(std::shared_ptr<T>(self, part.get()));
    return part;
}

}  // namespace

Picture::Picture(Int32 width, Int32 height, Int32 depth) : mData(std::make_unique<detail::PictureData>()) {
    width = std::max<Int32>(width, 1);
    height = std::max<Int32>(height, 1);
    mData->depth = (depth == 8 || depth == 16) ? depth : 32;
    if (qint64{width} * height > kMaxPixels) return;
    const QImage::Format format = FormatForDepth(mData->depth);
    mData->image = detail::NewImage(width, height, format);
    if (mData->image.isNull()) return;
    if (format == QImage::Format_RGB32) {
        // The memory is taken now, so that a picture there is no room for is
        // Nil as before, but not touched until the pixels are made.
        mData->recording.emplace(QSize(width, height), detail::EncodePixel(format, 0xFFFFFFu));
        return;
    }
    if (format == QImage::Format_Indexed8) mData->image.setColorTable(detail::Palette8());
    detail::FillEncoded(mData->image, 0, 0, width, height, detail::EncodePixel(format, 0xFFFFFFu));
}

Picture::~Picture() = default;

Int32 Picture::Width() const { return mData->recording ? mData->recording->Size().width() : mData->image.width(); }
Int32 Picture::Height() const { return mData->recording ? mData->recording->Size().height() : mData->image.height(); }
Int32 Picture::Depth() const { return mData->depth; }

Ref<Graphics> Picture::Graphics() {
    if (!mData->graphics) mData->graphics = New<framework::Graphics>(std::make_unique<detail::GraphicsTarget>(*this));
    return PartOf(*this, mData->graphics);
}

Ref<RGBSurface> Picture::RGBSurface() {
    if (mData->depth < 16) return {};
    if (!mData->surface) mData->surface = New<framework::RGBSurface>(*this);
    return PartOf(*this, mData->surface);
}

Ref<Picture> Picture::Mask(bool create) {
    if (!mData->mask && create) {
        // Most masks stay all black (opaque): they get pixels only when drawn into.
        auto mask = New<Picture>(1, 1, 32);
        mask->Data().image = QImage();
        mask->Data().recording.emplace(QSize(Width(), Height()), 0xFF000000u);
        mData->mask = mask;
    }
    return mData->mask;
}

bool Picture::HasMask() const { return static_cast<bool>(mData->mask); }

Int32 Picture::HorizontalResolution() const { return mData->horizontalResolution; }
void Picture::HorizontalResolution(Int32 dpi) { mData->horizontalResolution = dpi; }
Int32 Picture::VerticalResolution() const { return mData->verticalResolution; }
void Picture::VerticalResolution(Int32 dpi) { mData->verticalResolution = dpi; }
Int32 Picture::Transparent() const { return mData->transparent; }
void Picture::Transparent(Int32 value) { mData->transparent = value; }
Ref<Group2D> Picture::Objects() const { return mData->objects; }
void Picture::Objects(Ref<Group2D> objects) { mData->objects = std::move(objects); }

Ref<Picture> Picture::Open(const std::string& path) {
    if (path.empty()) return {};
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Our bundle pictures keep their historical names (.pct) whatever they hold,
    // so the format comes from the content. BMP and PNG, which Qt reads itself,
    // are told by their first bytes; only other content makes Qt probe its
    // format plugins, each of which stays loaded for the life of the clock.
    const QByteArray head = file.peek(8);
    QByteArray format;
    if (head.startsWith("BM"))
        format = "bmp";
    else if (head.startsWith("\x89PNG\r\n\x1a\n"))
        format = "png";
    QImageReader reader(&file, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    reader.setAutoDetectImageFormat(format.isEmpty());
    QImage image;
    if (!reader.read(&image)) return {};
    return detail::PictureFromImage(image);
}

Ref<Picture> NewPicture(Int32 width, Int32 height, Int32 depth) {
    auto picture = New<Picture>(width, height, depth);
    if (picture->Data().image.isNull()) return {};
    return picture;
}

namespace detail {

Ref<Picture> NewTransparentPicture(Int32 width, Int32 height) {
    auto picture = NewPicture(width, height, 32);
    if (!picture) return {};
    PictureData& data = picture->Data();
    Adopt(data, NewImage(picture->Width(), picture->Height(), QImage::Format_ARGB32_Premultiplied));
    if (data.image.isNull()) return {};
    data.image.fill(Qt::transparent);
    data.hasAlpha = true;
    return picture;
}

Ref<Picture> PictureFromImage(const QImage& image) {
    if (image.isNull() || qint64{image.width()} * image.height() > kMaxPixels) return {};
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    if (converted.isNull()) return {};
    auto picture = New<Picture>(1, 1, 32);
    Adopt(picture->Data(), std::move(converted));
    return picture;
}

QImage DisplayImage(const Picture& picture) {
    PictureData& data = picture.Data();
    Pixels(data);
    if (!data.mask || StillBlack(data.mask->Data()) || Pixels(data.mask->Data()).isNull()) {
        if (data.image.format() == QImage::Format_Indexed8 || data.image.format() == QImage::Format_RGB16)
            return data.image.convertToFormat(QImage::Format_RGB32);
        return data.image;
    }
    QImage shown = data.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage& mask = data.mask->Data().image;
    const int width = std::min(shown.width(), mask.width());
    const int height = std::min(shown.height(), mask.height());
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
        const auto* maskRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const int alpha = 255 - qGray(maskRow[x]);
            const QRgb p = row[x];
            row[x] = qRgba((qRed(p) * alpha + 127) / 255, (qGreen(p) * alpha + 127) / 255,
                           (qBlue(p) * alpha + 127) / 255, (qAlpha(p) * alpha + 127) / 255);
        }
    }
    return shown;
}

}  // namespace detail

}  // namespace kivra::framework
