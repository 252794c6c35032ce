// The picture turns: where every pixel of the image and of the mask lands, what
// the result carries along, and that the source is left as it was.

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "clock/GraphicUtils.h"
#include "framework/drawing/Graphics.h"
#include "framework/drawing/Group2D.h"
#include "framework/drawing/Picture.h"
#include "framework/values/Color.h"
#include "framework/values/NilObjectException.h"

namespace kivra {
namespace {

namespace fw = framework;
using fw::Color;
using fw::Int32;
using fw::Picture;
using fw::Ref;

// Pixels row by row, read through Graphics.
using Pixels = std::vector<Color>;

Pixels Read(Picture& p) {
    Pixels pixels;
    auto g = p.Graphics();
    for (Int32 y = 0; y < p.Height(); ++y)
        for (Int32 x = 0; x < p.Width(); ++x) pixels.push_back(g->Pixel(x, y));
    return pixels;
}

Color At(const Pixels& pixels, Int32 width, Int32 x, Int32 y) { return pixels[static_cast<size_t>(y * width + x)]; }

struct Shape {
    const char* name;
    Int32 width, height;
};

// clang-format off
const Shape kShapes[] = {
    {"1x1", 1, 1}, {"one row", 5, 1}, {"one column", 1, 4}, {"odd x odd", 5, 3},
    {"even x even", 4, 2}, {"wide", 6, 3}, {"tall", 3, 7},
};
// clang-format on

struct Case {
    Shape shape;
    Int32 depth;
    bool masked;
};

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const auto& shape : kShapes)
        for (Int32 depth : {8, 16, 32})
            for (bool masked : {false, true}) cases.push_back({shape, depth, masked});
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name = info.param.shape.name;
    for (char& c : name)
        if (c == ' ') c = '_';
    return name + "_depth" + std::to_string(info.param.depth) + (info.param.masked ? "_masked" : "");
}

class Turns : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        const Case& c = GetParam();
        W = c.shape.width;
        H = c.shape.height;
        source = fw::NewPicture(W, H, c.depth);
        auto g = source->Graphics();
        // Distinct colours every depth keeps apart: steps of 51 in each channel.
        for (Int32 i = 0; i < W * H; ++i) {
            const std::uint32_t r = static_cast<std::uint32_t>(i % 6) * 51,
                                gr = static_cast<std::uint32_t>(i / 6 % 6) * 51,
                                b = static_cast<std::uint32_t>(5 - i / 36) * 51;
            g->Pixel(i % W, i / W, Color((r << 16) | (gr << 8) | b));
        }
        if (c.masked) {
            auto m = source->Mask(true)->Graphics();
            for (Int32 i = 0; i < W * H; ++i)
                m->Pixel(i % W, i / W, Color(static_cast<std::uint32_t>(0x010203 * (i + 1))));
        }
        image = Read(*source);
        if (c.masked) mask = Read(*source->Mask(true));
    }

    // The source's pixels and mask as they were, and no mask made on it.
    void ExpectSourceUnchanged() const {
        EXPECT_EQ(Read(*source), image);
        EXPECT_EQ(source->HasMask(), GetParam().masked);
        if (GetParam().masked) {
            EXPECT_EQ(Read(*source->Mask(true)), mask);
        }
    }

    // The result has the source's pixels moved by `place`, in the image and the mask.
    template <typename Place>
    void ExpectMoved(const Ref<Picture>& result, Int32 resultWidth, Place place) const {
        const Pixels got = Read(*result);
        for (Int32 y = 0; y < H; ++y)
            for (Int32 x = 0; x < W; ++x) {
                const auto [rx, ry] = place(x, y);
                EXPECT_EQ(At(got, resultWidth, rx, ry), At(image, W, x, y)) << "image " << x << "," << y;
            }
        ASSERT_EQ(result->HasMask(), GetParam().masked);
        if (!GetParam().masked) return;
        const Pixels gotMask = Read(*result->Mask(false));
        for (Int32 y = 0; y < H; ++y)
            for (Int32 x = 0; x < W; ++x) {
                const auto [rx, ry] = place(x, y);
                EXPECT_EQ(At(gotMask, resultWidth, rx, ry), At(mask, W, x, y)) << "mask " << x << "," << y;
            }
    }

    Int32 W = 0, H = 0;
    Ref<Picture> source;
    Pixels image, mask;
};

TEST_P(Turns, ClockwiseQuarterTurn) {
    auto result = GraphicUtils::Rotate90(source, false);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Width(), H);
    EXPECT_EQ(result->Height(), W);
    EXPECT_EQ(result->Depth(), GetParam().depth);
    ExpectMoved(result, H, [&](Int32 x, Int32 y) { return std::pair{H - 1 - y, x}; });
    ExpectSourceUnchanged();
}

TEST_P(Turns, CounterClockwiseQuarterTurn) {
    auto result = GraphicUtils::Rotate90(source, true);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Width(), H);
    EXPECT_EQ(result->Height(), W);
    EXPECT_EQ(result->Depth(), GetParam().depth);
    ExpectMoved(result, H, [&](Int32 x, Int32 y) { return std::pair{y, W - 1 - x}; });
    ExpectSourceUnchanged();
}

TEST_P(Turns, HalfTurn) {
    auto result = GraphicUtils::Rotate180(source);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Width(), W);
    EXPECT_EQ(result->Height(), H);
    EXPECT_EQ(result->Depth(), GetParam().depth);
    ExpectMoved(result, W, [&](Int32 x, Int32 y) { return std::pair{W - 1 - x, H - 1 - y}; });
    ExpectSourceUnchanged();
}

TEST_P(Turns, ClockwiseThenCounterClockwiseGivesTheSourceBack) {
    auto back = GraphicUtils::Rotate90(GraphicUtils::Rotate90(source, false), true);
    ExpectMoved(back, W, [](Int32 x, Int32 y) { return std::pair{x, y}; });
}

TEST_P(Turns, TwoClockwiseQuarterTurnsAreAHalfTurn) {
    auto twice = GraphicUtils::Rotate90(GraphicUtils::Rotate90(source, false), false);
    auto half = GraphicUtils::Rotate180(source);
    EXPECT_EQ(Read(*twice), Read(*half));
    ASSERT_EQ(twice->HasMask(), half->HasMask());
    if (half->HasMask()) {
        EXPECT_EQ(Read(*twice->Mask(false)), Read(*half->Mask(false)));
    }
}

TEST_P(Turns, CopyCarriesPixelsMaskAndSettings) {
    auto objects = std::make_shared<fw::Group2D>();
    source->Objects(objects);
    source->HorizontalResolution(96);
    source->VerticalResolution(300);
    source->Transparent(1);
    for (bool force : {false, true}) {
        auto copy = GraphicUtils::detail::Copy(source, force);
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->Depth(), force ? 32 : GetParam().depth);
        EXPECT_EQ(copy->Width(), W);
        EXPECT_EQ(copy->Height(), H);
        ExpectMoved(copy, W, [](Int32 x, Int32 y) { return std::pair{x, y}; });
        EXPECT_EQ(copy->HasMask(), GetParam().masked);
        EXPECT_EQ(copy->Objects().get(), objects.get());
        EXPECT_EQ(copy->HorizontalResolution(), 96);
        EXPECT_EQ(copy->VerticalResolution(), 300);
        EXPECT_EQ(copy->Transparent(), 1);
        ExpectSourceUnchanged();
    }
}

INSTANTIATE_TEST_SUITE_P(GraphicUtils, Turns, ::testing::ValuesIn(AllCases()), CaseName);

TEST(GraphicUtils, CornersLandWhereTheTurnTakesThem) {
    auto p = fw::NewPicture(3, 2, 32);
    auto g = p->Graphics();
    const Color topLeft(0xFF0000), topRight(0x00FF00), bottomLeft(0x0000FF);
    g->Pixel(0, 0, topLeft);
    g->Pixel(2, 0, topRight);
    g->Pixel(0, 1, bottomLeft);

    auto cw = GraphicUtils::Rotate90(p, false)->Graphics();  // 2 x 3
    EXPECT_EQ(cw->Pixel(1, 0), topLeft);                     // top-right corner
    EXPECT_EQ(cw->Pixel(1, 2), topRight);                    // bottom-right corner
    EXPECT_EQ(cw->Pixel(0, 0), bottomLeft);

    auto ccw = GraphicUtils::Rotate90(p, true)->Graphics();
    EXPECT_EQ(ccw->Pixel(0, 2), topLeft);  // bottom-left corner
    EXPECT_EQ(ccw->Pixel(0, 0), topRight);
    EXPECT_EQ(ccw->Pixel(1, 2), bottomLeft);
}

TEST(GraphicUtils, QuarterTurnSwapsResolutionsAndDropsObjects) {
    auto p = fw::NewPicture(4, 2, 16);
    p->HorizontalResolution(96);
    p->VerticalResolution(300);
    p->Transparent(1);
    p->Objects(std::make_shared<fw::Group2D>());
    for (bool ccw : {false, true}) {
        auto result = GraphicUtils::Rotate90(p, ccw);
        EXPECT_EQ(result->HorizontalResolution(), 300);
        EXPECT_EQ(result->VerticalResolution(), 96);
        EXPECT_EQ(result->Transparent(), 1);
        EXPECT_FALSE(result->Objects());
    }
}

TEST(GraphicUtils, HalfTurnKeepsResolutionsAndSharesObjects) {
    auto p = fw::NewPicture(4, 2, 8);
    auto objects = std::make_shared<fw::Group2D>();
    p->HorizontalResolution(96);
    p->VerticalResolution(300);
    p->Transparent(1);
    p->Objects(objects);
    auto result = GraphicUtils::Rotate180(p);
    EXPECT_EQ(result->HorizontalResolution(), 96);
    EXPECT_EQ(result->VerticalResolution(), 300);
    EXPECT_EQ(result->Transparent(), 1);
    EXPECT_EQ(result->Objects().get(), objects.get());
}

TEST(GraphicUtils, CopyTakesImagePixelsAlsoWhereTheMaskHidesThem) {
    auto p = fw::NewPicture(2, 1, 32);
    p->Graphics()->Pixel(0, 0, Color(0x123456));
    p->Graphics()->Pixel(1, 0, Color(0x654321));
    p->Mask(true)->Graphics()->ForeColor(Color(0xFFFFFF));
    p->Mask(true)->Graphics()->FillRect(0, 0, 1, 1);
    p->Mask(true)->Graphics()->Pixel(1, 0, Color(0x808080));
    auto copy = GraphicUtils::detail::Copy(p, false);
    EXPECT_EQ(copy->Graphics()->Pixel(0, 0), Color(0x123456));
    EXPECT_EQ(copy->Graphics()->Pixel(1, 0), Color(0x654321));
    EXPECT_EQ(copy->Mask(false)->Graphics()->Pixel(0, 0), Color(0xFFFFFF));
    EXPECT_EQ(copy->Mask(false)->Graphics()->Pixel(1, 0), Color(0x808080));
    EXPECT_EQ(p->Mask(false)->Graphics()->Pixel(0, 0), Color(0xFFFFFF));
    EXPECT_EQ(p->Mask(false)->Graphics()->Pixel(1, 0), Color(0x808080));
}

TEST(GraphicUtils, AnUntouchedMaskTurnsToABlackMaskOfTheTurnedSize) {
    auto p = fw::NewPicture(5, 2, 16);
    p->Mask(true);
    for (const auto& result :
         {GraphicUtils::Rotate90(p, false), GraphicUtils::Rotate90(p, true), GraphicUtils::Rotate180(p)}) {
        ASSERT_TRUE(result->HasMask());
        auto mask = result->Mask(false);
        EXPECT_EQ(mask->Width(), result->Width());
        EXPECT_EQ(mask->Height(), result->Height());
        for (const Color c : Read(*mask)) EXPECT_EQ(c, Color(0));
    }
    for (const Color c : Read(*p->Mask(false))) EXPECT_EQ(c, Color(0));
}

TEST(GraphicUtils, HasMaskAsksWithoutMaking) {
    auto p = fw::NewPicture(2, 2, 32);
    EXPECT_FALSE(GraphicUtils::detail::HasMask(p));
    EXPECT_FALSE(p->HasMask());
    p->Mask(true);
    EXPECT_TRUE(GraphicUtils::detail::HasMask(p));
}

TEST(GraphicUtils, NilGivesNil) {
    EXPECT_FALSE(GraphicUtils::Rotate90(nullptr, false));
    EXPECT_FALSE(GraphicUtils::Rotate90(nullptr, true));
    EXPECT_FALSE(GraphicUtils::Rotate180(nullptr));
    EXPECT_FALSE(GraphicUtils::detail::Copy(nullptr, false));
    EXPECT_FALSE(GraphicUtils::detail::Copy(nullptr, true));
}

#if defined(__SANITIZE_ADDRESS__)
#define KIVRA_DATA_LIMIT_WORKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIVRA_DATA_LIMIT_WORKS 0
#endif
#endif
#ifndef KIVRA_DATA_LIMIT_WORKS
#define KIVRA_DATA_LIMIT_WORKS 1
#endif

long DataInUse() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmData:", 0) == 0) return std::stol(line.substr(7)) * 1024;
    return -1;
}

// Takes up the memory the heap already holds in blocks of a megabyte or more,
// so that the next large block has to be mapped afresh and counts against the
// data limit.
void UseUpHeldMemory() {
    long inUse = DataInUse();
    for (;;) {
        static void* volatile block;
        block = std::malloc(1 << 20);
        if (block == nullptr) return;
        const long now = DataInUse();
        if (now != inUse) return;
        inUse = now;
    }
}

// When memory runs out after the source's mask was blackened, the copy cannot
// be made and NilObjectException leaves Copy; the source's mask must still be
// as it was. The child process gets room for the saved mask, not for the copy.
TEST(GraphicUtils, CopyPutsTheMaskBackWhenItFails) {
    if (!KIVRA_DATA_LIMIT_WORKS) GTEST_SKIP() << "a data limit breaks the sanitizer";
    constexpr Int32 side = 2048;
    constexpr long pictureBytes = long{side} * side * 4;
    auto source = fw::NewPicture(side, side, 32);
    auto m = source->Mask(true)->Graphics();
    m->ForeColor(Color(0xFFFFFF));
    m->FillRect(0, 0, side / 2, side);
    m->Pixel(side - 1, side - 1, Color(0x808080));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        UseUpHeldMemory();
        const long inUse = DataInUse();
        if (inUse < 0) _exit(4);
        const rlim_t limit = static_cast<rlim_t>(inUse + pictureBytes + pictureBytes / 2);
        const rlimit room{limit, limit};
        if (setrlimit(RLIMIT_DATA, &room) != 0) _exit(4);
        try {
            GraphicUtils::detail::Copy(source, false);
            _exit(3);  // the copy was made after all: nothing tested
        } catch (const fw::NilObjectException&) {
        }
        auto g = source->Mask(false)->Graphics();
        const bool restored = g->Pixel(0, 0) == Color(0xFFFFFF) &&
                              g->Pixel(side / 2 - 1, side - 1) == Color(0xFFFFFF) &&
                              g->Pixel(side / 2, 0) == Color(0) && g->Pixel(side - 2, side - 1) == Color(0) &&
                              g->Pixel(side - 1, side - 1) == Color(0x808080);
        _exit(restored ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 3) << "the copy did not run out of memory";
    EXPECT_NE(WEXITSTATUS(status), 4) << "could not limit the data size";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the source's mask was left blackened";
}

}  // namespace
}  // namespace kivra
