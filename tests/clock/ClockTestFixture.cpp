#include "clock/ClockTestFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "clock/App.h"
#include "framework/app/Runtime.h"
#include "settings/Preferences.h"

namespace kivra {

namespace fw = framework;

void ClockTestFixture::SetUp() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kivra-clock-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    mConfigDir = pattern;
    setenv("XDG_CONFIG_HOME", mConfigDir.c_str(), 1);

    fw::testing::ScriptDialogs(true);
    fw::testing::MsgBoxLog().clear();
    fw::testing::SetClock([this] { return now; });
    fw::testing::SetRandomSeed(20260314);
    fw::testing::SetModifiers(fw::testing::Modifiers{});
    fw::RuntimeRegisterAppObject(fw::New<App>());
}

void ClockTestFixture::TearDown() {
    win = nullptr;
    fw::testing::ResetApplication();
    fw::testing::ResetSeams();
    std::error_code ignored;
    std::filesystem::remove_all(mConfigDir, ignored);
}

fw::Ref<WinMain> ClockTestFixture::OpenClock() {
    win = WinMain::Instance();
    return win;
}

void ClockTestFixture::Restart() {
    win = nullptr;
    fw::testing::ResetApplication();
    fw::testing::SetModifiers(fw::testing::Modifiers{});
    fw::RuntimeRegisterAppObject(fw::New<App>());
}

void ClockTestFixture::WriteSettings(const Settings& entries) {
    Preferences prefs;
    prefs.Filename = "KivraPrefs.plist";
    for (const auto& [key, value] : entries) prefs.Put(key, value);
    prefs.WriteFile();
}

std::optional<std::string> ClockTestFixture::Setting(const std::string& key) {
    Preferences prefs;
    prefs.Filename = "KivraPrefs.plist";
    prefs.ReadFile();
    const fw::Variant value = prefs.Get(key, fw::Variant());
    if (value.IsNil()) return std::nullopt;
    return fw::VariantToString(value);
}

std::string ClockTestFixture::SettingsPath() const { return mConfigDir + "/KivraPrefs.plist"; }

bool ClockTestFixture::SettingsFileExists() const { return std::filesystem::exists(SettingsPath()); }

std::string ClockTestFixture::SettingsText() const {
    std::ifstream in(SettingsPath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

fw::Ref<fw::RoundRectangle> ClockTestFixture::Square(fw::Int32 index) const {
    return win->ControlByNameIndex("sq", index).As<fw::RoundRectangle>();
}

fw::Ref<fw::Timer> ClockTestFixture::ClockTimer() const { return win->ControlByName("SecTimer").As<fw::Timer>(); }

std::array<int, 4> ClockTestFixture::LitCounts() const {
    // Squares 0-2 hour tens, 3-11 hour units, 12-17 minute tens, 18-26 minute units.
    static constexpr std::array<std::pair<int, int>, 4> groups{{{0, 2}, {3, 11}, {12, 17}, {18, 26}}};
    std::array<int, 4> counts{};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (int i = groups[g].first; i <= groups[g].second; ++i) {
            if (Square(i)->FillColor() != win->ColorOff) ++counts[g];
        }
    }
    return counts;
}

std::vector<fw::Color> ClockTestFixture::FaceColors() const {
    std::vector<fw::Color> colors;
    for (int i = 0; i < 27; ++i) colors.push_back(Square(i)->FillColor());
    return colors;
}

void ClockTestFixture::ChooseFromContextMenu(const std::string& caption) {
    fw::testing::ScriptContextMenu(caption);
    fw::testing::Press(*win, 200, 70, fw::testing::Button::Right);
}

std::vector<fw::testing::MenuEntry> ClockTestFixture::ContextMenu() {
    ChooseFromContextMenu("");
    return fw::testing::LastContextMenu();
}

}  // namespace kivra
