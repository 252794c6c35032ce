#include "clock/ClockTestFixture.h"

namespace kivra {
namespace {

using framework::Int32ToVariant;

class WinMainGeometry : public ClockTestFixture {
protected:
    void OpenAt(int width, int height, int dir) {
        WriteSettings({{"WinMain.Width", Int32ToVariant(width)},
                       {"WinMain.Height", Int32ToVariant(height)},
                       {"Rotation", Int32ToVariant(dir)}});
        OpenClock();
        ASSERT_EQ(win->Width(), width);
        ASSERT_EQ(win->Height(), height);
    }
};

struct PlaceCase {
    int width, height, dir;
    int index;  // square: 0 is row 0 column 0, 2 row 2 column 0, 24 row 0 column 11, 26 row 2 column 11
    int left, top, side, oval;
};

TEST_F(WinMainGeometry, LaysTheSquaresOutForSizeAndRotation) {
    const PlaceCase cases[] = {
        {510, 150, 0, 0, 20, 20, 30, 6},
        {510, 150, 0, 26, 460, 100, 30, 6},
        {150, 510, 1, 0, 100, 20, 30, 6},
        {150, 510, 1, 2, 20, 20, 30, 6},
        {510, 150, 2, 0, 460, 100, 30, 6},
        {510, 150, 2, 26, 20, 20, 30, 6},
        {150, 510, 3, 0, 20, 460, 30, 6},
        {150, 510, 3, 2, 100, 460, 30, 6},
        // Spare room: right of the upright face, left of the half-turned one.
        {1000, 150, 0, 24, 460, 20, 30, 6},
        {1000, 150, 2, 24, 510, 100, 30, 6},
        {1000, 150, 2, 0, 950, 100, 30, 6},
        // One pixel per unit.
        {51, 15, 0, 26, 46, 10, 3, 1},
        // A rotation from a hand-edited file counts in quarter turns: 7 and -5 are 3.
        {150, 510, 7, 0, 20, 460, 30, 6},
        {150, 510, -5, 2, 100, 460, 30, 6},
        // Between whole units every value is rounded: u = 560 / 51.
        {560, 165, 0, 13, 285, 66, 33, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " dir " << c.dir << " sq " << c.index);
        OpenAt(c.width, c.height, c.dir);
        const auto q = Square(c.index);
        EXPECT_EQ(q->Left(), c.left);
        EXPECT_EQ(q->Top(), c.top);
        EXPECT_EQ(q->Width(), c.side);
        EXPECT_EQ(q->Height(), c.side);
        EXPECT_EQ(q->OvalWidth(), c.oval);
        EXPECT_EQ(q->OvalHeight(), c.oval);
        Restart();
    }
}

struct GripCase {
    int width, height, dir, x, y;
    bool inside;
};

TEST_F(WinMainGeometry, GripIsTwoUnitsButAtLeastTenPixels) {
    // clang-format off
    const GripCase cases[] = {
        {510, 150, 0, 490, 130, true}, {510, 150, 0, 489, 130, false}, {510, 150, 0, 490, 129, false},
        {510, 150, 0, 509, 149, true}, {150, 510, 1, 130, 490, true},  {150, 510, 3, 129, 490, false},
        {102, 30, 0, 92, 20, true},    {102, 30, 0, 91, 20, false},    {102, 30, 0, 92, 19, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " at " << c.x << "," << c.y);
        OpenAt(c.width, c.height, c.dir);
        EXPECT_EQ(win->IsInLowerRightCorner(c.x, c.y), c.inside);
        Restart();
    }
}

struct RatioCase {
    int width, height, dir;
    int correctedWidth, correctedHeight;
};

TEST_F(WinMainGeometry, CorrectRatioCutsOnlyWindowsMoreThanFivePerCentOff) {
    // clang-format off
    const RatioCase cases[] = {
        {510, 150, 0, 510, 150},   {1000, 150, 0, 510, 150}, {1000, 150, 2, 510, 150},
        {357, 100, 0, 340, 100},   {323, 100, 0, 323, 100},  {322, 100, 0, 322, 95},
        {150, 1000, 1, 150, 510},  {300, 510, 3, 150, 510},  {100, 323, 1, 100, 323},
        {561, 165, 0, 561, 165},   {1000, 123, 0, 418, 123},
        // A rotation from a hand-edited file counts in quarter turns.
        {510, 150, 4, 510, 150},   {150, 1000, 5, 150, 510}, {1000, 150, -2, 510, 150},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " dir " << c.dir);
        OpenAt(c.width, c.height, c.dir);
        Square(0)->Width(1);
        win->CorrectRatio();
        EXPECT_EQ(win->Width(), c.correctedWidth);
        EXPECT_EQ(win->Height(), c.correctedHeight);
        // The squares are laid out again, also when the size stays.
        EXPECT_EQ(Square(0)->Width(), framework::ToInt32(3.0 * win->GetBaseUnit()));
        Restart();
    }
}

struct ResizeCase {
    int width, height, dir, dx, dy;
    int newWidth, newHeight;
};

TEST_F(WinMainGeometry, ResizeWindowAddsDeltasDownToTheFaceAtOnePixelPerUnit) {
    const ResizeCase cases[] = {
        {510, 150, 0, 20, 10, 530, 160},
        {510, 150, 0, -100000, -100000, 51, 15},
        {510, 150, 2, -500, 0, 51, 150},
        {150, 510, 1, -100000, -100000, 15, 51},
        {150, 510, 3, 0, -1000, 150, 51},
        {510, 150, 0, 0, 0, 510, 150},
        // A rotation from a hand-edited file counts in quarter turns.
        {150, 510, 7, 100, 100, 250, 610},
        {150, 510, -1, -100000, -50, 15, 460},
        {510, 150, 6, -100000, 0, 51, 150},
        // Far past any screen: no overflow, and within the 3840 x 2160 desktop.
        {510, 150, 0, 2147483647, 2147483647, 2160, 2160},
        // Past the desktop's edge: cut in the proportion asked for.
        {3570, 1050, 0, 1000, 1000, 3840, 1723},
        {1050, 2100, 1, 100, 100, 1129, 2160},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.width << "x" << c.height << " dir " << c.dir << " by " << c.dx << "," << c.dy);
        OpenAt(c.width, c.height, c.dir);
        win->ResizeWindow(c.dx, c.dy);
        EXPECT_EQ(win->Width(), c.newWidth);
        EXPECT_EQ(win->Height(), c.newHeight);
        Restart();
    }
}

}  // namespace
}  // namespace kivra
