#include "windows/WindowsTestFixture.h"

#include <cstdlib>
#include <filesystem>

#include "framework/app/Runtime.h"
#include "framework/testing/Testing.h"
#include "windows/BundlePictures.h"
#include "windows/MenuBar1.h"

namespace kivra {

namespace fw = framework;

void WindowsTestFixture::SetUp() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kivra-windows-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    mConfigDir = pattern;
    setenv("XDG_CONFIG_HOME", mConfigDir.c_str(), 1);

    fw::testing::ScriptDialogs(true);
    fw::testing::MsgBoxLog().clear();
    fw::testing::ShowURLLog().clear();
    fw::testing::SetTime({2026, 3, 14, 10, 20, 30});
    fw::testing::SetRandomSeed(7);

    app = fw::New<App>();
    app->MenuBar(MenuBar1::Instance());
    fw::RuntimeRegisterAppObject(app);
    App& self = *app;
    app->AddMenuHandler("HelpAboutKivra", [&self] { return self.HelpAboutKivra_Action(); });
    app->AddMenuHandler("HelpHelp", [&self] { return self.HelpHelp_Action(); });
}

void WindowsTestFixture::TearDown() {
    fw::testing::ResetApplication();
    if (app) app->MenuBar(nullptr);
    app = nullptr;
    UseBundleResourcesForTesting(nullptr);
    fw::testing::ResetClock();
    fw::testing::SetRandomSeed(std::nullopt);
    fw::testing::MsgBoxLog().clear();
    fw::testing::ShowURLLog().clear();
    std::error_code ignored;
    std::filesystem::remove_all(mConfigDir, ignored);
}

}  // namespace kivra
