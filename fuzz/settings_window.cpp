// The whole settings read into the clock window: any file, then the layout,
// a beat's display, the dock icon and the ratio correction, then closing. The
// window must end up within the desktop and at least partly on it, so that no
// setting makes the clock draw pictures larger than the desktop, nothing may
// escape to the application's handler, and closing must write settings that
// the next start reads as the window was.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "clock/App.h"
#include "clock/WinMain.h"
#include "framework/app/Runtime.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Control.h"
#include "framework/ui/RectControl.h"
#include "framework/values/Ref.h"
#include "framework/values/Types.h"
#include "framework/values/Variant.h"
#include "settings/Preferences.h"
#include "support/FuzzSupport.h"

namespace {

namespace fw = kivra::framework;
using fw::Int32;
using kivra::fuzz::kDesktopHeight;
using kivra::fuzz::kDesktopWidth;

void CheckPlace(const kivra::WinMain& win, const char* when) {
    const std::string at = std::string(" ") + when;
    const Int32 w = win.Width(), h = win.Height();
    // Each side is bounded by the desktop's longer one, so that a clock that
    // fits can still turn.
    const Int32 longest = std::max(kDesktopWidth, kDesktopHeight);
    KIVRA_FUZZ_CHECK(w >= 0 && w <= longest && h >= 0 && h <= longest,
                     "the window has a side longer than the desktop's longer side" + at);
    KIVRA_FUZZ_CHECK(win.Left() < kDesktopWidth && static_cast<long long>(win.Left()) + w > 0 &&
                         win.Top() < kDesktopHeight && static_cast<long long>(win.Top()) + h > 0,
                     "the window is off the desktop" + at);
    for (const auto& control : win.Controls()) {
        const auto rect = control.As<fw::RectControl>();
        if (!rect) continue;
        KIVRA_FUZZ_CHECK(
            rect->Width() >= 0 && rect->Width() <= longest && rect->Height() >= 0 && rect->Height() <= longest,
            "a square has a side longer than the desktop's longer side" + at);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    kivra::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kivra::fuzz::WriteSettingsFile(std::string(reinterpret_cast<const char*>(data), size));
    fw::testing::MsgBoxLog().clear();
    fw::RuntimeRegisterAppObject(fw::New<kivra::App>());

    fw::Ref<kivra::WinMain> win = kivra::WinMain::Instance();
    CheckPlace(*win, "when it opens");
    win->ResizeDots();
    win->UpdateDisplay(nullptr);
    win->UpdateAppIcon();
    win->CorrectRatio();
    CheckPlace(*win, "after the ratio is corrected");
    kivra::fuzz::CheckNoUnhandledException();

    const Int32 top = win->Top(), left = win->Left(), width = win->Width(), height = win->Height();
    win = nullptr;
    fw::testing::ResetApplication();
    kivra::fuzz::CheckNoUnhandledException();

    kivra::Preferences written;
    written.Filename = "KivraPrefs.plist";
    KIVRA_FUZZ_CHECK(written.ReadFile(), "closing left no settings file");
    const fw::Variant absent;
    for (const auto& [key, value] : {std::pair<const char*, Int32>{"WinMain.Top", top},
                                     {"WinMain.Left", left},
                                     {"WinMain.Width", width},
                                     {"WinMain.Height", height}})
        KIVRA_FUZZ_CHECK(fw::VariantToString(written.Get(key, absent)) == std::to_string(value),
                         std::string("closing wrote another ") + key + " than the window had");
    return 0;
}
