// A new depth-32 picture keeps its fills and makes its pixels only when they
// are needed; shrunk, it is sampled where the shrink reads. Either way every
// pixel must be what painting each fill at once gives.

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/values/Color.h"

namespace kivra::framework {
namespace {

constexpr Int32 kOwn = -10000;

using Drawing = std::function<void(Graphics&, Int32 width, Int32 height)>;

// Squares on a background, like the clock's face, in rows that the shrink
// samples at many different phases.
void Face(Graphics& g, Int32 width, Int32 height) {
    g.ForeColor(Color(0x204060));
    g.FillRect(0, 0, width, height);
    const Int32 side = std::max<Int32>(3, height / 5), gap = std::max<Int32>(1, side / 4);
    Int32 i = 0;
    for (Int32 y = gap; y < height; y += side + gap)
        for (Int32 x = gap; x < width; x += side + gap, ++i) {
            g.ForeColor(Color(static_cast<uint32_t>(0x10A0F0 + 0x2315 * i) & 0xFFFFFFu));
            g.FillRoundRect(x, y, side, side, side / 3 + 1, side / 4 + 1);
        }
}

// Shapes reaching out of the picture, overlapping, degenerate and with ovals
// larger than themselves.
void Overlaps(Graphics& g, Int32 width, Int32 height) {
    g.ForeColor(Color(0xFFFF00));
    g.FillRect(-5, -5, width / 2 + 5, height + 10);
    g.ForeColor(Color(0x00FF00));
    g.FillRoundRect(width / 3, -height / 4, width, height / 2, width, height);
    g.ForeColor(Color(0x0000FF));
    g.FillRoundRect(-width / 4, height / 3, width / 2, height, 7, 3);
    g.ForeColor(Color(0xFF00FF));
    g.FillRect(width / 2, height / 2, 1, 1);
    g.FillRoundRect(1, 1, 0, 5, 2, 2);
    g.FillRoundRect(2, 2, 4, 4, 0, 3);  // no oval: a plain rectangle
    g.ForeColor(Color(0x000000));
    g.FillRect(width - 2, 0, 2, height);
}

// A whole fill after other drawing covers it.
void CoveredAgain(Graphics& g, Int32 width, Int32 height) {
    Face(g, width, height);
    g.ForeColor(Color(0x808080));
    g.FillRect(0, 0, width, height);
    g.ForeColor(Color(0xFF0000));
    g.FillRoundRect(width / 4, height / 4, width / 2, height / 2, 6, 6);
}

// More fills than a recording keeps: the rest are painted.
void ManySquares(Graphics& g, Int32 width, Int32 height) {
    for (Int32 i = 0; i < 400; ++i) {
        g.ForeColor(Color(static_cast<uint32_t>(i * 0x10307) & 0xFFFFFFu));
        g.FillRoundRect((i * 37) % width, (i * 11) % height, 9, 7, 4, 4);
    }
}

struct DrawingCase {
    std::string name;
    Drawing draw;
};

const std::vector<DrawingCase>& Drawings() {
    static const std::vector<DrawingCase> drawings = {
        {"face", Face}, {"overlaps", Overlaps}, {"covered again", CoveredAgain}, {"many squares", ManySquares}};
    return drawings;
}

// The drawing made on a fresh picture, kept, and made on one whose pixels
// exist from the start.
struct Pair {
    Ref<Picture> kept, painted;
};

Pair Draw(const Drawing& draw, Int32 width, Int32 height) {
    Pair pair{NewPicture(width, height, 32), NewPicture(width, height, 32)};
    detail::Pixels(pair.painted->Data());
    draw(*pair.kept->Graphics(), width, height);
    draw(*pair.painted->Graphics(), width, height);
    return pair;
}

QImage ImageOf(const Ref<Picture>& p) { return detail::Pixels(p->Data()).convertToFormat(QImage::Format_RGB32); }

void ExpectSamePixels(const QImage& got, const QImage& expected, const std::string& what) {
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            ASSERT_EQ(got.pixel(x, y), expected.pixel(x, y)) << what << " at " << x << "," << y;
}

TEST(RecordedPicture, ItsPixelsAreThoseOfEachFillPaintedAtOnce) {
    const QSize sizes[] = {{1, 1}, {15, 51}, {37, 13}, {510, 150}, {511, 149}};
    for (const auto& drawing : Drawings())
        for (const QSize& size : sizes) {
            const std::string what =
                drawing.name + " " + std::to_string(size.width()) + "x" + std::to_string(size.height());
            Pair pair = Draw(drawing.draw, size.width(), size.height());
            // Single pixels read without making the pixels of a uniform picture.
            EXPECT_EQ(pair.kept->Graphics()->Pixel(0, 0), pair.painted->Graphics()->Pixel(0, 0)) << what;
            ExpectSamePixels(ImageOf(pair.kept), ImageOf(pair.painted), what);
        }
}

struct ShrinkCase {
    Int32 width, height;                // the source
    Int32 x, y, destWidth, destHeight;  // into a 128 x 128 target
    Int32 sourceX, sourceY, sourceWidth, sourceHeight;
};

TEST(RecordedPicture, ShrunkItGivesThePixelsOfItsPaintedSelf) {
    const ShrinkCase cases[] = {
        {510, 150, 0, 0, 128, 38, 0, 0, 510, 150},  // the clock's icon
        {510, 147, 0, 0, 128, 37, 0, 0, 510, 147},
        {511, 151, 0, 0, 128, 38, 0, 0, 511, 151},
        {150, 510, 0, 0, 38, 128, 0, 0, 150, 510},
        {2040, 600, 0, 0, 128, 38, 0, 0, 2040, 600},
        {3839, 1129, 0, 0, 128, 38, 0, 0, 3839, 1129},
        {300, 300, 0, 0, 128, 128, 0, 0, 300, 300},
        {129, 37, 0, 0, 128, 37, 0, 0, 129, 37},       // barely smaller
        {128, 38, 0, 0, 128, 38, 0, 0, 128, 38},       // not scaled at all
        {510, 150, -20, 45, 128, 38, 0, 0, 510, 150},  // partly outside the target
        {510, 150, 100, 100, 64, 64, 0, 0, 510, 150},
        {510, 150, 3, 7, 90, 20, 33, 17, 400, 101},     // a part of the source
        {510, 150, 0, 0, 128, 38, -50, -10, 600, 170},  // source rectangle beyond the picture
        {510, 150, 0, 0, 5, 1, 0, 0, 510, 150},         // a few pixels
        {15, 51, 0, 0, 37, 128, 0, 0, 15, 51},          // growing: painted first
        {510, 150, 0, 0, 600, 100, 0, 0, 510, 150},     // wider, lower
    };
    for (const auto& drawing : Drawings())
        for (const ShrinkCase& c : cases)
            for (bool tile : {false, true}) {
                const std::string what = drawing.name + " " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                                         " to " + std::to_string(c.destWidth) + "x" + std::to_string(c.destHeight) +
                                         " at " + std::to_string(c.x) + "," + std::to_string(c.y) +
                                         (tile ? " on a transparent tile" : "");
                Pair pair = Draw(drawing.draw, c.width, c.height);
                const auto target = [tile] {
                    return tile ? detail::NewTransparentPicture(128, 128) : NewPicture(128, 128, 32);
                };
                Ref<Picture> fromKept = target(), fromPainted = target();
                fromKept->Graphics()->DrawPicture(pair.kept, c.x, c.y, c.destWidth, c.destHeight, c.sourceX, c.sourceY,
                                                  c.sourceWidth, c.sourceHeight);
                fromPainted->Graphics()->DrawPicture(pair.painted, c.x, c.y, c.destWidth, c.destHeight, c.sourceX,
                                                     c.sourceY, c.sourceWidth, c.sourceHeight);
                const QImage got = detail::Pixels(fromKept->Data()), expected = detail::Pixels(fromPainted->Data());
                ASSERT_EQ(got.format(), expected.format()) << what;
                ExpectSamePixels(got, expected, what);
            }
}

// The clock shrinks the same squares in the same places every second with
// other colours, and now and then one moved or changed its corners.
TEST(RecordedPicture, ShrinkingAgainFollowsNewColoursAndPlaces) {
    struct Step {
        Color background;
        uint32_t colourStep;
        Int32 shift, oval;  // of the last square
    };
    const Step steps[] = {
        {Color(0x204060), 0x2315, 0, 4}, {Color(0x204060), 0x1111, 0, 4}, {Color(0x000000), 0x1111, 0, 4},
        {Color(0x000000), 0x1111, 1, 4}, {Color(0x000000), 0x1111, 1, 5}, {Color(0x204060), 0x2315, 0, 4},
    };
    for (const Step& step : steps) {
        const auto draw = [&step](Graphics& g, Int32 width, Int32 height) {
            g.ForeColor(step.background);
            g.FillRect(0, 0, width, height);
            for (Int32 i = 0; i < 27; ++i) {
                g.ForeColor(Color((0x10A0F0 + step.colourStep * static_cast<uint32_t>(i)) & 0xFFFFFFu));
                const Int32 shift = i == 26 ? step.shift : 0, oval = i == 26 ? step.oval : 4;
                g.FillRoundRect(10 + (i % 9) * 55 + shift, 10 + (i / 9) * 45, 40, 35, oval, oval);
            }
        };
        const std::string what = std::to_string(step.colourStep) + " shift " + std::to_string(step.shift) + " oval " +
                                 std::to_string(step.oval);
        Pair pair = Draw(draw, 510, 150);
        Ref<Picture> fromKept = NewPicture(128, 38, 32), fromPainted = NewPicture(128, 38, 32);
        fromKept->Graphics()->DrawPicture(pair.kept, 0, 0, 128, 38, 0, 0, 510, 150);
        fromPainted->Graphics()->DrawPicture(pair.painted, 0, 0, 128, 38, 0, 0, 510, 150);
        ExpectSamePixels(ImageOf(fromKept), ImageOf(fromPainted), what);
    }
}

TEST(RecordedPicture, AShrinkMakesNoPixelsOfTheSource) {
    // As large as the desktop the clock may fill: its pixels are never made.
    auto p = NewPicture(3840, 2160, 32);
    Face(*p->Graphics(), 3840, 2160);
    p->Mask(true)->Graphics()->ForeColor(Color(0x000000));
    p->Mask(true)->Graphics()->FillRect(0, 0, 3840, 2160);
    auto q = NewPicture(128, 72, 32);
    q->Graphics()->DrawPicture(p, 0, 0, 128, 72, 0, 0, 3840, 2160);
    EXPECT_TRUE(p->Data().recording.has_value());
    EXPECT_TRUE(p->Mask(false)->Data().recording.has_value());
    EXPECT_NE(q->Graphics()->Pixel(64, 36), Color(0xFFFFFF));

    // A mask that lets something through where the shrink reads needs the pixels.
    p->Mask(true)->Graphics()->ForeColor(Color(0xFFFFFF));
    p->Mask(true)->Graphics()->FillRect(0, 0, 1920, 2160);
    q->Graphics()->DrawPicture(p, 0, 0, 128, 72, 0, 0, 3840, 2160);
    EXPECT_FALSE(p->Data().recording.has_value());
}

TEST(RecordedPicture, PixelsWrittenOneByOneJoinWhatWasRecorded) {
    auto p = NewPicture(5, 3, 32);
    auto g = p->Graphics();
    g->ForeColor(Color(0x112233));
    g->FillRect(0, 0, 5, 3);
    g->Pixel(0, 0, Color(0x112233));  // the colour it has: nothing to make
    EXPECT_TRUE(p->Data().recording.has_value());
    g->ForeColor(Color(0xFF0000));
    g->FillRoundRect(1, 0, 3, 3, 2, 2);
    g->Pixel(4, 2, Color(0x00FF00));
    EXPECT_EQ(g->Pixel(4, 2), Color(0x00FF00));
    EXPECT_EQ(g->Pixel(2, 1), Color(0xFF0000));
    EXPECT_EQ(g->Pixel(0, 1), Color(0x112233));
    g->ForeColor(Color(0x0000FF));
    g->FillRect(0, 0, 5, 3);
    EXPECT_EQ(g->Pixel(4, 2), Color(0x0000FF));
}

}  // namespace
}  // namespace kivra::framework
