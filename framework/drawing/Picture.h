#pragma once

#include <memory>
#include <string>

#include "framework/values/Ref.h"
#include "framework/values/Types.h"

namespace kivra::framework {

class Graphics;
class Group2D;
class RGBSurface;

namespace detail {
struct PictureData;
}

// A bitmap of depth 32, 16 or 8 with an optional mask (a picture of the same
// size; black is opaque, white transparent). A picture draws through its mask.
class Picture : public std::enable_shared_from_this<Picture> {
public:
    // Sides below 1 are taken as 1; depths other than 8 and 16 as 32.
    Picture(Int32 width, Int32 height, Int32 depth);
    ~Picture();

    Int32 Width() const;
    Int32 Height() const;
    Int32 Depth() const;

    Ref<framework::Graphics> Graphics();
    // Nil for depths below 16.
    Ref<framework::RGBSurface> RGBSurface();

    // The mask; with create, one is made (all black: opaque) when there is none.
    Ref<Picture> Mask(bool create = true);
    bool HasMask() const;

    Int32 HorizontalResolution() const;
    void HorizontalResolution(Int32 dpi);
    Int32 VerticalResolution() const;
    void VerticalResolution(Int32 dpi);
    Int32 Transparent() const;
    void Transparent(Int32 value);
    Ref<Group2D> Objects() const;
    void Objects(Ref<Group2D> objects);

    // Reads a picture file by its content (PNG, BMP, ...); Nil when unreadable.
    static Ref<Picture> Open(const std::string& path);

    detail::PictureData& Data() const { return *mData; }

private:
    std::unique_ptr<detail::PictureData> mData;
};

Ref<Picture> NewPicture(Int32 width, Int32 height, Int32 depth);

}  // namespace kivra::framework
