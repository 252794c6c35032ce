#pragma once

// Framework-internal: what a Graphics draws on.

#include <QImage>

#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"

namespace kivra::framework::detail {

// The picture a Graphics draws into. The picture owns its Graphics, so the
// reference never outlives it.
class GraphicsTarget {
public:
    explicit GraphicsTarget(Picture& picture) : mPicture(picture) {}

    Picture& Owner() const { return mPicture; }
    PictureData& Data() const { return mPicture.Data(); }
    QImage& Image() const { return Pixels(mPicture.Data()); }

private:
    Picture& mPicture;
};

}  // namespace kivra::framework::detail
