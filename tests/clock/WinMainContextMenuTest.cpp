#include "clock/ClockTestFixture.h"

#include <limits>

#include "framework/app/MenuItem.h"
#include "framework/ui/Window.h"

namespace kivra {
namespace {

using framework::BooleanToVariant;
using framework::Int32ToVariant;
using framework::MenuItem;
namespace testing = framework::testing;

using Counts = std::array<int, 4>;

class WinMainContextMenu : public ClockTestFixture {
protected:
    // The captions that carry a check mark.
    std::vector<std::string> Checked() {
        std::vector<std::string> checked;
        for (const auto& entry : ContextMenu())
            if (entry.checked) checked.push_back(entry.text);
        return checked;
    }
    using Strings = std::vector<std::string>;
};

TEST_F(WinMainContextMenu, HoldsTheSixteenEntriesInOrder) {
    OpenClock();
    const auto entries = ContextMenu();
    const std::vector<std::string> captions = {"About Kivra...",
                                               "-",
                                               "Colors...",
                                               "-",
                                               "Rotate",
                                               "-",
                                               "24hr Mode",
                                               "12hr Mode",
                                               "-",
                                               "Change every Second",
                                               "Change every 4 Seconds",
                                               "Change every Minute",
                                               "-",
                                               "Update Dock Icon",
                                               "-",
                                               "Quit"};
    ASSERT_EQ(entries.size(), captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i) {
        EXPECT_EQ(entries[i].text, captions[i]);
        EXPECT_EQ(entries[i].separator, captions[i] == "-");
    }
}

TEST_F(WinMainContextMenu, CheckMarksFollowTheState) {
    OpenClock();
    EXPECT_EQ(Checked(), (Strings{"12hr Mode", "Change every 4 Seconds", "Update Dock Icon"}));

    ChooseFromContextMenu("24hr Mode");
    ChooseFromContextMenu("Change every Minute");
    ChooseFromContextMenu("Update Dock Icon");
    EXPECT_EQ(Checked(), (Strings{"24hr Mode", "Change every Minute"}));

    ChooseFromContextMenu("Change every Second");
    ChooseFromContextMenu("Update Dock Icon");
    EXPECT_EQ(Checked(), (Strings{"24hr Mode", "Change every Second", "Update Dock Icon"}));

    Restart();
    WriteSettings({{"ChangeMode", Int32ToVariant(3)},
                   {"24HrMode", BooleanToVariant(true)},
                   {"Update Icon", BooleanToVariant(false)}});
    OpenClock();
    EXPECT_EQ(Checked(), (Strings{"24hr Mode"}));
}

TEST_F(WinMainContextMenu, CommandsMatchCaptionsWhateverTheirCase) {
    OpenClock();
    const std::pair<const char*, const char*> cases[] = {
        {"CHANGE EVERY SECOND", "Change every Second"},
        {"change every minute", "Change every Minute"},
        {"Change Every 4 seconds", "Change every 4 Seconds"},
        {"24HR MODE", "24hr Mode"},
    };
    for (const auto& [caption, checkedEntry] : cases) {
        SCOPED_TRACE(caption);
        MenuItem item(caption);
        EXPECT_TRUE(win->Event_ContextualMenuAction(item));
        const auto checked = Checked();
        EXPECT_NE(std::find(checked.begin(), checked.end(), checkedEntry), checked.end());
    }
}

TEST_F(WinMainContextMenu, EntriesWithoutACommandDoNothing) {
    OpenClock();
    const auto before = Checked();
    const int backWrites = testing::BackColorWrites(*win);
    for (const char* caption : {"-", "", "Change every hour", "Rotate "}) {
        MenuItem item(caption);
        EXPECT_TRUE(win->Event_ContextualMenuAction(item));
    }
    EXPECT_EQ(Checked(), before);
    EXPECT_EQ(testing::BackColorWrites(*win), backWrites);
    EXPECT_EQ(win->Width(), 510);
    EXPECT_FALSE(testing::QuitRequested());
}

TEST_F(WinMainContextMenu, ModeSwitchRedrawsForTheNewMode) {
    now.hour = 13;
    now.minute = 5;
    OpenClock();
    ChooseFromContextMenu("24hr Mode");
    EXPECT_EQ(LitCounts(), (Counts{1, 3, 0, 5}));
    ChooseFromContextMenu("12hr Mode");
    EXPECT_EQ(LitCounts(), (Counts{0, 1, 0, 5}));
    // Choosing the mode already set still draws a fresh pattern.
    const int backWrites = testing::BackColorWrites(*win);
    ChooseFromContextMenu("12hr Mode");
    EXPECT_EQ(testing::BackColorWrites(*win), backWrites + 1);
}

TEST_F(WinMainContextMenu, RotateTurnsTheFaceAndSwapsTheSides) {
    OpenClock();
    ChooseFromContextMenu("Rotate");
    EXPECT_EQ(win->Width(), 150);
    EXPECT_EQ(win->Height(), 510);
    EXPECT_EQ(Square(0)->Left(), 100);
    EXPECT_EQ(Square(0)->Top(), 20);
    ChooseFromContextMenu("Rotate");
    EXPECT_EQ(Square(0)->Left(), 460);
    EXPECT_EQ(Square(0)->Top(), 100);
    ChooseFromContextMenu("Rotate");
    ChooseFromContextMenu("Rotate");
    EXPECT_EQ(win->Width(), 510);
    EXPECT_EQ(win->Height(), 150);
    EXPECT_EQ(Square(0)->Left(), 20);
    EXPECT_EQ(Square(0)->Top(), 20);
    Restart();
    EXPECT_EQ(Setting("Rotation"), "0");
}

TEST_F(WinMainContextMenu, TurningAClockWiderThanTheDesktopIsHighCutsItInProportion) {
    // The test desktop is 3840 x 2160: turned, this clock would be 3570 high.
    // It is cut to the desktop's height as a turned face, and turned back it
    // keeps that size.
    WriteSettings({{"WinMain.Width", Int32ToVariant(3570)}, {"WinMain.Height", Int32ToVariant(1050)}});
    OpenClock();
    for (int turn = 1; turn <= 4; ++turn) {
        ChooseFromContextMenu("Rotate");
        EXPECT_EQ(win->Width(), turn % 2 ? 635 : 2160) << turn;
        EXPECT_EQ(win->Height(), turn % 2 ? 2160 : 635) << turn;
        EXPECT_EQ(Square(0)->Width(), 127) << "the face fills the window: " << turn;
    }
    Restart();
    EXPECT_EQ(Setting("WinMain.Width"), "2160");
    EXPECT_EQ(Setting("WinMain.Height"), "635");
}

TEST_F(WinMainContextMenu, RotateBringsAStoredRotationBackIntoRange) {
    struct Case {
        int stored;
        std::array<const char*, 4> turns;
    };
    const Case cases[] = {
        {-6, {"3", "0", "1", "2"}},
        {std::numeric_limits<int>::max(), {"0", "1", "2", "3"}},
        {std::numeric_limits<int>::min(), {"1", "2", "3", "0"}},
        {5, {"2", "3", "0", "1"}},
    };
    for (const auto& c : cases) {
        WriteSettings({{"Rotation", Int32ToVariant(c.stored)}});
        for (const char* expected : c.turns) {
            SCOPED_TRACE(::testing::Message() << "from " << c.stored << " to " << expected);
            OpenClock();
            ChooseFromContextMenu("Rotate");
            Restart();
            EXPECT_EQ(Setting("Rotation"), expected);
        }
    }
}

TEST_F(WinMainContextMenu, RotateOnASquareWindowStillTurnsTheFace) {
    WriteSettings({{"WinMain.Width", Int32ToVariant(300)}, {"WinMain.Height", Int32ToVariant(300)}});
    OpenClock();
    EXPECT_EQ(Square(0)->Left(), 12);
    ChooseFromContextMenu("Rotate");
    EXPECT_EQ(win->Width(), 300);
    EXPECT_EQ(Square(0)->Left(), 59);  // u = 300 / 51, row 0 stands 10 units in
    EXPECT_EQ(Square(0)->Top(), 12);
}

TEST_F(WinMainContextMenu, UpdateDockIconTogglesTheSwitch) {
    OpenClock();
    ChooseFromContextMenu("Update Dock Icon");
    Restart();
    EXPECT_EQ(Setting("Update Icon"), "False");
    OpenClock();
    ChooseFromContextMenu("Update Dock Icon");
    Restart();
    EXPECT_EQ(Setting("Update Icon"), "True");
}

TEST_F(WinMainContextMenu, QuitClosesTheWindowWhichWritesTheSettingsOnce) {
    OpenClock();
    ChooseFromContextMenu("24hr Mode");
    ChooseFromContextMenu("Quit");
    EXPECT_TRUE(testing::QuitRequested());
    EXPECT_EQ(testing::QuitCode(), 0);
    EXPECT_TRUE(framework::GetImplicitWindow("WinMain.WinMain").IsNil());
    EXPECT_EQ(Setting("24HrMode"), "True");

    // Nothing writes them a second time.
    WriteSettings({{"Marker", framework::StringToVariant("kept")}});
    win = nullptr;
    testing::ResetApplication();
    EXPECT_EQ(Setting("Marker"), "kept");
    EXPECT_EQ(Setting("24HrMode"), std::nullopt);
}

}  // namespace
}  // namespace kivra
