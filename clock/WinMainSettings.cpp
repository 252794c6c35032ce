#include "clock/WinMain.h"

#include "framework/Variant.h"
#include "settings/Preferences.h"

namespace kivra {

using framework::BooleanToVariant;
using framework::Color;
using framework::ColorToVariant;
using framework::Int32ToVariant;
using framework::VariantToBoolean;
using framework::VariantToColor;
using framework::VariantToInt32;

void WinMain::ReadPrefs() {
    Preferences prefs;
    prefs.Filename = "KivraPrefs.plist";
    // Until the read is over nothing may be saved: the clock can be ended
    // while the read's box is up, and a save then would put what the window
    // began with over the user's file.
    Instance()->mPrefsUnreadable = true;
    const bool ok = prefs.ReadFile();

    // Every value goes to the window the accessor gives: the one being opened.
    Instance()->Top(VariantToInt32(prefs.Get("WinMain.Top", Int32ToVariant(40))));
    Instance()->Left(VariantToInt32(prefs.Get("WinMain.Left", Int32ToVariant(10))));
    Instance()->Width(VariantToInt32(prefs.Get("WinMain.Width", Int32ToVariant(510))));
    Instance()->Height(VariantToInt32(prefs.Get("WinMain.Height", Int32ToVariant(150))));
    Instance()->mDir = VariantToInt32(prefs.Get("Rotation", Int32ToVariant(0)));
    Instance()->m24hr = VariantToBoolean(prefs.Get("24HrMode", BooleanToVariant(false)));
    Instance()->mChangeMode = VariantToInt32(prefs.Get("ChangeMode", Int32ToVariant(1)));
    Instance()->mUpdateIcon = VariantToBoolean(prefs.Get("Update Icon", BooleanToVariant(true)));
    Instance()->ColorBG = VariantToColor(prefs.Get("ColorBG", ColorToVariant(Color{0x000000})));
    Instance()->ColorH0 = VariantToColor(prefs.Get("ColorH0", ColorToVariant(Color{0x00FF00})));
    Instance()->ColorH1 = VariantToColor(prefs.Get("ColorH1", ColorToVariant(Color{0xFF0000})));
    Instance()->ColorM0 = VariantToColor(prefs.Get("ColorM0", ColorToVariant(Color{0xFF0000})));
    Instance()->ColorM1 = VariantToColor(prefs.Get("ColorM1", ColorToVariant(Color{0x0055FF})));
    Instance()->ColorOff = VariantToColor(prefs.Get("ColorOff", ColorToVariant(Color{0x7F7F7F})));

    // A missing or empty file is replaced at once by one holding the defaults;
    // a file that exists but could not be read is left for the user to mend.
    Instance()->mPrefsUnreadable = prefs.ReadFailed();
    if (!ok && !prefs.ReadFailed()) prefs.WriteFile();
}

void WinMain::WritePrefs() {
    if (mPrefsUnreadable) return;
    Preferences prefs;
    prefs.Filename = "KivraPrefs.plist";
    prefs.Put("WinMain.Top", Int32ToVariant(Instance()->Top()));
    prefs.Put("WinMain.Left", Int32ToVariant(Instance()->Left()));
    prefs.Put("WinMain.Width", Int32ToVariant(Instance()->Width()));
    prefs.Put("WinMain.Height", Int32ToVariant(Instance()->Height()));
    prefs.Put("Rotation", Int32ToVariant(mDir));
    prefs.Put("24HrMode", BooleanToVariant(m24hr));
    prefs.Put("ChangeMode", Int32ToVariant(mChangeMode));
    prefs.Put("Update Icon", BooleanToVariant(mUpdateIcon));
    prefs.Put("ColorBG", ColorToVariant(ColorBG));
    prefs.Put("ColorH0", ColorToVariant(ColorH0));
    prefs.Put("ColorH1", ColorToVariant(ColorH1));
    prefs.Put("ColorM0", ColorToVariant(ColorM0));
    prefs.Put("ColorM1", ColorToVariant(ColorM1));
    prefs.Put("ColorOff", ColorToVariant(ColorOff));
    prefs.WriteFile();
}

}  // namespace kivra
