#include "clock/ClockTestFixture.h"

#include "clock/SecTimer.h"
#include "clock/sq.h"
#include "framework/ui/Window.h"

namespace kivra {
namespace {

using framework::Color;
using framework::ColorToVariant;
namespace testing = framework::testing;

class WinMainLifecycle : public ClockTestFixture {};

TEST_F(WinMainLifecycle, OpensShowingFiveThirtyFiveInTheColoursRead) {
    struct Case {
        Color bg, h0, m1, m0, off;
    };
    const Case cases[] = {
        {Color{0x000000}, Color{0x00FF00}, Color{0x0055FF}, Color{0xFF0000}, Color{0x7F7F7F}},
        {Color{0x101010}, Color{0x202020}, Color{0x303030}, Color{0x404040}, Color{0x505050}},
    };
    for (const auto& c : cases) {
        WriteSettings({{"ColorBG", ColorToVariant(c.bg)},
                       {"ColorH0", ColorToVariant(c.h0)},
                       {"ColorM1", ColorToVariant(c.m1)},
                       {"ColorM0", ColorToVariant(c.m0)},
                       {"ColorOff", ColorToVariant(c.off)}});
        OpenClock();
        EXPECT_EQ(win->BackColor(), c.bg);
        for (int i = 0; i < 27; ++i) {
            Color expected = c.off;
            if (i == 3 || (i >= 6 && i <= 9)) expected = c.h0;
            if (i >= 12 && i <= 14) expected = c.m1;
            if (i >= 18 && i % 2 == 0) expected = c.m0;
            EXPECT_EQ(Square(i)->FillColor(), expected) << "square " << i;
        }
        Restart();
    }
}

TEST_F(WinMainLifecycle, BuildsItsTimerAndTwentySevenSquares) {
    OpenClock();
    const auto timer = win->ControlByName("SecTimer").As<SecTimer>();
    ASSERT_FALSE(timer.IsNil());
    EXPECT_EQ(timer->Mode(), 2);
    EXPECT_EQ(timer->Period(), 1000);
    EXPECT_EQ(timer->Window().get(), win.get());
    EXPECT_EQ(timer->GetIndex(), framework::Control::kNoIndex);
    for (int i = 0; i < 27; ++i) {
        const auto square = win->ControlByNameIndex("sq", i).As<sq>();
        ASSERT_FALSE(square.IsNil()) << i;
        EXPECT_EQ(square->Index(), i);
        EXPECT_EQ(square->Name(), "sq");
        EXPECT_EQ(square->BorderWidth(), 0);
    }
    EXPECT_TRUE(win->ControlByNameIndex("sq", 27).IsNil());
    EXPECT_EQ(win->Title(), "Kivra");
    EXPECT_EQ(win->Frame(), 4);
    EXPECT_EQ(win->MinWidth(), 51);
    EXPECT_EQ(win->MinHeight(), 15);
}

TEST_F(WinMainLifecycle, SquareMadeAtRunTimeStandsInForSquareZero) {
    OpenClock();
    const auto extra = win->New<sq>();
    extra->Constructor();
    EXPECT_EQ(extra->Name(), "sq");
    EXPECT_EQ(extra->Index(), 0);
    EXPECT_EQ(extra->Left(), 20);
    EXPECT_EQ(extra->Top(), 20);
    EXPECT_EQ(extra->Width(), 30);
    EXPECT_EQ(extra->FillColor(), Color{0x808080});
}

TEST_F(WinMainLifecycle, AccessorGivesTheOneOpenWindow) {
    OpenClock();
    EXPECT_EQ(WinMain::Instance().get(), win.get());
    EXPECT_EQ(framework::OpenWindows().size(), 1u);

    Restart();
    EXPECT_TRUE(framework::GetImplicitWindow("WinMain.WinMain").IsNil());
    OpenClock();
    EXPECT_NE(win.get(), nullptr);
    EXPECT_EQ(framework::OpenWindows().size(), 1u);
}

TEST_F(WinMainLifecycle, CloseWritesTheSettingsAndQuits) {
    OpenClock();
    win->Width(600);
    win->Close();
    EXPECT_TRUE(testing::QuitRequested());
    EXPECT_EQ(testing::QuitCode(), 0);
    EXPECT_EQ(Setting("WinMain.Width"), "600");
    EXPECT_FALSE(win->IsOpen());
}

TEST_F(WinMainLifecycle, ResizeLaysTheSquaresOutAgain) {
    OpenClock();
    win->Width(1020);
    win->Height(300);
    EXPECT_EQ(Square(26)->Left(), 920);
    EXPECT_EQ(Square(26)->Top(), 200);
    EXPECT_EQ(Square(26)->Width(), 60);
    EXPECT_EQ(Square(26)->OvalWidth(), 12);
}

}  // namespace
}  // namespace kivra
