#include "support/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/app/Runtime.h"
#include "framework/testing/Testing.h"

namespace kivra::fuzz {

namespace {

std::string& ConfigFolder() {
    static std::string folder;
    return folder;
}

std::string& ScreenConfig() {
    static std::string path;
    return path;
}

void Shutdown() {
    framework::testing::ResetApplication();
    framework::RuntimeExit();
    std::error_code ignored;
    std::filesystem::remove_all(ConfigFolder(), ignored);
    std::filesystem::remove(ScreenConfig(), ignored);
}

}  // namespace

void Init(int* argc, char*** argv) {
    static bool done = false;
    if (done) return;
    done = true;

    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    std::string pattern = base + "/kivra-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) Fail(__FILE__, __LINE__, "no temporary folder");
    ConfigFolder() = pattern;
    ::setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);

    // The same desktop as the widget tests', so that sizes compare alike.
    ScreenConfig() = base + "/kivra-fuzz-screen-" + std::to_string(::getpid()) + ".json";
    {
        std::ofstream config(ScreenConfig());
        config << R"({"screens":[{"name":"fuzz","x":0,"y":0,"width":)" << kDesktopWidth << R"(,"height":)"
               << kDesktopHeight << R"(,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
    }
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + ScreenConfig()).c_str(), 1);

    framework::RuntimeInit(*argc, *argv);
    framework::testing::ScriptDialogs(true);
    framework::testing::SetRandomSeed(20260314);
    framework::testing::SetTime({2026, 3, 14, 23, 59, 30});
    // Makes the framework's window list now, so that it is destroyed only after
    // Shutdown has closed the windows in it.
    framework::testing::ResetApplication();
    std::atexit(Shutdown);
}

std::string SettingsPath() { return ConfigFolder() + "/KivraPrefs.plist"; }

void WriteSettingsFile(const std::string& bytes) {
    std::error_code ignored;
    std::filesystem::remove_all(SettingsPath(), ignored);
    std::ofstream out(SettingsPath(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail(__FILE__, __LINE__, "cannot write the settings file");
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CheckNoUnhandledException() {
    auto& log = framework::testing::MsgBoxLog();
    for (const auto& message : log)
        KIVRA_FUZZ_CHECK(message != "An unhandled Exeption has occured", "an exception reached the application");
    log.clear();
}

void Fail(const char* file, int line, const std::string& what) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace kivra::fuzz
