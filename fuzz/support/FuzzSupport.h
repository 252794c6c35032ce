#pragma once

// What the fuzz targets share: the offscreen framework with a 3840 x 2160
// desktop, a private preferences folder, and checks that abort on violation so
// that libFuzzer (or the replay) reports the input.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kivra::fuzz {

constexpr int kDesktopWidth = 3840;
constexpr int kDesktopHeight = 2160;

// Starts the framework once: offscreen platform, scripted dialogs, a fixed
// clock and random seed, XDG_CONFIG_HOME in a temporary folder removed at exit.
void Init(int* argc, char*** argv);

std::string SettingsPath();
void WriteSettingsFile(const std::string& bytes);
// The file's bytes; empty when it is missing.
std::string ReadFileBytes(const std::string& path);

// Forgets the dialogs asked so far, failing when one of them tells of an
// exception that reached the application's handler.
void CheckNoUnhandledException();

[[noreturn]] void Fail(const char* file, int line, const std::string& what);

}  // namespace kivra::fuzz

#define KIVRA_FUZZ_CHECK(condition, what)                                  \
    do {                                                                   \
        if (!(condition)) ::kivra::fuzz::Fail(__FILE__, __LINE__, (what)); \
    } while (false)
