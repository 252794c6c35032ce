#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "clock/App.h"
#include "clock/WinMain.h"
#include "framework/app/Runtime.h"
#include "framework/testing/Testing.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/StaticText.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/Color.h"
#include "framework/values/Ref.h"
#include "settings/SmartColorWell.h"
#include "settings/winColors.h"

namespace kivra::framework {
inline void PrintTo(Color c, std::ostream* os) { *os << "0x" << std::hex << std::uppercase << c.Integer(); }
}  // namespace kivra::framework

namespace kivra {
namespace {

using framework::Color;
using framework::Int32;
using framework::Ref;
namespace testing = framework::testing;

// The six clock colours in the order the window copies them.
struct Colours {
    Color bg, h0, h1, m0, m1, off;

    static Colours Of(const WinMain& clock) {
        return {clock.ColorBG, clock.ColorH0, clock.ColorH1, clock.ColorM0, clock.ColorM1, clock.ColorOff};
    }
    void WriteTo(WinMain& clock) const {
        clock.ColorBG = bg;
        clock.ColorH0 = h0;
        clock.ColorH1 = h1;
        clock.ColorM0 = m0;
        clock.ColorM1 = m1;
        clock.ColorOff = off;
    }
    friend bool operator==(const Colours&, const Colours&) = default;
    friend void PrintTo(const Colours& c, std::ostream* os) {
        *os << std::hex << "{" << c.bg.Integer() << " " << c.h0.Integer() << " " << c.h1.Integer() << " "
            << c.m0.Integer() << " " << c.m1.Integer() << " " << c.off.Integer() << "}";
    }
};

const Colours kDefaults{Color{0x000000}, Color{0x00FF00}, Color{0xFF0000},
                        Color{0xFF0000}, Color{0x0055FF}, Color{0x7F7F7F}};
const Colours kCustom{Color{0x101112}, Color{0x202122}, Color{0x303132},
                      Color{0x404142}, Color{0x505152}, Color{0x606162}};

class winColorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kivra-colors-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mConfigDir = pattern;
        setenv("XDG_CONFIG_HOME", mConfigDir.c_str(), 1);
        testing::ScriptDialogs(true);
        testing::ScriptSelectColor({});
        testing::SelectColorLog().clear();
        testing::SetTime({2026, 3, 14, 10, 27, 0});
        testing::SetRandomSeed(7);
        testing::SetModifiers(testing::Modifiers{});
        framework::RuntimeRegisterAppObject(framework::New<App>());
        clock = WinMain::Instance();
    }
    void TearDown() override {
        clock = nullptr;
        testing::ResetApplication();
        testing::ResetSeams();
        std::error_code ignored;
        std::filesystem::remove_all(mConfigDir, ignored);
    }

    // Every redraw of the clock sets its background once.
    Int32 ClockRedraws() const { return testing::BackColorWrites(*clock); }

    Ref<winColors> Open() {
        auto window = winColors::Instance();
        window->ShowModal();  // under the seams the dialog stays open and this returns
        return window;
    }
    static Ref<SmartColorWell> Well(const winColors& window, const std::string& name) {
        return window.ControlByName(name).As<SmartColorWell>();
    }
    static Ref<framework::PushButton> Button(const winColors& window, const std::string& name) {
        return window.ControlByName(name).As<framework::PushButton>();
    }
    static bool IsOpen() { return !framework::GetImplicitWindow("winColors.winColors").IsNil(); }

    Ref<WinMain> clock;

private:
    std::string mConfigDir;
};

TEST_F(winColorsTest, HasItsControlsInTheirOrderAndPlaces) {
    auto window = Open();
    EXPECT_EQ(window->Title(), "Kivra Colors");
    EXPECT_EQ(window->Width(), 368);
    EXPECT_EQ(window->Height(), 180);
    EXPECT_EQ(window->Frame(), 1);

    struct Expected {
        std::string name;
        Int32 left, top, width, height;
        std::string text;
    };
    const Expected controls[] = {
        {"cBG", 20, 14, 32, 32, ""},
        {"cH1", 20, 52, 32, 32, ""},
        {"cH0", 187, 52, 32, 32, ""},
        {"cM1", 20, 90, 32, 32, ""},
        {"cM0", 187, 90, 32, 32, ""},
        {"StaticText1", 86, 17, 95, 20, "Background"},
        {"StaticText2", 86, 55, 95, 20, "Hours, 10's"},
        {"StaticText3", 253, 55, 95, 20, "Hours, 1's"},
        {"StaticText4", 253, 93, 95, 20, "Minutes, 1's"},
        {"StaticText5", 86, 93, 95, 20, "Minutes, 10's"},
        {"StaticText6", 253, 17, 95, 20, "Unlit square"},
        {"cOff", 187, 14, 32, 32, ""},
        {"bOK", 268, 138, 80, 22, "OK"},
        {"bCancel", 176, 138, 80, 22, "Cancel"},
        {"bDefaults", 20, 138, 103, 22, "Use Defaults"},
    };
    const auto& made = window->Controls();
    ASSERT_EQ(made.size(), std::size(controls));
    for (std::size_t i = 0; i < made.size(); ++i) {
        const Expected& e = controls[i];
        auto control = made[i].As<framework::RectControl>();
        ASSERT_TRUE(control) << e.name;
        EXPECT_EQ(control->Name(), e.name);
        EXPECT_EQ(control->Index(), framework::Control::kNoIndex) << e.name;
        EXPECT_EQ((std::vector<Int32>{control->Left(), control->Top(), control->Width(), control->Height()}),
                  (std::vector<Int32>{e.left, e.top, e.width, e.height}))
            << e.name;
        if (auto label = made[i].As<framework::StaticText>()) {
            EXPECT_EQ(label->Text(), e.text);
        } else if (auto button = made[i].As<framework::PushButton>()) {
            EXPECT_EQ(button->Caption(), e.text);
            EXPECT_EQ(button->Default(), e.name == "bOK");
            EXPECT_EQ(button->Cancel(), e.name == "bCancel");
        } else {
            auto well = made[i].As<SmartColorWell>();
            ASSERT_TRUE(well) << e.name;
            EXPECT_EQ(well->Margin, 5) << e.name;
            EXPECT_FALSE(well->EnableColorDrag);
            EXPECT_FALSE(well->AlsoDimColor);
        }
    }
}

TEST_F(winColorsTest, OpeningWithTheDefaultsRedrawsTheClockFiveTimes) {
    ASSERT_EQ(Colours::Of(*clock), kDefaults);
    const Int32 before = ClockRedraws();
    auto window = Open();
    EXPECT_EQ(ClockRedraws() - before, 5);
    EXPECT_EQ(Colours::Of(*clock), kDefaults);
    EXPECT_EQ((Colours{window->mBG, window->mH0, window->mH1, window->mM0, window->mM1, window->mOff}), kDefaults);
    EXPECT_EQ((Colours{Well(*window, "cBG")->getColor(), Well(*window, "cH0")->getColor(),
                       Well(*window, "cH1")->getColor(), Well(*window, "cM0")->getColor(),
                       Well(*window, "cM1")->getColor(), Well(*window, "cOff")->getColor()}),
              kDefaults);
}

TEST_F(winColorsTest, BlackClockColoursAreNotReportedBack) {
    Colours some = kDefaults;
    some.off = Color{0x000000};
    some.h1 = Color{0x000000};
    some.WriteTo(*clock);
    const Int32 before = ClockRedraws();
    Open();
    EXPECT_EQ(ClockRedraws() - before, 3);
}

TEST_F(winColorsTest, WhileOpenTheAccessorGivesTheSameWindow) {
    auto window = Open();
    EXPECT_EQ(winColors::Instance().get(), window.get());
}

TEST_F(winColorsTest, ChangesInTheWellsReachTheClockAtOnce) {
    auto window = Open();

    Int32 before = ClockRedraws();
    Well(*window, "cH0")->setColor(Color{0xABCDEF});
    EXPECT_EQ(clock->ColorH0, Color{0xABCDEF});
    EXPECT_EQ(ClockRedraws() - before, 1);

    before = ClockRedraws();
    testing::DropText(*Well(*window, "cM1"), "#123456");
    EXPECT_EQ(clock->ColorM1, Color{0x123456});
    EXPECT_EQ(ClockRedraws() - before, 1);

    // Confirming the picker with the colour already there still redraws the clock.
    before = ClockRedraws();
    testing::ScriptSelectColor({{true, Color{0x7F7F7F}}});
    testing::Press(*Well(*window, "cOff"), 16, 16);
    testing::Release(*Well(*window, "cOff"), 16, 16);
    ASSERT_EQ(testing::SelectColorLog().size(), 1u);
    EXPECT_EQ(testing::SelectColorLog()[0].prompt, "Pick a color:");
    EXPECT_EQ(clock->ColorOff, Color{0x7F7F7F});
    EXPECT_EQ(ClockRedraws() - before, 1);

    // A cancelled picker changes nothing.
    before = ClockRedraws();
    testing::ScriptSelectColor({{false, {}}});
    testing::Press(*Well(*window, "cBG"), 16, 16);
    testing::Release(*Well(*window, "cBG"), 16, 16);
    EXPECT_EQ(clock->ColorBG, Color{0x000000});
    EXPECT_EQ(ClockRedraws() - before, 0);

    const Colours expected{Color{0x000000}, Color{0xABCDEF}, Color{0xFF0000},
                           Color{0xFF0000}, Color{0x123456}, Color{0x7F7F7F}};
    EXPECT_EQ(Colours::Of(*clock), expected);
}

TEST_F(winColorsTest, CancelRestoresTheColoursFoundAtOpening) {
    for (bool useDefaultsFirst : {false, true}) {
        kCustom.WriteTo(*clock);
        auto window = Open();
        Well(*window, "cBG")->setColor(Color{0xFFFFFF});
        testing::DropText(*Well(*window, "cH1"), "#00AA00");
        if (useDefaultsFirst) {
            Button(*window, "bDefaults")->Push();
            EXPECT_EQ(Colours::Of(*clock), kDefaults);
            EXPECT_TRUE(IsOpen());
        }
        const Int32 before = ClockRedraws();
        Button(*window, "bCancel")->Push();
        EXPECT_EQ(Colours::Of(*clock), kCustom) << "after Use Defaults: " << useDefaultsFirst;
        EXPECT_EQ(ClockRedraws() - before, 1);
        EXPECT_FALSE(IsOpen());
    }
}

TEST_F(winColorsTest, UseDefaultsSetsTheDefaultsAndKeepsTheWindowOpen) {
    kCustom.WriteTo(*clock);
    auto window = Open();
    Int32 before = ClockRedraws();
    Button(*window, "bDefaults")->Push();
    EXPECT_EQ(Colours::Of(*clock), kDefaults);
    EXPECT_EQ(Well(*window, "cM1")->getColor(), Color{0x0055FF});
    // One redraw of its own, then one for each of the six wells, all of which changed.
    EXPECT_EQ(ClockRedraws() - before, 7);
    EXPECT_TRUE(IsOpen());

    before = ClockRedraws();
    Button(*window, "bDefaults")->Push();
    EXPECT_EQ(ClockRedraws() - before, 1);
}

TEST_F(winColorsTest, OkAndTheCloseBoxKeepThePreview) {
    for (bool closeBox : {false, true}) {
        kDefaults.WriteTo(*clock);
        auto window = Open();
        Well(*window, "cM0")->setColor(Color{0x0A0B0C});
        Well(*window, "cOff")->setColor(Color{0x222222});
        const Int32 before = ClockRedraws();
        if (closeBox) {
            window->Widget().close();
        } else {
            Button(*window, "bOK")->Push();
        }
        EXPECT_FALSE(IsOpen());
        EXPECT_EQ(ClockRedraws() - before, 0);
        EXPECT_EQ(clock->ColorM0, Color{0x0A0B0C});
        EXPECT_EQ(clock->ColorOff, Color{0x222222});
    }
}

TEST_F(winColorsTest, EachOpeningHasItsOwnRestorePoint) {
    auto first = Open();
    Well(*first, "cH1")->setColor(Color{0x111111});
    Button(*first, "bOK")->Push();

    auto second = Open();
    EXPECT_NE(second.get(), first.get());
    EXPECT_EQ(second->mH1, Color{0x111111});
    EXPECT_EQ(Well(*second, "cH1")->getColor(), Color{0x111111});
    Well(*second, "cH1")->setColor(Color{0x222222});
    Button(*second, "bCancel")->Push();
    EXPECT_EQ(clock->ColorH1, Color{0x111111});
}

// clang-format off
TEST_F(winColorsTest, ReturnAndEscapeWorkTheButtons) {
    const struct {
        Qt::Key key;
        Color kept;
    } cases[] = {{Qt::Key_Escape, Color{0x0055FF}}, {Qt::Key_Return, Color{0x333333}}, {Qt::Key_Enter, Color{0x333333}}};
    for (const auto& c : cases) {
        kDefaults.WriteTo(*clock);
        auto window = Open();
        for (int i = 0; i < 100 && !window->Active(); ++i) QApplication::processEvents();
        ASSERT_TRUE(window->Active());
        Well(*window, "cM1")->setColor(Color{0x333333});
        QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
        QApplication::sendEvent(&window->Widget(), &press);
        EXPECT_FALSE(IsOpen()) << c.key;
        EXPECT_EQ(clock->ColorM1, c.kept) << c.key;
    }
}
// clang-format on

}  // namespace
}  // namespace kivra
