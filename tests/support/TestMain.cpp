// Test entry: a Qt application on the offscreen platform with a large desktop,
// dialogs answered by the test seams.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/app/Runtime.h"
#include "framework/testing/Testing.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string(platform) == "offscreen") {
        // 3840 x 2160, so the sizes tests ask for are not cut to a small screen.
        std::string config = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/kivra-offscreen-" +
                             std::to_string(getpid()) + ".json";
        if (FILE* f = std::fopen(config.c_str(), "w")) {
            std::fputs(R"({"screens":[{"name":"test","x":0,"y":0,"width":3840,"height":2160,)"
                       R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})",
                       f);
            std::fclose(f);
        }
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    }
    kivra::framework::RuntimeInit(argc, argv);
    kivra::framework::testing::ScriptDialogs(true);
    const int result = RUN_ALL_TESTS();
    kivra::framework::testing::ResetApplication();
    kivra::framework::RuntimeExit();
    return result;
}
