// One dock-icon update (snapshot, scale, turn, tile, window icon): the work
// each beat adds while the option is on, at the default window and at the
// largest window the desktop allows, upright and turned.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "clock/App.h"
#include "clock/WinMain.h"
#include "framework/app/Runtime.h"
#include "framework/testing/Testing.h"

namespace {

namespace fw = kivra::framework;

constexpr fw::Int32 kLargest = 1 << 30;  // cut to the desktop by the window

void UpdateAppIcon(benchmark::State& state, fw::Int32 width, fw::Int32 height, int rotations) {
    auto win = kivra::WinMain::Instance();
    for (int i = 0; i < rotations; ++i) {
        fw::testing::ScriptContextMenu("Rotate");
        fw::testing::Press(*win, 10, 10, fw::testing::Button::Right);
    }
    const bool turned = rotations % 2 == 1;
    win->Width(turned ? height : width);
    win->Height(turned ? width : height);
    for (auto _ : state) win->UpdateAppIcon();
    state.SetLabel(std::to_string(win->Width()) + " x " + std::to_string(win->Height()));
    state.counters["pixels"] =
        benchmark::Counter(static_cast<double>(win->Width()) * win->Height(), benchmark::Counter::kDefaults);
    // Back upright for the next case.
    for (int i = rotations; i % 4 != 0; ++i) {
        fw::testing::ScriptContextMenu("Rotate");
        fw::testing::Press(*win, 10, 10, fw::testing::Button::Right);
    }
}

BENCHMARK_CAPTURE(UpdateAppIcon, default_window, 510, 150, 0);
BENCHMARK_CAPTURE(UpdateAppIcon, default_window_turned, 510, 150, 1);
BENCHMARK_CAPTURE(UpdateAppIcon, largest_window, kLargest, kLargest, 0);
BENCHMARK_CAPTURE(UpdateAppIcon, largest_window_turned, kLargest, kLargest, 1);

// A 3840 x 2160 desktop on the offscreen platform, unless a platform is given.
void UseOffscreenDesktop(const std::string& folder) {
    if (std::getenv("QT_QPA_PLATFORM")) return;
    const std::string config = folder + "/screens.json";
    if (FILE* f = std::fopen(config.c_str(), "w")) {
        std::fputs(R"({"screens":[{"name":"bench","x":0,"y":0,"width":3840,"height":2160,)"
                   R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})",
                   f);
        std::fclose(f);
    }
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    // Settings go to a folder of our own, not the user's.
    std::string folder = (std::filesystem::temp_directory_path() / "kivra-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) return 1;
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    UseOffscreenDesktop(folder);

    fw::RuntimeInit(argc, argv);
    fw::testing::ScriptDialogs(true);
    fw::RuntimeRegisterAppObject(fw::New<kivra::App>());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fw::testing::ResetApplication();
    fw::RuntimeExit();
    std::filesystem::remove_all(folder);
    return 0;
}
