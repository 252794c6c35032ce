#pragma once

#include <string>

#include "framework/ui/Window.h"
#include "framework/values/Color.h"
#include "framework/values/PropertySet.h"
#include "framework/values/Ref.h"

namespace kivra {

class SmartColorWell;
class WinMain;

// The colour settings dialog. Every change in a well goes straight into the clock
// window and redraws it, so the user sees it live; the window keeps only the
// colours found at opening, for Cancel.
class winColors : public framework::Window {
public:
    // The open colour settings window, or a new one, constructed and opened.
    static framework::Ref<winColors> Instance();

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void cBG_ColorChange(framework::Color c);
    void cH1_ColorChange(framework::Color c);
    void cH0_ColorChange(framework::Color c);
    void cM1_ColorChange(framework::Color c);
    void cM0_ColorChange(framework::Color c);
    void cOff_ColorChange(framework::Color c);
    void bOK_Action();
    void bCancel_Action();
    void bDefaults_Action();
    void Event_Open() override;
    void SetButtons();

    framework::Color mBG;
    framework::Color mH0;
    framework::Color mH1;
    framework::Color mM0;
    framework::Color mM1;
    framework::Color mOff;

private:
    framework::Ref<SmartColorWell> Well(const std::string& name) const;
    // Writes the well's colour into the clock's field and redraws the clock.
    void TakeColor(const std::string& well, framework::Color WinMain::*field);
    template <typename T>
    void Make(const std::string& name, const framework::PropertySet& properties);
};

}  // namespace kivra
