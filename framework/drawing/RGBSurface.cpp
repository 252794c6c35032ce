#include "framework/drawing/RGBSurface.h"

#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"

namespace kivra::framework {

Color RGBSurface::Pixel(Int32 x, Int32 y) const { return Color(detail::ReadPixel(mPicture.Data(), x, y)); }

void RGBSurface::Pixel(Int32 x, Int32 y, Color c) { detail::WritePixel(mPicture.Data(), x, y, c.Integer()); }

}  // namespace kivra::framework
