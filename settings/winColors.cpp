#include "settings/winColors.h"

#include "clock/WinMain.h"
#include "framework/ui/Control.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/StaticText.h"
#include "settings/SmartColorWell.h"

namespace kivra {

using framework::Color;
using framework::Int32;
using framework::PropertySet;
using framework::Ref;

namespace {

const std::string kQualifiedName = "winColors.winColors";

PropertySet WellProperties(const std::string& name, Int32 tabIndex, Int32 left, Int32 top) {
    return {{"TabStop", true},
            {"Name", name},
            {"Index", framework::Control::kNoIndex},
            {"Left", left},
            {"Top", top},
            {"Width", 32},
            {"Height", 32},
            {"LockLeft", false},
            {"LockTop", false},
            {"LockRight", false},
            {"LockBottom", false},
            {"TabPanelIndex", 0},
            {"TabIndex", tabIndex},
            {"Visible", true},
            {"HelpTag", std::string()},
            {"AutoDeactivate", true},
            {"Enabled", true},
            {"UseFocusRing", true},
            {"AcceptFocus", false},
            {"AcceptTabs", false},
            {"EraseBackground", true},
            {"InitialParent", std::string()},
            {"ColorSelected", Color{0x000000}},
            {"Margin", 0},
            {"AlsoDimColor", false},
            {"EnableColorDrag", false}};
}

PropertySet LabelProperties(const std::string& name, Int32 tabIndex, Int32 left, Int32 top, const std::string& text) {
    return {{"Name", name},
            {"Index", framework::Control::kNoIndex},
            {"Left", left},
            {"Top", top},
            {"Width", 95},
            {"Height", 20},
            {"LockLeft", false},
            {"LockTop", false},
            {"LockRight", false},
            {"LockBottom", false},
            {"TabPanelIndex", 0},
            {"TabIndex", tabIndex},
            {"Text", text},
            {"TextAlign", 0},
            {"TextColor", Color{0x000000}},
            {"Multiline", false},
            {"Enabled", true},
            {"Visible", true},
            {"HelpTag", std::string()},
            {"AutoDeactivate", true},
            {"TextFont", std::string("System")},
            {"TextSize", 0},
            {"Bold", false},
            {"Italic", false},
            {"Underline", false},
            {"DataSource", std::string()},
            {"DataField", std::string()},
            {"InitialParent", std::string()}};
}

PropertySet ButtonProperties(const std::string& name, Int32 tabIndex, Int32 left, Int32 top, Int32 width,
                             const std::string& caption, bool isDefault, bool isCancel) {
    return {{"Name", name},
            {"Index", framework::Control::kNoIndex},
            {"Left", left},
            {"Top", top},
            {"Width", width},
            {"Height", 22},
            {"LockLeft", false},
            {"LockTop", false},
            {"LockRight", false},
            {"LockBottom", false},
            {"TabPanelIndex", 0},
            {"TabIndex", tabIndex},
            {"TabStop", true},
            {"Caption", caption},
            {"Default", isDefault},
            {"Cancel", isCancel},
            {"Enabled", true},
            {"Visible", true},
            {"HelpTag", std::string()},
            {"AutoDeactivate", true},
            {"TextFont", std::string("System")},
            {"TextSize", 0},
            {"Bold", false},
            {"Italic", false},
            {"Underline", false},
            {"InitialParent", std::string()}};
}

}  // namespace

Ref<winColors> winColors::Instance() {
    if (auto open = framework::GetImplicitWindow(kQualifiedName).As<winColors>()) return open;
    auto window = std::make_shared<winColors>();
    window->Constructor(kQualifiedName);
    return Ref<winColors>(window);
}

void winColors::Layout() {
    SetProperties({{"Placement", 0},
                   {"Width", 368},
                   {"Height", 180},
                   {"MinWidth", 64},
                   {"MinHeight", 64},
                   {"MaxWidth", 32000},
                   {"MaxHeight", 32000},
                   {"Frame", 1},
                   {"Composite", false},
                   {"HasBackColor", false},
                   {"BackColor", Color{0xFFFFFF}},
                   {"Title", std::string("Kivra Colors")},
                   {"Visible", true},
                   {"FullScreen", false},
                   {"MenuBarVisible", true},
                   {"CloseButton", true},
                   {"Resizeable", false},
                   {"LiveResize", true},
                   {"MaximizeButton", false},
                   {"MinimizeButton", true},
                   {"MacProcID", 0}});
}

void winColors::CreateControls() { CreateControls0(); }

// The bindings go in before Open, so the echoes of SetButtons already reach the clock.
void winColors::CreateControls0() {
    Make<SmartColorWell>("cBG", WellProperties("cBG", 0, 20, 14));
    Well("cBG")->ColorChange.Bind(this, &winColors::cBG_ColorChange);
    Make<SmartColorWell>("cH1", WellProperties("cH1", 1, 20, 52));
    Well("cH1")->ColorChange.Bind(this, &winColors::cH1_ColorChange);
    Make<SmartColorWell>("cH0", WellProperties("cH0", 2, 187, 52));
    Well("cH0")->ColorChange.Bind(this, &winColors::cH0_ColorChange);
    Make<SmartColorWell>("cM1", WellProperties("cM1", 3, 20, 90));
    Well("cM1")->ColorChange.Bind(this, &winColors::cM1_ColorChange);
    Make<SmartColorWell>("cM0", WellProperties("cM0", 4, 187, 90));
    Well("cM0")->ColorChange.Bind(this, &winColors::cM0_ColorChange);
    Make<framework::StaticText>("StaticText1", LabelProperties("StaticText1", 5, 86, 17, "Background"));
    Make<framework::StaticText>("StaticText2", LabelProperties("StaticText2", 6, 86, 55, "Hours, 10's"));
    Make<framework::StaticText>("StaticText3", LabelProperties("StaticText3", 7, 253, 55, "Hours, 1's"));
    Make<framework::StaticText>("StaticText4", LabelProperties("StaticText4", 8, 253, 93, "Minutes, 1's"));
    Make<framework::StaticText>("StaticText5", LabelProperties("StaticText5", 9, 86, 93, "Minutes, 10's"));
    Make<framework::StaticText>("StaticText6", LabelProperties("StaticText6", 10, 253, 17, "Unlit square"));
    Make<SmartColorWell>("cOff", WellProperties("cOff", 11, 187, 14));
    Well("cOff")->ColorChange.Bind(this, &winColors::cOff_ColorChange);
    Make<framework::PushButton>("bOK", ButtonProperties("bOK", 12, 268, 138, 80, "OK", true, false));
    ControlByName("bOK").As<framework::PushButton>()->Action.Bind(this, &winColors::bOK_Action);
    Make<framework::PushButton>("bCancel", ButtonProperties("bCancel", 13, 176, 138, 80, "Cancel", false, true));
    ControlByName("bCancel").As<framework::PushButton>()->Action.Bind(this, &winColors::bCancel_Action);
    Make<framework::PushButton>("bDefaults",
                                ButtonProperties("bDefaults", 14, 20, 138, 103, "Use Defaults", false, false));
    ControlByName("bDefaults").As<framework::PushButton>()->Action.Bind(this, &winColors::bDefaults_Action);
}

// The argument is the well's own colour; each handler reads the well instead.
void winColors::cBG_ColorChange(Color) { TakeColor("cBG", &WinMain::ColorBG); }

void winColors::cH1_ColorChange(Color) { TakeColor("cH1", &WinMain::ColorH1); }

void winColors::cH0_ColorChange(Color) { TakeColor("cH0", &WinMain::ColorH0); }

void winColors::cM1_ColorChange(Color) { TakeColor("cM1", &WinMain::ColorM1); }

void winColors::cM0_ColorChange(Color) { TakeColor("cM0", &WinMain::ColorM0); }

void winColors::cOff_ColorChange(Color) { TakeColor("cOff", &WinMain::ColorOff); }

void winColors::bOK_Action() { Close(); }

void winColors::bCancel_Action() {
    WinMain::Instance()->ColorBG = mBG;
    WinMain::Instance()->ColorH0 = mH0;
    WinMain::Instance()->ColorH1 = mH1;
    WinMain::Instance()->ColorM0 = mM0;
    WinMain::Instance()->ColorM1 = mM1;
    WinMain::Instance()->ColorOff = mOff;
    WinMain::Instance()->UpdateDisplay(nullptr);
    WinMain::Instance()->Refresh(true);
    Close();
}

// The restore point stays as found at opening, so Cancel still undoes this.
void winColors::bDefaults_Action() {
    WinMain::Instance()->ColorBG = WinMain::kDefaultColorBG;
    WinMain::Instance()->ColorH0 = WinMain::kDefaultColorH0;
    WinMain::Instance()->ColorH1 = WinMain::kDefaultColorH1;
    WinMain::Instance()->ColorM0 = WinMain::kDefaultColorM0;
    WinMain::Instance()->ColorM1 = WinMain::kDefaultColorM1;
    WinMain::Instance()->ColorOff = WinMain::kDefaultColorOff;
    WinMain::Instance()->UpdateDisplay(nullptr);
    WinMain::Instance()->Refresh(true);
    SetButtons();
}

void winColors::Event_Open() {
    mBG = WinMain::Instance()->ColorBG;
    mH0 = WinMain::Instance()->ColorH0;
    mH1 = WinMain::Instance()->ColorH1;
    mM0 = WinMain::Instance()->ColorM0;
    mM1 = WinMain::Instance()->ColorM1;
    mOff = WinMain::Instance()->ColorOff;
    SetButtons();
}

// A well whose colour changes reports it back at once, which rewrites the same
// colour into the clock and redraws it.
void winColors::SetButtons() {
    Well("cBG")->setColor(WinMain::Instance()->ColorBG);
    Well("cH0")->setColor(WinMain::Instance()->ColorH0);
    Well("cH1")->setColor(WinMain::Instance()->ColorH1);
    Well("cM0")->setColor(WinMain::Instance()->ColorM0);
    Well("cM1")->setColor(WinMain::Instance()->ColorM1);
    Well("cOff")->setColor(WinMain::Instance()->ColorOff);
}

Ref<SmartColorWell> winColors::Well(const std::string& name) const { return ControlByName(name).As<SmartColorWell>(); }

void winColors::TakeColor(const std::string& well, Color WinMain::*field) {
    (*WinMain::Instance()).*field = Well(well)->getColor();
    WinMain::Instance()->UpdateDisplay(nullptr);
    WinMain::Instance()->Refresh(true);
}

template <typename T>
void winColors::Make(const std::string& name, const PropertySet& properties) {
    auto control = New<T>();
    control->Constructor();
    AddControl(control, name);
    ControlByName(name)->SetProperties(properties);
}

}  // namespace kivra
