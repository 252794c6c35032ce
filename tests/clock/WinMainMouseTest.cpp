#include "clock/ClockTestFixture.h"

#include <QCursor>

#include "clock/FaceGeometry.h"

#include "framework/ui/detail/WindowWidget.h"

namespace kivra {
namespace {

using framework::Int32ToVariant;
namespace testing = framework::testing;
using testing::Button;

class WinMainMouse : public ClockTestFixture {
protected:
    void SetUp() override {
        ClockTestFixture::SetUp();
        OpenClock();
        ASSERT_EQ(win->Left(), 10);
        ASSERT_EQ(win->Top(), 40);
    }
    void ExpectFrame(int left, int top, int width, int height) {
        EXPECT_EQ(win->Left(), left);
        EXPECT_EQ(win->Top(), top);
        EXPECT_EQ(win->Width(), width);
        EXPECT_EQ(win->Height(), height);
    }
    void AltKey(bool down) { testing::SetModifiers(testing::Modifiers{down, false, false}); }
};

TEST_F(WinMainMouse, DragMovesTheWindowByTheMouseOnTheScreen) {
    testing::Press(*win, 100, 50);
    // The event positions are window coordinates, which shift as the window moves.
    testing::Move(*win, 107, 47);
    ExpectFrame(17, 37, 510, 150);
    testing::Move(*win, 100, 50);  // the same screen point: nothing moves
    ExpectFrame(17, 37, 510, 150);
    testing::Move(*win, 110, 60);
    ExpectFrame(27, 47, 510, 150);
    testing::Release(*win, 110, 60);
    ExpectFrame(27, 47, 510, 150);
}

TEST_F(WinMainMouse, ContextualPressIsDeclinedAndChangesNothing) {
    testing::Press(*win, 100, 50);
    // A right press in the grip while the drag is held: had it been taken, the
    // next step would resize from the grip's position.
    testing::ScriptContextMenu("");
    testing::Press(*win, 505, 145, Button::Right);
    EXPECT_EQ(testing::LastContextMenu().size(), 16u);
    testing::Move(*win, 107, 47);
    ExpectFrame(17, 37, 510, 150);
}

TEST_F(WinMainMouse, GripDragResizesOnlyAndReleaseKeepsNearProportions) {
    testing::Press(*win, 500, 140);
    testing::Move(*win, 520, 150);
    ExpectFrame(10, 40, 530, 160);
    EXPECT_EQ(Square(0)->Width(), framework::ToInt32(3.0 * win->GetBaseUnit()));
    testing::Move(*win, -1000, -1000);
    ExpectFrame(10, 40, 51, 15);
    testing::Move(*win, 560, 150);
    ExpectFrame(10, 40, 51 + 1560, 15 + 1150);
    testing::Release(*win, 560, 150);
    // 1611 x 1165 is far off 51 : 15 and is cut to the face at its base unit.
    ExpectFrame(10, 40, 1611, 474);
}

TEST_F(WinMainMouse, ReleaseCorrectsTheProportions) {
    win->Width(1000);
    testing::Press(*win, 100, 50);
    testing::Release(*win, 100, 50);
    ExpectFrame(10, 40, 510, 150);

    win->Width(530);
    testing::Press(*win, 100, 50);
    testing::Release(*win, 100, 50);
    ExpectFrame(10, 40, 530, 150);
}

TEST_F(WinMainMouse, RotationFromAnEditedFileIsTakenInQuarterTurns) {
    const struct { int stored, turns; } cases[] = {{7, 3}, {-1, 3}, {5, 1}, {-6, 2}, {4, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "Rotation " << c.stored);
        const bool turned = c.turns % 2 == 1;
        const int width = turned ? 150 : 510, height = turned ? 510 : 150;
        Restart();
        WriteSettings({{"Rotation", Int32ToVariant(c.turns)},
                       {"WinMain.Width", Int32ToVariant(width)},
                       {"WinMain.Height", Int32ToVariant(height)}});
        OpenClock();
        const auto inRange = FaceColors();
        std::vector<std::array<int, 2>> places;
        for (int i = 0; i < 27; ++i) places.push_back({Square(i)->Left(), Square(i)->Top()});

        Restart();
        WriteSettings({{"Rotation", Int32ToVariant(c.stored)},
                       {"WinMain.Width", Int32ToVariant(width)},
                       {"WinMain.Height", Int32ToVariant(height)}});
        OpenClock();
        for (int i = 0; i < 27; ++i) {
            EXPECT_EQ(Square(i)->Left(), places[i][0]) << "square " << i;
            EXPECT_EQ(Square(i)->Top(), places[i][1]) << "square " << i;
        }

        // The grip resizes and the wheel zooms, as at that rotation.
        testing::Press(*win, width - 5, height - 5);
        testing::Move(*win, width + 25, height + 95);
        testing::Release(*win, width + 25, height + 95);
        EXPECT_GT(win->Width(), width);
        EXPECT_GT(win->Height(), height);
        const int resizedWidth = win->Width();
        AltKey(true);
        testing::Wheel(*win, 20, 20, 0, 1);
        AltKey(false);
        EXPECT_LT(win->Width(), resizedWidth);

        Restart();
        EXPECT_EQ(Setting("Rotation"), std::to_string(c.turns));
    }
}

TEST_F(WinMainMouse, PointerShowsTheGrip) {
    testing::Move(*win, 495, 135);
    EXPECT_EQ(win->Widget().cursor().shape(), Qt::SizeFDiagCursor);
    testing::Move(*win, 100, 50);
    EXPECT_EQ(win->Widget().cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WinMainMouse, WheelZoomsOnlyWithAlt) {
    AltKey(false);
    EXPECT_FALSE(win->Event_MouseWheel(100, 50, 0, -1));
    testing::Wheel(*win, 100, 50, 0, -1);
    ExpectFrame(10, 40, 510, 150);

    AltKey(true);
    // Sideways only: consumed, nothing changes.
    EXPECT_TRUE(win->Event_MouseWheel(100, 50, 4, 0));
    ExpectFrame(10, 40, 510, 150);

    // One step adds a tenth (51.00000000000004 x 15.000000000000014 before conversion).
    testing::Wheel(*win, 100, 50, 0, -1);
    ExpectFrame(10, 40, 561, 165);
    win->Width(510);
    win->Height(150);
    EXPECT_TRUE(win->Event_MouseWheel(100, 50, 0, -3));
    ExpectFrame(10, 40, 561, 165);

    // Away again: 1/1.1 of the size, about the top-left corner.
    testing::Wheel(*win, 100, 50, 0, 1);
    ExpectFrame(10, 40, 510, 150);
    testing::Wheel(*win, 100, 50, 0, 120);
    ExpectFrame(10, 40, 464, 136);
}

TEST_F(WinMainMouse, ZoomStopsAtTheDesktopInTheFacesProportions) {
    // The test desktop is 3840 x 2160.
    AltKey(true);
    for (int step = 0; step < 40; ++step) testing::Wheel(*win, 10, 10, 0, -1);
    ExpectFrame(0, 40, 3840, 1132);  // wholly on the desktop
    EXPECT_FALSE(FaceGeometry::IsOffProportion(win->Width(), win->Height(), 0));

    ChooseFromContextMenu("Rotate");
    for (int step = 0; step < 40; ++step) testing::Wheel(*win, 10, 10, 0, -1);
    ExpectFrame(0, 0, 637, 2160);
    EXPECT_FALSE(FaceGeometry::IsOffProportion(win->Width(), win->Height(), 1));
}

TEST_F(WinMainMouse, ZoomStopsAtTheLeastFace) {
    AltKey(true);
    for (int step = 0; step < 60; ++step) testing::Wheel(*win, 10, 10, 0, 1);
    ExpectFrame(10, 40, 51, 15);
    EXPECT_EQ(Square(26)->Width(), 3);
}

}  // namespace
}  // namespace kivra
