#include "clock/GraphicUtils.h"

#include "framework/drawing/Graphics.h"
#include "framework/drawing/RGBSurface.h"
#include "framework/values/Color.h"
#include "framework/values/Types.h"

namespace kivra::GraphicUtils {

namespace fw = framework;
using fw::Int32;
using fw::Picture;
using fw::Ref;

namespace {

// Runs a pixel pass with one way of reaching pixels for both pictures, chosen
// once from `chooser`: RGBSurface at depth 16 and more when it has one, else
// Graphics. A Nil surface or Graphics raises NilObjectException.
template <typename Pass>
void WithPixelWay(Picture& chooser, Picture& from, Picture& to, Pass pass) {
    if (chooser.Depth() >= 16 && chooser.RGBSurface()) {
        Ref<fw::RGBSurface> read = from.RGBSurface(), write = to.RGBSurface();
        pass(*read, *write);
    } else {
        Ref<fw::Graphics> read = from.Graphics(), write = to.Graphics();
        pass(*read, *write);
    }
}

void QuarterTurn(Picture& chooser, Picture& from, Picture& to, Int32 width, Int32 height, bool counterClockwise) {
    const Int32 maxX = width - 1, maxY = height - 1;
    WithPixelWay(chooser, from, to, [&](auto& read, auto& write) {
        for (Int32 y = 0; y <= maxY; ++y) {
            for (Int32 x = 0; x <= maxX; ++x) {
                if (counterClockwise)
                    write.Pixel(y, maxX - x, read.Pixel(x, y));
                else
                    write.Pixel(maxY - y, x, read.Pixel(x, y));
            }
        }
    });
}

// Turns `picture` a half turn in place: each pair (x, y), (maxX - x, maxY - y)
// is exchanged once; the middle row of an odd height is reversed.
void HalfTurn(Picture& chooser, Picture& picture, Int32 width, Int32 height) {
    const Int32 maxX = width - 1, maxY = height - 1;
    WithPixelWay(chooser, picture, picture, [&](auto& read, auto& write) {
        const auto exchange = [&](Int32 x1, Int32 y1, Int32 x2, Int32 y2) {
            const fw::Color first = read.Pixel(x1, y1);
            const fw::Color second = read.Pixel(x2, y2);
            write.Pixel(x1, y1, second);
            write.Pixel(x2, y2, first);
        };
        for (Int32 y = 0; y <= height / 2 - 1; ++y)
            for (Int32 x = 0; x <= maxX; ++x) exchange(x, y, maxX - x, maxY - y);
        if (height % 2 == 1) {
            const Int32 m = height / 2;
            for (Int32 x = maxX / 2; x >= 0; --x) exchange(x, m, maxX - x, m);
        }
    });
}

// Draws `saved` back into the mask's Graphics when it goes out of scope, so the
// source's mask is whole again also when a step in between throws.
class MaskRestorer {
public:
    MaskRestorer(Ref<fw::Graphics> maskGraphics, Ref<Picture> saved)
        : mGraphics(std::move(maskGraphics)), mSaved(std::move(saved)) {}
    MaskRestorer(const MaskRestorer&) = delete;
    MaskRestorer& operator=(const MaskRestorer&) = delete;
    ~MaskRestorer() {
        try {
            Restore();
        } catch (...) {
            // Restoring draws into an existing picture and cannot fail; a
            // destructor must not throw in any case.
        }
    }

    void Restore() {
        if (!mGraphics) return;
        Ref<fw::Graphics> g = std::move(mGraphics);
        g->DrawPicture(mSaved, 0, 0, fw::Graphics::kOwnSize, fw::Graphics::kOwnSize, 0, 0, fw::Graphics::kOwnSize,
                       fw::Graphics::kOwnSize);
    }

private:
    Ref<fw::Graphics> mGraphics;
    Ref<Picture> mSaved;
};

}  // namespace

namespace detail {

bool HasMask(const Ref<Picture>& picture) { return static_cast<bool>(picture->Mask(false)); }

Ref<Picture> Copy(const Ref<Picture>& source, bool forceDepth32) {
    if (!source) return {};
    const bool masked = HasMask(source);
    const Int32 width = source->Width(), height = source->Height();

    Ref<Picture> saved;
    Ref<fw::Graphics> sourceMaskGraphics;
    if (masked) {
        saved = fw::NewPicture(width, height, 32);
        saved->Graphics()->DrawPicture(source->Mask(true), 0, 0, fw::Graphics::kOwnSize, fw::Graphics::kOwnSize, 0, 0,
                                       fw::Graphics::kOwnSize, fw::Graphics::kOwnSize);
        sourceMaskGraphics = source->Mask(true)->Graphics();
    }
    MaskRestorer restorer(sourceMaskGraphics, saved);
    if (masked) {
        // An all-black mask lets every pixel of the image through, also where
        // the source is transparent.
        Ref<Picture> mask = source->Mask(true);
        sourceMaskGraphics->ForeColor(fw::Color(0));
        sourceMaskGraphics->FillRect(0, 0, mask->Width(), mask->Height());
    }

    Ref<Picture> copy = fw::NewPicture(width, height, forceDepth32 ? 32 : source->Depth());
    copy->Graphics()->DrawPicture(source, 0, 0, fw::Graphics::kOwnSize, fw::Graphics::kOwnSize, 0, 0,
                                  fw::Graphics::kOwnSize, fw::Graphics::kOwnSize);
    if (masked) {
        copy->Mask(true)->Graphics()->DrawPicture(saved, 0, 0, fw::Graphics::kOwnSize, fw::Graphics::kOwnSize, 0, 0,
                                                  fw::Graphics::kOwnSize, fw::Graphics::kOwnSize);
        restorer.Restore();
    }

    copy->HorizontalResolution(source->HorizontalResolution());
    copy->VerticalResolution(source->VerticalResolution());
    copy->Objects(source->Objects());
    copy->Transparent(source->Transparent());
    return copy;
}

}  // namespace detail

Ref<Picture> Rotate180(const Ref<Picture>& source) {
    if (!source) return {};
    Ref<Picture> result = detail::Copy(source, false);
    const Int32 width = source->Width(), height = source->Height();
    HalfTurn(*source, *result, width, height);
    if (detail::HasMask(source)) {
        Ref<Picture> sourceMask = source->Mask(true);
        Ref<Picture> resultMask = result->Mask(true);
        HalfTurn(*sourceMask, *resultMask, width, height);
    }
    result->HorizontalResolution(source->HorizontalResolution());
    result->VerticalResolution(source->VerticalResolution());
    result->Objects(source->Objects());
    result->Transparent(source->Transparent());
    return result;
}

Ref<Picture> Rotate90(const Ref<Picture>& source, bool counterClockwise) {
    if (!source) return {};
    const Int32 width = source->Width(), height = source->Height();
    Ref<Picture> result = fw::NewPicture(height, width, source->Depth());
    QuarterTurn(*source, *source, *result, width, height, counterClockwise);
    if (detail::HasMask(source)) {
        Ref<Picture> sourceMask = source->Mask(true);
        Ref<Picture> resultMask = result->Mask(true);
        QuarterTurn(*sourceMask, *sourceMask, *resultMask, width, height, counterClockwise);
    }
    result->HorizontalResolution(source->VerticalResolution());
    result->VerticalResolution(source->HorizontalResolution());
    result->Transparent(source->Transparent());
    return result;
}

}  // namespace kivra::GraphicUtils
