#pragma once

#include <gtest/gtest.h>

#include <string>

#include "clock/App.h"
#include "framework/values/Ref.h"

namespace kivra {

// Each test starts with a fresh application object that carries the menu bar
// and the two Help handlers as start-up gives them, scripted dialogs with empty
// logs, and its own preferences folder.
class WindowsTestFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string ConfigDir() const { return mConfigDir; }

    framework::Ref<App> app;

private:
    std::string mConfigDir;
};

}  // namespace kivra
