// Drawing on pictures: the pixel conventions of the shapes, clipping, and
// pictures drawn on pictures, scaled and through their masks.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/RGBSurface.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/values/Color.h"

namespace kivra::framework {
namespace {

constexpr Int32 kMin = std::numeric_limits<Int32>::min();
constexpr Int32 kMax = std::numeric_limits<Int32>::max();
constexpr Int32 kOwn = -10000;

const Color kBlack(0x000000), kWhite(0xFFFFFF), kRed(0xFF0000), kGreen(0x00FF00), kBlue(0x0000FF);

// The picture as rows of '#' (black) and '.' (white); any other colour is '?'.
std::vector<std::string> Art(Picture& p) {
    std::vector<std::string> rows;
    auto g = p.Graphics();
    for (Int32 y = 0; y < p.Height(); ++y) {
        std::string row;
        for (Int32 x = 0; x < p.Width(); ++x) {
            const Color c = g->Pixel(x, y);
            row += c == kBlack ? '#' : c == kWhite ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

struct ShapeCase {
    const char* name;
    void (*draw)(Graphics&);
    std::vector<std::string> expected;  // on a white 6 x 5 picture, in black
};

const ShapeCase kShapes[] = {
    {"FillRect fills width x height from x, y",
     [](Graphics& g) { g.FillRect(1, 1, 3, 2); },
     {"......", ".###..", ".###..", "......", "......"}},
    {"FillRect of 1 x 1 is one pixel",
     [](Graphics& g) { g.FillRect(5, 4, 1, 1); },
     {"......", "......", "......", "......", ".....#"}},
    {"FillRect clipped on every side",
     [](Graphics& g) { g.FillRect(-3, -2, 100, 4); },
     {"######", "######", "......", "......", "......"}},
    {"FillRect with huge sizes does not overflow",
     [](Graphics& g) { g.FillRect(4, 3, kMax, kMax); },
     {"......", "......", "......", "....##", "....##"}},
    {"FillRect from the far left",
     [](Graphics& g) { g.FillRect(kMin, 0, kMax, 1); },
     {"......", "......", "......", "......", "......"}},
    {"FillRect of zero or negative size draws nothing",
     [](Graphics& g) {
         g.FillRect(1, 1, 0, 3);
         g.FillRect(1, 1, 3, 0);
         g.FillRect(1, 1, -2, 3);
         g.FillRect(1, 1, 3, kMin);
     },
     {"......", "......", "......", "......", "......"}},
    {"FillRect outside draws nothing",
     [](Graphics& g) {
         g.FillRect(6, 0, 3, 3);
         g.FillRect(0, -3, 3, 3);
         g.FillRect(kMax, kMax, kMax, kMax);
     },
     {"......", "......", "......", "......", "......"}},
    {"DrawRect outlines the outermost pixels",
     [](Graphics& g) { g.DrawRect(0, 0, 5, 4); },
     {"#####.", "#...#.", "#...#.", "#####.", "......"}},
    {"DrawRect of one row and one column",
     [](Graphics& g) {
         g.DrawRect(0, 0, 4, 1);
         g.DrawRect(5, 1, 1, 4);
     },
     {"####..", ".....#", ".....#", ".....#", ".....#"}},
    {"DrawRect of two rows",
     [](Graphics& g) { g.DrawRect(1, 2, 3, 2); },
     {"......", "......", ".###..", ".###..", "......"}},
    {"DrawRect clipped keeps only the visible edges",
     [](Graphics& g) { g.DrawRect(-1, 2, 4, 10); },
     {"......", "......", "###...", "..#...", "..#..."}},
    {"DrawRect with huge sizes",
     [](Graphics& g) { g.DrawRect(2, 1, kMax, kMax); },
     {"......", "..####", "..#...", "..#...", "..#..."}},
    {"DrawLine includes both end points",
     [](Graphics& g) { g.DrawLine(1, 1, 4, 1); },
     {"......", ".####.", "......", "......", "......"}},
    {"DrawLine of one point",
     [](Graphics& g) { g.DrawLine(2, 3, 2, 3); },
     {"......", "......", "......", "..#...", "......"}},
    {"DrawLine vertical, backwards",
     [](Graphics& g) { g.DrawLine(0, 4, 0, 1); },
     {"......", "#.....", "#.....", "#.....", "#....."}},
    {"DrawLine diagonal",
     [](Graphics& g) { g.DrawLine(0, 0, 4, 4); },
     {"#.....", ".#....", "..#...", "...#..", "....#."}},
    {"DrawLine shallow",
     [](Graphics& g) { g.DrawLine(0, 0, 5, 2); },
     {"##....", "..##..", "....##", "......", "......"}},
    {"DrawLine reversed covers the same pixels",
     [](Graphics& g) { g.DrawLine(5, 2, 0, 0); },
     {"##....", "..##..", "....##", "......", "......"}},
    {"DrawLine steep", [](Graphics& g) { g.DrawLine(1, 0, 3, 4); }, {".#....", "..#...", "..#...", "...#..", "...#.."}},
    {"DrawLine clipped far outside",
     [](Graphics& g) { g.DrawLine(-1000000000, -1000000000, 1000000000, 1000000000); },
     {"#.....", ".#....", "..#...", "...#..", "....#."}},
    {"DrawLine across the whole Int32 range",
     [](Graphics& g) { g.DrawLine(kMin, 2, kMax, 2); },
     {"......", "......", "######", "......", "......"}},
    {"DrawLine with extreme slope",
     [](Graphics& g) { g.DrawLine(kMin, kMin, kMax, kMax); },
     {"#.....", ".#....", "..#...", "...#..", "....#."}},
    {"FillRoundRect cuts the corners",
     [](Graphics& g) { g.FillRoundRect(0, 0, 6, 5, 4, 4); },
     {".####.", "######", "######", "######", ".####."}},
    {"FillRoundRect without oval is a rectangle",
     [](Graphics& g) { g.FillRoundRect(1, 1, 3, 3, 0, 5); },
     {"......", ".###..", ".###..", ".###..", "......"}},
    {"FillRoundRect with an oval larger than itself",
     [](Graphics& g) { g.FillRoundRect(0, 0, 5, 5, 50, 50); },
     {".###.", "#####", "#####", "#####", ".###."}},
    {"FillRoundRect clipped",
     [](Graphics& g) { g.FillRoundRect(-3, -3, 6, 6, 4, 4); },
     {"###...", "###...", "##....", "......", "......"}},
    {"FillRoundRect of zero size",
     [](Graphics& g) { g.FillRoundRect(1, 1, 0, 4, 2, 2); },
     {"......", "......", "......", "......", "......"}},
};

TEST(Drawing, ShapesFollowThePixelConventions) {
    for (const auto& c : kShapes) {
        const Int32 width = static_cast<Int32>(c.expected[0].size());
        auto p = NewPicture(width, 5, 32);
        auto g = p->Graphics();
        g->ForeColor(kBlack);
        c.draw(*g);
        EXPECT_EQ(Art(*p), c.expected) << c.name;
    }
}

TEST(Drawing, ShapesLandTheSameOnEveryDepth) {
    for (const auto& c : kShapes) {
        const Int32 width = static_cast<Int32>(c.expected[0].size());
        for (Int32 depth : {8, 16}) {
            auto p = NewPicture(width, 5, depth);
            auto g = p->Graphics();
            g->ForeColor(kBlack);
            c.draw(*g);
            EXPECT_EQ(Art(*p), c.expected) << c.name << " at depth " << depth;
        }
    }
}

TEST(Drawing, ClearRectMakesOpaquePicturesWhite) {
    for (Int32 depth : {8, 16, 32}) {
        auto p = NewPicture(4, 2, depth);
        auto g = p->Graphics();
        g->ForeColor(kBlack);
        g->FillRect(0, 0, 4, 2);
        g->ClearRect(1, 0, 2, 5);
        EXPECT_EQ(Art(*p), (std::vector<std::string>{"#..#", "#..#"})) << depth;
    }
}

TEST(Drawing, ForeColorIsUsedAsSet) {
    auto p = NewPicture(2, 1, 32);
    auto g = p->Graphics();
    EXPECT_EQ(g->ForeColor(), kBlack);
    g->ForeColor(Color(0x123456));
    g->FillRect(0, 0, 1, 1);
    g->ForeColor(kRed);
    g->DrawLine(1, 0, 1, 0);
    EXPECT_EQ(g->Pixel(0, 0), Color(0x123456));
    EXPECT_EQ(g->Pixel(1, 0), kRed);
    EXPECT_EQ(g->Width(), 2);
    EXPECT_EQ(g->Height(), 1);
}

// A source of depth 32 whose pixel (x, y) is 0x0000xy (for small x, y).
Ref<Picture> Numbered(Int32 width, Int32 height) {
    auto p = NewPicture(width, height, 32);
    auto g = p->Graphics();
    for (Int32 y = 0; y < height; ++y)
        for (Int32 x = 0; x < width; ++x) g->Pixel(x, y, Color(static_cast<std::uint32_t>(0x100 + x * 16 + y)));
    return p;
}

Color NumberAt(Int32 x, Int32 y) { return Color(static_cast<std::uint32_t>(0x100 + x * 16 + y)); }

TEST(Drawing, FillingTheWholePictureAgainAfterAnyOtherDrawingFillsIt) {
    // A second fill of the whole picture with the colour it was filled with
    // may be left out only while nothing else has drawn into it since.
    struct Case {
        const char* name;
        void (*draw)(Picture& p);
    } cases[] = {
        {"pixel", [](Picture& p) { p.Graphics()->Pixel(1, 0, kRed); }},
        {"surface pixel",
         [](Picture& p) {
             if (auto surface = p.RGBSurface()) surface->Pixel(2, 1, kRed);  // depth 32 only
         }},
        {"line", [](Picture& p) { p.Graphics()->DrawLine(0, 0, 3, 1); }},
        {"part filled", [](Picture& p) { p.Graphics()->FillRect(1, 1, 2, 1); }},
        {"whole filled in another colour", [](Picture& p) { p.Graphics()->FillRect(0, 0, 4, 2); }},
        {"cleared", [](Picture& p) { p.Graphics()->ClearRect(0, 0, 2, 2); }},
        {"picture drawn on it", [](Picture& p) { p.Graphics()->DrawPicture(Numbered(2, 2), 1, 0); }},
    };
    for (Int32 depth : {8, 16, 32})
        for (const auto& c : cases) {
            auto p = NewPicture(4, 2, depth);
            auto g = p->Graphics();
            g->ForeColor(kBlue);
            g->FillRect(0, 0, 4, 2);
            g->ForeColor(kRed);
            c.draw(*p);
            g->ForeColor(kBlue);
            g->FillRect(-1, -1, 10, 10);
            for (Int32 y = 0; y < 2; ++y)
                for (Int32 x = 0; x < 4; ++x)
                    EXPECT_EQ(g->Pixel(x, y), g->Pixel(0, 0))
                        << c.name << ", depth " << depth << " at " << x << "," << y;
            EXPECT_NE(g->Pixel(0, 0), kRed) << c.name << ", depth " << depth;
        }
}

struct PlaceCase {
    const char* name;
    Int32 x, y, dw, dh, sx, sy, sw, sh;
    // Where the source's (0, 0) lands; the copied area in the target.
    Int32 offsetX, offsetY, left, top, right, bottom;  // inclusive-exclusive
};

TEST(DrawPicture, UnscaledLandsWhereAskedAndIsClipped) {
    // Source 4 x 3 onto a white 6 x 5 target.
    const PlaceCase cases[] = {
        {"own size at the corner", 0, 0, kOwn, kOwn, 0, 0, kOwn, kOwn, 0, 0, 0, 0, 4, 3},
        {"own size moved", 2, 1, kOwn, kOwn, 0, 0, kOwn, kOwn, 2, 1, 2, 1, 6, 4},
        {"explicit sizes equal to the source", 1, 2, 4, 3, 0, 0, 4, 3, 1, 2, 1, 2, 5, 5},
        {"clipped by the target's right and bottom", 4, 3, kOwn, kOwn, 0, 0, kOwn, kOwn, 4, 3, 4, 3, 6, 5},
        {"clipped by the target's left and top", -2, -1, kOwn, kOwn, 0, 0, kOwn, kOwn, -2, -1, 0, 0, 2, 2},
        {"part of the source", 0, 0, 2, 2, 1, 1, 2, 2, -1, -1, 0, 0, 2, 2},
        {"source rectangle partly outside the source", 3, 3, 4, 4, -2, -2, 4, 4, 5, 5, 5, 5, 6, 5},
        {"source rectangle past the source's end", 0, 0, 5, 5, 2, 1, 5, 5, -2, -1, 0, 0, 2, 2},
    };
    for (const auto& c : cases) {
        auto target = NewPicture(6, 5, 32);
        target->Graphics()->DrawPicture(Numbered(4, 3), c.x, c.y, c.dw, c.dh, c.sx, c.sy, c.sw, c.sh);
        auto g = target->Graphics();
        for (Int32 y = 0; y < 5; ++y) {
            for (Int32 x = 0; x < 6; ++x) {
                const bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                const Color expected = inside ? NumberAt(x - c.offsetX, y - c.offsetY) : kWhite;
                EXPECT_EQ(g->Pixel(x, y), expected) << c.name << " at " << x << "," << y;
            }
        }
    }
}

TEST(DrawPicture, DegenerateRectanglesAndNilDrawNothing) {
    struct Args {
        Int32 x, y, dw, dh, sx, sy, sw, sh;
    };
    // clang-format off
    const Args cases[] = {
        {0, 0, 0, 3, 0, 0, 4, 3},          {0, 0, 4, 0, 0, 0, 4, 3},          {0, 0, 4, 3, 0, 0, 0, 3},
        {0, 0, 4, 3, 0, 0, 4, -1},         {0, 0, -4, 3, 0, 0, 4, 3},         {0, 0, kOwn, kOwn, 4, 0, kOwn, kOwn},
        {0, 0, kOwn, kOwn, 0, -3, 4, 3},   {6, 0, kOwn, kOwn, 0, 0, kOwn, kOwn}, {-4, 0, kOwn, kOwn, 0, 0, kOwn, kOwn},
        {kMin, kMin, kMax, kMax, kMax, kMax, kMax, kMax}, {0, 0, kMax, kMax, kMin, kMin, 1, 1},
        {kMax, kMax, kOwn, kOwn, 0, 0, kOwn, kOwn},
        {0, 0, 5, 5, kMax, kMax, kMax, kMax},
    };
    // clang-format on
    for (const auto& a : cases) {
        auto target = NewPicture(6, 5, 32);
        target->Graphics()->DrawPicture(Numbered(4, 3), a.x, a.y, a.dw, a.dh, a.sx, a.sy, a.sw, a.sh);
        EXPECT_EQ(Art(*target), (std::vector<std::string>(5, "......")))
            << a.x << " " << a.y << " " << a.dw << " " << a.dh << " " << a.sx << " " << a.sy << " " << a.sw << " "
            << a.sh;
    }
    auto target = NewPicture(2, 2, 32);
    target->Graphics()->DrawPicture(nullptr, 0, 0);
    EXPECT_EQ(Art(*target), (std::vector<std::string>(2, "..")));
}

TEST(DrawPicture, HugeScalesStayWithinBothPictures) {
    struct Args {
        Int32 x, y, dw, dh, sx, sy, sw, sh;
    };
    const Args cases[] = {
        {0, 0, kMax, kMax, 0, 0, 1, 1},       {kMin, kMin, kMax, kMax, 0, 0, 4, 3}, {-5, -5, kMax, 3, 0, 0, kMax, 3},
        {0, 0, 1, 1, kMin, kMin, kMax, kMax}, {3, 2, 1000000, 1, 0, 0, 1, 1000000}, {0, 0, 2, 2, 0, 0, kMax, kMax},
    };
    for (const auto& a : cases) {
        auto target = NewPicture(6, 5, 32);
        target->Graphics()->DrawPicture(Numbered(4, 3), a.x, a.y, a.dw, a.dh, a.sx, a.sy, a.sw, a.sh);
        // Whatever lands, lands inside the target; nothing is read from outside the source.
        for (Int32 y = 0; y < 5; ++y)
            for (Int32 x = 0; x < 6; ++x) {
                const Color c = target->Graphics()->Pixel(x, y);
                EXPECT_TRUE(c == kWhite || (c.Integer() >= 0x100 && c.Integer() < 0x100 + 4 * 16))
                    << std::hex << c.Integer();
            }
    }
    // A 1 x 1 source blown up over everything.
    auto target = NewPicture(6, 5, 32);
    auto one = NewPicture(1, 1, 32);
    one->Graphics()->Pixel(0, 0, kRed);
    target->Graphics()->DrawPicture(one, -1000, -1000, kMax, kMax, 0, 0, 1, 1);
    EXPECT_EQ(target->Graphics()->Pixel(5, 4), kRed);
    EXPECT_EQ(target->Graphics()->Pixel(0, 0), kRed);
}

TEST(DrawPicture, GrowingRepeatsEachSourcePixel) {
    auto source = NewPicture(2, 2, 32);
    auto s = source->Graphics();
    s->Pixel(0, 0, kRed);
    s->Pixel(1, 0, kGreen);
    s->Pixel(0, 1, kBlue);
    s->Pixel(1, 1, kBlack);
    auto target = NewPicture(6, 6, 32);
    target->Graphics()->DrawPicture(source, 1, 1, 4, 4, 0, 0, 2, 2);
    auto g = target->Graphics();
    const Color expected[6][6] = {
        {kWhite, kWhite, kWhite, kWhite, kWhite, kWhite}, {kWhite, kRed, kRed, kGreen, kGreen, kWhite},
        {kWhite, kRed, kRed, kGreen, kGreen, kWhite},     {kWhite, kBlue, kBlue, kBlack, kBlack, kWhite},
        {kWhite, kBlue, kBlue, kBlack, kBlack, kWhite},   {kWhite, kWhite, kWhite, kWhite, kWhite, kWhite},
    };
    for (Int32 y = 0; y < 6; ++y)
        for (Int32 x = 0; x < 6; ++x) EXPECT_EQ(g->Pixel(x, y), expected[y][x]) << x << "," << y;
}

TEST(DrawPicture, ShrinkingKeepsUniformAreasExact) {
    // Blocks of 4 x 4 halved become blocks of 2 x 2 of the same colours.
    auto source = NewPicture(8, 8, 32);
    auto s = source->Graphics();
    const Color colours[2][2] = {{kRed, kGreen}, {kBlue, Color(0x804020)}};
    for (Int32 by = 0; by < 2; ++by)
        for (Int32 bx = 0; bx < 2; ++bx) {
            s->ForeColor(colours[by][bx]);
            s->FillRect(bx * 4, by * 4, 4, 4);
        }
    for (Int32 depth : {32, 16, 8}) {
        auto target = NewPicture(6, 6, depth);
        target->Graphics()->DrawPicture(source, 1, 1, 4, 4, 0, 0, 8, 8);
        auto g = target->Graphics();
        auto expect = [&](Int32 x, Int32 y, Color c) {
            auto reference = NewPicture(1, 1, depth);
            reference->Graphics()->Pixel(0, 0, c);
            EXPECT_EQ(g->Pixel(x, y), reference->Graphics()->Pixel(0, 0)) << depth << " at " << x << "," << y;
        };
        for (Int32 y = 0; y < 6; ++y)
            for (Int32 x = 0; x < 6; ++x) {
                if (x == 0 || y == 0 || x == 5 || y == 5)
                    expect(x, y, kWhite);
                else
                    expect(x, y, colours[(y - 1) / 2][(x - 1) / 2]);
            }
    }
}

TEST(DrawPicture, ShrinkingMixesEachChannelOfTheFourNeighbours) {
    // Halving puts each target pixel's centre between four source pixels, so
    // it takes each channel's mean of the four, the pair on each row first.
    const Color grid[2][4] = {{Color(0xFF0000), Color(0x00FF00), Color(0x0000FF), Color(0xFFFFFF)},
                              {Color(0x102030), Color(0xF0E0D0), Color(0x808080), Color(0x000000)}};
    auto source = NewPicture(4, 2, 32);
    for (Int32 y = 0; y < 2; ++y)
        for (Int32 x = 0; x < 4; ++x) source->Graphics()->Pixel(x, y, grid[y][x]);
    auto target = NewPicture(2, 1, 32);
    target->Graphics()->DrawPicture(source, 0, 0, 2, 1, 0, 0, 4, 2);
    for (Int32 u = 0; u < 2; ++u) {
        const auto channel = [&](Int32 shift) {
            const auto at = [&](Int32 y, Int32 x) { return (grid[y][x].Integer() >> shift) & 0xFF; };
            const auto half = [](Int32 a, Int32 b) { return (a * 128 + b * 128) >> 8; };
            return half(half(at(0, 2 * u), at(0, 2 * u + 1)), half(at(1, 2 * u), at(1, 2 * u + 1)));
        };
        const Color expected = RGB(channel(16), channel(8), channel(0));
        EXPECT_EQ(target->Graphics()->Pixel(u, 0), expected) << u;
    }
}

TEST(DrawPicture, ShrinkingTheWholeFaceFillsTheWholeTarget) {
    auto source = NewPicture(510, 150, 32);
    source->Graphics()->ForeColor(Color(0x336699));
    source->Graphics()->FillRect(0, 0, 510, 150);
    source->Mask(true);
    auto target = NewPicture(128, 38, 32);
    target->Graphics()->DrawPicture(source, 0, 0, 128, 38, 0, 0, 510, 150);
    for (Int32 y = 0; y < 38; ++y)
        for (Int32 x = 0; x < 128; ++x) ASSERT_EQ(target->Graphics()->Pixel(x, y), Color(0x336699)) << x << "," << y;
}

TEST(DrawPicture, DrawsThroughTheSourcesMask) {
    for (Int32 targetDepth : {32, 16, 8}) {
        auto source = NewPicture(3, 1, 32);
        source->Graphics()->ForeColor(kBlack);
        source->Graphics()->FillRect(0, 0, 3, 1);
        auto mask = source->Mask(true)->Graphics();
        mask->Pixel(1, 0, kWhite);           // transparent
        mask->Pixel(2, 0, Color(0x808080));  // half
        auto target = NewPicture(3, 1, targetDepth);
        target->Graphics()->DrawPicture(source, 0, 0);
        auto g = target->Graphics();
        EXPECT_EQ(g->Pixel(0, 0), kBlack) << targetDepth;
        EXPECT_EQ(g->Pixel(1, 0), kWhite) << targetDepth;
        const Color half = g->Pixel(2, 0);
        const int tolerance = targetDepth == 8 ? 12 : 8;
        EXPECT_NEAR(half.Red(), 127, tolerance) << targetDepth;
        EXPECT_NEAR(half.Green(), 127, tolerance) << targetDepth;
        EXPECT_NEAR(half.Blue(), 127, tolerance) << targetDepth;
    }
}

TEST(DrawPicture, MaskAppliesWhenScaledToo) {
    auto source = NewPicture(4, 2, 32);
    source->Graphics()->ForeColor(kRed);
    source->Graphics()->FillRect(0, 0, 4, 2);
    source->Mask(true)->Graphics()->ForeColor(kWhite);
    source->Mask(true)->Graphics()->FillRect(2, 0, 2, 2);  // right half hidden
    for (bool grow : {false, true}) {
        auto target = NewPicture(8, 4, 32);
        if (grow)
            target->Graphics()->DrawPicture(source, 0, 0, 8, 4, 0, 0, 4, 2);
        else
            target->Graphics()->DrawPicture(source, 0, 0, 2, 1, 0, 0, 4, 2);
        auto g = target->Graphics();
        if (grow) {
            EXPECT_EQ(g->Pixel(0, 0), kRed);
            EXPECT_EQ(g->Pixel(3, 3), kRed);
            EXPECT_EQ(g->Pixel(4, 0), kWhite);
            EXPECT_EQ(g->Pixel(7, 3), kWhite);
        } else {
            EXPECT_EQ(g->Pixel(0, 0), kRed);
            EXPECT_EQ(g->Pixel(1, 0), kWhite);
        }
    }
}

TEST(DrawPicture, MaskDrawnNowIsTheMaskThatCounts) {
    auto source = NewPicture(2, 1, 32);
    source->Graphics()->ForeColor(kGreen);
    source->Graphics()->FillRect(0, 0, 2, 1);
    auto target = NewPicture(2, 1, 32);
    source->Mask(true)->Graphics()->Pixel(0, 0, kWhite);
    target->Graphics()->DrawPicture(source, 0, 0);
    EXPECT_EQ(target->Graphics()->Pixel(0, 0), kWhite);
    EXPECT_EQ(target->Graphics()->Pixel(1, 0), kGreen);
    // Drawing into the mask through the mask's own Graphics takes effect at once.
    source->Mask(true)->Graphics()->Pixel(0, 0, kBlack);
    target->Graphics()->DrawPicture(source, 0, 0);
    EXPECT_EQ(target->Graphics()->Pixel(0, 0), kGreen);
}

TEST(DrawPicture, EveryDepthDrawsOnEveryDepth) {
    for (Int32 from : {8, 16, 32}) {
        for (Int32 to : {8, 16, 32}) {
            auto source = NewPicture(2, 1, from);
            source->Graphics()->Pixel(0, 0, kRed);
            source->Graphics()->Pixel(1, 0, kBlue);
            auto target = NewPicture(3, 1, to);
            target->Graphics()->DrawPicture(source, 1, 0);
            EXPECT_EQ(target->Graphics()->Pixel(0, 0), kWhite) << from << "->" << to;
            EXPECT_EQ(target->Graphics()->Pixel(1, 0), kRed) << from << "->" << to;
            EXPECT_EQ(target->Graphics()->Pixel(2, 0), kBlue) << from << "->" << to;
        }
    }
}

TEST(DrawPicture, IntoItselfReadsThePixelsAsTheyWere) {
    auto p = Numbered(4, 1);
    p->Graphics()->DrawPicture(p, 1, 0);
    auto g = p->Graphics();
    EXPECT_EQ(g->Pixel(0, 0), NumberAt(0, 0));
    EXPECT_EQ(g->Pixel(1, 0), NumberAt(0, 0));
    EXPECT_EQ(g->Pixel(2, 0), NumberAt(1, 0));
    EXPECT_EQ(g->Pixel(3, 0), NumberAt(2, 0));
}

TEST(DrawPicture, OnATransparentPictureTheMaskBecomesAlpha) {
    auto source = NewPicture(3, 1, 32);
    source->Graphics()->ForeColor(kBlue);
    source->Graphics()->FillRect(0, 0, 3, 1);
    source->Mask(true)->Graphics()->Pixel(1, 0, kWhite);
    source->Mask(true)->Graphics()->Pixel(2, 0, Color(0x808080));
    auto target = detail::NewTransparentPicture(3, 1);
    target->Graphics()->DrawPicture(source, 0, 0);
    const QImage shown = detail::DisplayImage(*target);
    EXPECT_EQ(shown.pixel(0, 0), qRgba(0, 0, 255, 255));
    EXPECT_EQ(qAlpha(shown.pixel(1, 0)), 0);
    EXPECT_NEAR(qAlpha(shown.pixel(2, 0)), 127, 2);
    EXPECT_NEAR(qBlue(qUnpremultiply(shown.pixel(2, 0))), 255, 3);

    // And a transparent picture drawn on an opaque one lets the target show through.
    auto opaque = NewPicture(3, 1, 32);
    opaque->Graphics()->ForeColor(kRed);
    opaque->Graphics()->FillRect(0, 0, 3, 1);
    opaque->Graphics()->DrawPicture(target, 0, 0);
    EXPECT_EQ(opaque->Graphics()->Pixel(0, 0), kBlue);
    EXPECT_EQ(opaque->Graphics()->Pixel(1, 0), kRed);
}

}  // namespace
}  // namespace kivra::framework
