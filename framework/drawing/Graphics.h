#pragma once

#include <memory>

#include "framework/values/Color.h"
#include "framework/values/Ref.h"
#include "framework/values/Types.h"

namespace kivra::framework {

class Picture;

namespace detail {
class GraphicsTarget;
}

// A drawing surface. FillRect fills width x height pixels from (x, y); DrawRect
// outlines the outermost pixels of that area; DrawLine includes both end points;
// nothing is antialiased.
class Graphics {
public:
    explicit Graphics(std::unique_ptr<detail::GraphicsTarget> target);
    ~Graphics();

    Color ForeColor() const { return mForeColor; }
    void ForeColor(Color c) { mForeColor = c; }
    Int32 Width() const;
    Int32 Height() const;

    void FillRect(Int32 x, Int32 y, Int32 width, Int32 height);
    void DrawRect(Int32 x, Int32 y, Int32 width, Int32 height);
    void DrawLine(Int32 x1, Int32 y1, Int32 x2, Int32 y2);
    // Makes the area transparent where the surface has transparency, else white.
    void ClearRect(Int32 x, Int32 y, Int32 width, Int32 height);
    // Pixels outside the surface read as black and ignore writes.
    Color Pixel(Int32 x, Int32 y) const;
    void Pixel(Int32 x, Int32 y, Color c);
    // Draws the source rectangle of the picture scaled into the destination one,
    // through the picture's mask. kOwnSize as a size means the picture's own.
    // A Nil picture draws nothing.
    static constexpr Int32 kOwnSize = -10000;
    void DrawPicture(const Ref<Picture>& picture, Int32 x, Int32 y, Int32 destWidth = kOwnSize,
                     Int32 destHeight = kOwnSize, Int32 sourceX = 0, Int32 sourceY = 0, Int32 sourceWidth = kOwnSize,
                     Int32 sourceHeight = kOwnSize);
    void FillRoundRect(Int32 x, Int32 y, Int32 width, Int32 height, Int32 ovalWidth, Int32 ovalHeight);

    detail::GraphicsTarget& Target() const { return *mTarget; }

private:
    std::unique_ptr<detail::GraphicsTarget> mTarget;
    Color mForeColor;
};

}  // namespace kivra::framework
