#pragma once

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "clock/WinMain.h"
#include "framework/app/Timer.h"
#include "framework/testing/Testing.h"
#include "framework/ui/RoundRectangle.h"
#include "framework/values/Ref.h"
#include "framework/values/Variant.h"

namespace kivra {

// Each test gets its own preferences folder, scripted dialogs, a clock that
// reads `now`, a fixed random seed and a fresh application object. The clock
// window is opened by the test, so that a settings file can be laid down first.
class ClockTestFixture : public ::testing::Test {
protected:
    using Settings = std::vector<std::pair<std::string, framework::Variant>>;

    void SetUp() override;
    void TearDown() override;

    // Opens the clock window (or gives the open one).
    framework::Ref<WinMain> OpenClock();
    // Closes every window and starts again with a fresh application object,
    // keeping the preferences folder.
    void Restart();

    // Writes a settings file that holds exactly these entries.
    void WriteSettings(const Settings& entries);
    // The text of a setting in the file; empty optional when the file lacks it.
    std::optional<std::string> Setting(const std::string& key);
    std::string SettingsPath() const;
    bool SettingsFileExists() const;
    std::string SettingsText() const;

    framework::Ref<framework::RoundRectangle> Square(framework::Int32 index) const;
    framework::Ref<framework::Timer> ClockTimer() const;
    // Lit squares of the hour tens, hour units, minute tens and minute units.
    std::array<int, 4> LitCounts() const;
    std::vector<framework::Color> FaceColors() const;
    // Right-clicks the window and chooses the entry of that caption ("" dismisses).
    void ChooseFromContextMenu(const std::string& caption);
    std::vector<framework::testing::MenuEntry> ContextMenu();

    framework::testing::LocalTime now{2026, 3, 14, 10, 20, 30};
    framework::Ref<WinMain> win;

private:
    std::string mConfigDir;
};

}  // namespace kivra
