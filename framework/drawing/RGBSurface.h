#pragma once

#include "framework/values/Color.h"
#include "framework/values/Types.h"

namespace kivra::framework {

class Picture;

// Direct pixel access to a picture of depth 16 or more.
class RGBSurface {
public:
    explicit RGBSurface(Picture& picture) : mPicture(picture) {}
    // Pixels outside the picture read as black and ignore writes.
    Color Pixel(Int32 x, Int32 y) const;
    void Pixel(Int32 x, Int32 y, Color c);

private:
    Picture& mPicture;
};

}  // namespace kivra::framework
