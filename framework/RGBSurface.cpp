#include "framework/RGBSurface.h"

#include "framework/Picture.h"
#include "framework/detail/PictureData.h"

namespace kivra::framework {

Color RGBSurface::Pixel(Int32 x, Int32 y) const {
    const QImage& image = mPicture.Data().image;
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return Color(0);
    return Color(detail::DecodePixel(image, x, y));
}

void RGBSurface::Pixel(Int32 x, Int32 y, Color c) {
    QImage& image = mPicture.Data().image;
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    detail::StorePixel(image, x, y, detail::EncodePixel(image.format(), c.Integer()));
}

}  // namespace kivra::framework
