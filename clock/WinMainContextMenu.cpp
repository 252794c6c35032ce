#include "clock/WinMain.h"

#include <string>

#include "clock/App.h"
#include "framework/app/DockItem.h"
#include "framework/app/Runtime.h"
#include "framework/values/Date.h"
#include "framework/values/Strings.h"
#include "framework/values/Variant.h"
#include "settings/winColors.h"
#include "windows/AboutWindow.h"

namespace kivra {

using framework::Int32;
using framework::StringEquals;

bool WinMain::Event_ConstructContextualMenu(framework::MenuItem& menu, Int32, Int32) {
    const auto append = [&menu](const std::string& caption, bool checked = false) {
        auto item = framework::New<framework::MenuItem>(caption, framework::Variant());
        if (checked) item->Checked(true);
        menu.Append(item);
    };
    append("About Kivra...");
    append("-");
    append("Colors...");
    append("-");
    append("Rotate");
    append("-");
    append("24hr Mode", m24hr);
    append("12hr Mode", !m24hr);
    append("-");
    append("Change every Second", mChangeMode == 0);
    append("Change every 4 Seconds", mChangeMode == 1);
    append("Change every Minute", mChangeMode == 2);
    append("-");
    append("Update Dock Icon", mUpdateIcon);
    append("-");
    append("Quit");
    return true;
}

bool WinMain::Event_ContextualMenuAction(framework::MenuItem& chosenItem) {
    const std::string text = chosenItem.Text();
    if (StringEquals(text, "About Kivra...")) {
        AboutWindow::Instance()->Show(true);
    } else if (StringEquals(text, "Colors...")) {
        winColors::Instance()->ShowModal();
    } else if (StringEquals(text, "24hr Mode")) {
        m24hr = true;
        UpdateDisplay(framework::New<framework::Date>());
    } else if (StringEquals(text, "12hr Mode")) {
        m24hr = false;
        UpdateDisplay(framework::New<framework::Date>());
    } else if (StringEquals(text, "Change every second")) {
        mChangeMode = 0;
    } else if (StringEquals(text, "Change every 4 seconds")) {
        mChangeMode = 1;
    } else if (StringEquals(text, "Change every minute")) {
        mChangeMode = 2;
    } else if (StringEquals(text, "Rotate")) {
        // In 64 bits, so that a rotation read from a hand-edited file cannot overflow.
        mDir = static_cast<Int32>((static_cast<long long>(mDir) + 1) % 4);
        const Int32 w = Width();
        const Int32 h = Height();
        Width(h);
        Height(w);
        // A square window raises no Resized, yet its face has turned.
        if (w == h) {
            ResizeDots();
            if (mUpdateIcon) UpdateAppIcon();
        }
    } else if (StringEquals(text, "Update Dock Icon")) {
        mUpdateIcon = !mUpdateIcon;
        if (mUpdateIcon) {
            UpdateAppIcon();
        } else {
            App::Instance()->DockItem()->ResetIcon();
            App::Instance()->DockItem()->UpdateNow();
        }
    } else if (StringEquals(text, "Quit")) {
        framework::Quit(0);
    }
    return true;
}

}  // namespace kivra
