#include "clock/ClockTestFixture.h"

#include <QCoreApplication>

#include <csignal>
#include <fstream>

#include "framework/app/Runtime.h"
#include "framework/ui/Window.h"

namespace kivra {
namespace {

using framework::BooleanToVariant;
using framework::Color;
using framework::ColorToVariant;
using framework::Int32ToVariant;
using framework::StringToVariant;
using framework::Variant;
using framework::VariantToString;

struct Row {
    const char* key;
    Variant deflt;
};

const Row Schema[] = {
    {"WinMain.Top", Int32ToVariant(40)},
    {"WinMain.Left", Int32ToVariant(10)},
    {"WinMain.Width", Int32ToVariant(510)},
    {"WinMain.Height", Int32ToVariant(150)},
    {"Rotation", Int32ToVariant(0)},
    {"24HrMode", BooleanToVariant(false)},
    {"ChangeMode", Int32ToVariant(1)},
    {"Update Icon", BooleanToVariant(true)},
    {"ColorBG", ColorToVariant(Color{0x000000})},
    {"ColorH0", ColorToVariant(Color{0x00FF00})},
    {"ColorH1", ColorToVariant(Color{0xFF0000})},
    {"ColorM0", ColorToVariant(Color{0xFF0000})},
    {"ColorM1", ColorToVariant(Color{0x0055FF})},
    {"ColorOff", ColorToVariant(Color{0x7F7F7F})},
};

class WinMainSettings : public ClockTestFixture {
protected:
    void ExpectDefaultsInFile() {
        for (const auto& row : Schema) EXPECT_EQ(Setting(row.key), VariantToString(row.deflt)) << row.key;
    }
    int KeysInFile() {
        const std::string text = SettingsText();
        int keys = 0;
        for (auto at = text.find("<key>"); at != std::string::npos; at = text.find("<key>", at + 1)) ++keys;
        return keys;
    }
};

TEST_F(WinMainSettings, FirstStartWritesTheFourteenDefaultsAtOnce) {
    ASSERT_FALSE(SettingsFileExists());
    OpenClock();
    ASSERT_TRUE(SettingsFileExists());
    EXPECT_EQ(KeysInFile(), 14);
    ExpectDefaultsInFile();

    EXPECT_EQ(win->Top(), 40);
    EXPECT_EQ(win->Left(), 10);
    EXPECT_EQ(win->Width(), 510);
    EXPECT_EQ(win->Height(), 150);
    EXPECT_EQ(win->ColorOff, Color{0x7F7F7F});
    EXPECT_EQ(win->ColorM1, Color{0x0055FF});
}

TEST_F(WinMainSettings, FileWithoutAnEntryIsReplacedByTheDefaults) {
    std::ofstream(SettingsPath()) << "<plist><dict></dict></plist>\n";
    OpenClock();
    EXPECT_EQ(KeysInFile(), 14);
    ExpectDefaultsInFile();
}

TEST_F(WinMainSettings, UnreadableFileIsReportedOnceAndNotReplaced) {
    // A folder in the file's place cannot be read, whoever runs the test.
    ASSERT_EQ(mkdir(SettingsPath().c_str(), 0700), 0);
    framework::testing::MsgBoxLog().clear();
    OpenClock();
    EXPECT_EQ(framework::testing::MsgBoxLog(), std::vector<std::string>{"couldn't read preferences File"});
    struct stat info {};
    ASSERT_EQ(stat(SettingsPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(win->Width(), 510);  // the clock still opens, with the defaults
    win->Close();
    EXPECT_EQ(framework::testing::MsgBoxLog().size(), 1u);  // closing does not try to replace it
    ASSERT_EQ(stat(SettingsPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST_F(WinMainSettings, SignalWhileTheUnreadableFileIsReportedLeavesTheFileAlone) {
    // A regular file too large for a settings file: it cannot be read, but
    // could be replaced.
    const std::string unreadable(5 * 1024 * 1024, 'k');
    std::ofstream(SettingsPath(), std::ios::binary) << unreadable;
    framework::testing::MsgBoxLog().clear();
    // SIGTERM comes while the box is up; the box's own event loop sees it.
    framework::testing::WhileNextMsgBoxIsUp([] {
        std::raise(SIGTERM);
        for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
    });
    OpenClock();
    EXPECT_EQ(framework::testing::MsgBoxLog(), std::vector<std::string>{"couldn't read preferences File"});
    EXPECT_EQ(framework::OpenWindows().size(), 1u);
    // The quit comes once start-up is over, and saves nothing over the file.
    framework::RuntimeRun();
    EXPECT_TRUE(framework::testing::QuitRequested());
    EXPECT_TRUE(framework::OpenWindows().empty());
    const std::string after = SettingsText();
    EXPECT_EQ(after.size(), unreadable.size());
    EXPECT_TRUE(after == unreadable) << "the unreadable file was replaced";
}

TEST_F(WinMainSettings, PartialFileTakesDefaultsAndIsCompletedAtClose) {
    WriteSettings({{"ChangeMode", Int32ToVariant(0)},
                   {"WinMain.Width", Int32ToVariant(600)},
                   {"ColorBG", ColorToVariant(Color{0x102030})}});
    const std::string written = SettingsText();
    OpenClock();
    EXPECT_EQ(win->Width(), 600);
    EXPECT_EQ(win->Height(), 150);
    EXPECT_EQ(win->ColorBG, Color{0x102030});
    EXPECT_EQ(win->BackColor(), Color{0x102030});
    EXPECT_EQ(SettingsText(), written);  // not rewritten until the window closes

    Restart();
    EXPECT_EQ(KeysInFile(), 14);
    EXPECT_EQ(Setting("ChangeMode"), "0");
    EXPECT_EQ(Setting("WinMain.Width"), "600");
    EXPECT_EQ(Setting("ColorOff"), VariantToString(ColorToVariant(Color{0x7F7F7F})));
}

TEST_F(WinMainSettings, OtherKeysAreDroppedAtTheNextWrite) {
    WriteSettings({{"Stranger", StringToVariant("here")},
                   {"Rotation", Int32ToVariant(1)},
                   {"WinMain.Width", Int32ToVariant(150)},
                   {"WinMain.Height", Int32ToVariant(510)}});
    OpenClock();
    EXPECT_EQ(Setting("Stranger"), "here");
    Restart();
    EXPECT_EQ(Setting("Stranger"), std::nullopt);
    EXPECT_EQ(Setting("Rotation"), "1");
    EXPECT_EQ(KeysInFile(), 14);
}

TEST_F(WinMainSettings, OutOfRangeValuesAreHandedOnUnchanged) {
    WriteSettings({{"ChangeMode", Int32ToVariant(-4)},
                   {"WinMain.Left", Int32ToVariant(100)},
                   {"WinMain.Top", Int32ToVariant(200)},
                   {"WinMain.Width", Int32ToVariant(40)},
                   {"WinMain.Height", Int32ToVariant(30)},
                   {"ColorOff", StringToVariant("not a colour")}});
    OpenClock();
    EXPECT_EQ(win->Width(), 40);
    EXPECT_EQ(win->Height(), 30);
    Restart();
    EXPECT_EQ(Setting("ChangeMode"), "-4");
    EXPECT_EQ(Setting("WinMain.Left"), "100");
    EXPECT_EQ(Setting("WinMain.Top"), "200");
    EXPECT_EQ(Setting("WinMain.Width"), "40");
}

TEST_F(WinMainSettings, ASizeLargerThanTheDesktopOpensInItsProportionAndIsSavedAsShown) {
    // The test desktop is 3840 x 2160.
    struct Case {
        int width, height, rotation;
        int shownLeft, shownWidth, shownHeight;
    } cases[] = {
        {100000, 30000, 0, 0, 3840, 1152},
        {30000, 100000, 1, 0, 648, 2160},
        {5100, 1500, 2, 0, 3840, 1129},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
        WriteSettings({{"WinMain.Width", Int32ToVariant(c.width)},
                       {"WinMain.Height", Int32ToVariant(c.height)},
                       {"Rotation", Int32ToVariant(c.rotation)}});
        OpenClock();
        EXPECT_EQ(win->Left(), c.shownLeft);
        EXPECT_EQ(win->Top(), c.rotation == 1 ? 0 : 40);
        EXPECT_EQ(win->Width(), c.shownWidth);
        EXPECT_EQ(win->Height(), c.shownHeight);
        // The face fills the window, with no band beside it.
        EXPECT_EQ(Square(0)->Width(), framework::ToInt32(3.0 * win->GetBaseUnit()));
        EXPECT_NEAR(win->GetBaseUnit(), std::max(c.shownWidth, c.shownHeight) / 51.0, 0.1);
        Restart();
        EXPECT_EQ(Setting("WinMain.Left"), std::to_string(c.shownLeft));
        EXPECT_EQ(Setting("WinMain.Width"), std::to_string(c.shownWidth));
        EXPECT_EQ(Setting("WinMain.Height"), std::to_string(c.shownHeight));
    }
}

TEST_F(WinMainSettings, ValuesSurviveCloseAndOpen) {
    OpenClock();
    ChooseFromContextMenu("24hr Mode");
    ChooseFromContextMenu("Change every Minute");
    ChooseFromContextMenu("Update Dock Icon");
    ChooseFromContextMenu("Rotate");
    win->Left(300);
    win->Top(200);
    win->ColorBG = Color{0x123456};
    win->ColorH0 = Color{0x010203};
    win->ColorH1 = Color{0x040506};
    win->ColorM0 = Color{0x070809};
    win->ColorM1 = Color{0x0A0B0C};
    win->ColorOff = Color{0x0D0E0F};
    Restart();

    OpenClock();
    EXPECT_EQ(win->Left(), 300);
    EXPECT_EQ(win->Top(), 200);
    EXPECT_EQ(win->Width(), 150);
    EXPECT_EQ(win->Height(), 510);
    EXPECT_EQ(Square(0)->Left(), 100);  // laid out turned
    EXPECT_EQ(win->ColorBG, Color{0x123456});
    EXPECT_EQ(win->ColorH0, Color{0x010203});
    EXPECT_EQ(win->ColorH1, Color{0x040506});
    EXPECT_EQ(win->ColorM0, Color{0x070809});
    EXPECT_EQ(win->ColorM1, Color{0x0A0B0C});
    EXPECT_EQ(win->ColorOff, Color{0x0D0E0F});
    std::vector<std::string> checked;
    for (const auto& entry : ContextMenu())
        if (entry.checked) checked.push_back(entry.text);
    EXPECT_EQ(checked, (std::vector<std::string>{"24hr Mode", "Change every Minute"}));
}

}  // namespace
}  // namespace kivra
