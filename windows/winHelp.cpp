#include "windows/winHelp.h"

#include "framework/ui/Control.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/StaticText.h"

namespace kivra {

using framework::Color;
using framework::Control;
using framework::PushButton;
using framework::Ref;
using framework::StaticText;

framework::Ref<winHelp> winHelp::Instance() {
    if (Ref<winHelp> open = framework::GetImplicitWindow("winHelp.winHelp").As<winHelp>()) return open;
    Ref<winHelp> window = framework::New<winHelp>();
    window->Constructor("winHelp.winHelp");
    return window;
}

void winHelp::Layout() {
    SetProperties({
        {"Placement", 0},
        {"Width", 300},
        {"Height", 86},
        {"MinWidth", 64},
        {"MinHeight", 64},
        {"MaxWidth", 32000},
        {"MaxHeight", 32000},
        {"Frame", 0},
        {"Composite", false},
        {"HasBackColor", false},
        {"BackColor", Color(0xFFFFFF)},
        {"Title", std::string("Kivra Help")},
        {"Visible", true},
        {"FullScreen", false},
        {"MenuBarVisible", true},
        {"CloseButton", true},
        {"Resizeable", false},
        {"LiveResize", true},
        {"MaximizeButton", false},
        {"MinimizeButton", true},
        {"MacProcID", 0},
    });
}

void winHelp::CreateControls() { CreateControls0(); }

void winHelp::CreateControls0() {
    AddControl(New<StaticText>(), "StaticText1");
    ControlByName("StaticText1")
        ->SetProperties({
            {"Name", std::string("StaticText1")},
            {"Index", Control::kNoIndex},
            {"Left", 20},
            {"Top", 14},
            {"Width", 260},
            {"Height", 20},
            {"LockLeft", false},
            {"LockTop", false},
            {"LockRight", false},
            {"LockBottom", false},
            {"TabPanelIndex", 0},
            {"TabIndex", 0},
            {"Text", std::string("Help for Kivra is not available")},
            {"TextAlign", 1},
            {"TextColor", Color(0x000000)},
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
            {"InitialParent", std::string()},
        });

    AddControl(New<PushButton>(), "PushButton1");
    ControlByName("PushButton1")
        ->SetProperties({
            {"Name", std::string("PushButton1")},
            {"Index", Control::kNoIndex},
            {"Left", 110},
            {"Top", 46},
            {"Width", 80},
            {"Height", 20},
            {"LockLeft", false},
            {"LockTop", false},
            {"LockRight", false},
            {"LockBottom", false},
            {"TabPanelIndex", 0},
            {"TabIndex", 1},
            {"TabStop", true},
            {"Caption", std::string("OK")},
            {"Default", true},
            {"Cancel", false},
            {"Enabled", true},
            {"Visible", true},
            {"HelpTag", std::string()},
            {"AutoDeactivate", true},
            {"TextFont", std::string("System")},
            {"TextSize", 0},
            {"Bold", false},
            {"Italic", false},
            {"Underline", false},
            {"InitialParent", std::string()},
        });
    ControlByName("PushButton1").As<PushButton>()->Action.Bind(this, &winHelp::PushButton1_Action);
}

void winHelp::PushButton1_Action() { Close(); }

}  // namespace kivra
