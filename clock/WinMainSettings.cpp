#include "clock/WinMain.h"

#include "framework/values/Variant.h"
#include "settings/Preferences.h"

namespace kivra {

using framework::BooleanToVariant;
using framework::ColorToVariant;
using framework::Int32ToVariant;
using framework::VariantToBoolean;
using framework::VariantToColor;
using framework::VariantToInt32;

namespace {

constexpr const char* kPrefsFileName = "KivraPrefs.plist";

// Each setting's name in the file, the same for reading and for writing.
constexpr const char* kTopKey = "WinMain.Top";
constexpr const char* kLeftKey = "WinMain.Left";
constexpr const char* kWidthKey = "WinMain.Width";
constexpr const char* kHeightKey = "WinMain.Height";
constexpr const char* kRotationKey = "Rotation";
constexpr const char* k24HrModeKey = "24HrMode";
constexpr const char* kChangeModeKey = "ChangeMode";
constexpr const char* kUpdateIconKey = "Update Icon";
constexpr const char* kColorBGKey = "ColorBG";
constexpr const char* kColorH0Key = "ColorH0";
constexpr const char* kColorH1Key = "ColorH1";
constexpr const char* kColorM0Key = "ColorM0";
constexpr const char* kColorM1Key = "ColorM1";
constexpr const char* kColorOffKey = "ColorOff";

// Only an edited file holds a rotation outside 0 to 3; as quarter turns it
// still means one of the four, and every other part of the clock knows only those.
framework::Int32 InQuarterTurns(framework::Int32 turns) { return (turns % 4 + 4) % 4; }

}  // namespace

void WinMain::ReadPrefs() {
    Preferences prefs;
    prefs.Filename = kPrefsFileName;
    // Until the read is over nothing may be saved: the clock can be ended
    // while the read's box is up, and a save then would put what the window
    // began with over the user's file.
    Instance()->mPrefsUnreadable = true;
    const bool ok = prefs.ReadFile();

    // Every value goes to the window the accessor gives: the one being opened.
    Instance()->Top(VariantToInt32(prefs.Get(kTopKey, Int32ToVariant(40))));
    Instance()->Left(VariantToInt32(prefs.Get(kLeftKey, Int32ToVariant(10))));
    Instance()->Width(VariantToInt32(prefs.Get(kWidthKey, Int32ToVariant(510))));
    Instance()->Height(VariantToInt32(prefs.Get(kHeightKey, Int32ToVariant(150))));
    Instance()->mDir = InQuarterTurns(VariantToInt32(prefs.Get(kRotationKey, Int32ToVariant(0))));
    Instance()->m24hr = VariantToBoolean(prefs.Get(k24HrModeKey, BooleanToVariant(false)));
    Instance()->mChangeMode = VariantToInt32(prefs.Get(kChangeModeKey, Int32ToVariant(1)));
    Instance()->mUpdateIcon = VariantToBoolean(prefs.Get(kUpdateIconKey, BooleanToVariant(true)));
    Instance()->ColorBG = VariantToColor(prefs.Get(kColorBGKey, ColorToVariant(kDefaultColorBG)));
    Instance()->ColorH0 = VariantToColor(prefs.Get(kColorH0Key, ColorToVariant(kDefaultColorH0)));
    Instance()->ColorH1 = VariantToColor(prefs.Get(kColorH1Key, ColorToVariant(kDefaultColorH1)));
    Instance()->ColorM0 = VariantToColor(prefs.Get(kColorM0Key, ColorToVariant(kDefaultColorM0)));
    Instance()->ColorM1 = VariantToColor(prefs.Get(kColorM1Key, ColorToVariant(kDefaultColorM1)));
    Instance()->ColorOff = VariantToColor(prefs.Get(kColorOffKey, ColorToVariant(kDefaultColorOff)));

    // A missing or empty file is replaced at once by one holding the defaults;
    // a file that exists but could not be read is left for the user to mend.
    Instance()->mPrefsUnreadable = prefs.ReadFailed();
    if (!ok && !prefs.ReadFailed()) prefs.WriteFile();
}

void WinMain::WritePrefs() {
    if (mPrefsUnreadable) return;
    Preferences prefs;
    prefs.Filename = kPrefsFileName;
    prefs.Put(kTopKey, Int32ToVariant(Instance()->Top()));
    prefs.Put(kLeftKey, Int32ToVariant(Instance()->Left()));
    prefs.Put(kWidthKey, Int32ToVariant(Instance()->Width()));
    prefs.Put(kHeightKey, Int32ToVariant(Instance()->Height()));
    prefs.Put(kRotationKey, Int32ToVariant(mDir));
    prefs.Put(k24HrModeKey, BooleanToVariant(m24hr));
    prefs.Put(kChangeModeKey, Int32ToVariant(mChangeMode));
    prefs.Put(kUpdateIconKey, BooleanToVariant(mUpdateIcon));
    prefs.Put(kColorBGKey, ColorToVariant(ColorBG));
    prefs.Put(kColorH0Key, ColorToVariant(ColorH0));
    prefs.Put(kColorH1Key, ColorToVariant(ColorH1));
    prefs.Put(kColorM0Key, ColorToVariant(ColorM0));
    prefs.Put(kColorM1Key, ColorToVariant(ColorM1));
    prefs.Put(kColorOffKey, ColorToVariant(ColorOff));
    prefs.WriteFile();
}

}  // namespace kivra
