#include "windows/AboutWindow.h"

#include "clock/App.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/drawing/Picture.h"
#include "framework/ui/Canvas.h"
#include "framework/ui/Control.h"
#include "framework/ui/EditField.h"
#include "framework/ui/StaticText.h"
#include "framework/values/NilObjectException.h"
#include "framework/values/Strings.h"
#include "windows/BundlePictures.h"

namespace kivra {

using framework::Canvas;
using framework::Color;
using framework::Control;
using framework::EditField;
using framework::Graphics;
using framework::Int32;
using framework::Picture;
using framework::Ref;
using framework::StaticText;
using framework::Str;

namespace {

constexpr const char* kAppName = "Kivra";
constexpr const char* kVersionPrefix = "Version ";
constexpr const char* kNotice = "Copyright 2026 the Kivra developers,\rAll rights reserved.";
// The credits with the tags that the credits field turns into styles.
constexpr const char* kCredits =
    "<b>Author:</b>\r"
    "      The Kivra developers\r"
    "\r"
    "<b><i>With special thanks to:</i></b>\r"
    "      everyone who watched the squares and told us what they saw\r"
    "      https://kivra.example/\r"
    "\r"
    "<i>All trademarks named here belong to their owners.</i>\r"
    "\r"
    "<b>Disclaimer:</b>\r"
    "<font size=\"10\">THIS PROGRAM IS PROVIDED AS IT IS, WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED. "
    "IN NO EVENT SHALL ITS AUTHORS BE LIABLE FOR ANY CLAIM, DAMAGE OR OTHER LIABILITY ARISING FROM ITS "
    "USE.</font>";

template <typename T>
Ref<T> Find(const AboutWindow& window, const std::string& name) {
    Ref<T> control = window.ControlByName(name).As<T>();
    if (!control) throw framework::NilObjectException();
    return control;
}

}  // namespace

Ref<AboutWindow> AboutWindow::Instance() {
    if (Ref<AboutWindow> open = framework::GetImplicitWindow("AboutWindow.AboutWindow").As<AboutWindow>()) return open;
    Ref<AboutWindow> window = framework::New<AboutWindow>();
    window->Constructor("AboutWindow.AboutWindow");
    return window;
}

void AboutWindow::Layout() {
    SetProperties({
        {"Placement", 2},
        {"Width", 284},
        {"Height", 366},
        {"MinWidth", 64},
        {"MinHeight", 64},
        {"MaxWidth", 32000},
        {"MaxHeight", 32000},
        {"Frame", 0},
        {"Composite", false},
        {"HasBackColor", false},
        {"BackColor", Color(0xFFFFFF)},
        {"Title", std::string()},
        {"Visible", true},
        {"FullScreen", false},
        {"MenuBarVisible", true},
        {"CloseButton", true},
        {"Resizeable", false},
        {"LiveResize", false},
        {"MaximizeButton", false},
        {"MinimizeButton", false},
        {"MacProcID", 0},
    });
}

void AboutWindow::CreateControls() { CreateControls0(); }

void AboutWindow::CreateControls0() {
    const auto canvas = [this](const std::string& name, Int32 left, Int32 top, Int32 width, Int32 height,
                               Int32 tabIndex, bool focusRing) {
        AddControl(New<Canvas>(), name);
        ControlByName(name)->SetProperties({
            {"Name", name},
            {"Index", Control::kNoIndex},
            {"Left", left},
            {"Top", top},
            {"Width", width},
            {"Height", height},
            {"LockLeft", false},
            {"LockTop", false},
            {"LockRight", false},
            {"LockBottom", false},
            {"TabPanelIndex", 0},
            {"TabIndex", tabIndex},
            {"TabStop", true},
            {"HelpTag", std::string()},
            {"Enabled", true},
            {"Visible", true},
            {"AutoDeactivate", true},
            {"AcceptFocus", false},
            {"AcceptTabs", false},
            {"EraseBackground", true},
            {"UseFocusRing", focusRing},
            {"InitialParent", std::string()},
        });
        return Find<Canvas>(*this, name);
    };
    const auto label = [this](const std::string& name, Int32 top, Int32 height, Int32 tabIndex, const std::string& text,
                              Int32 textSize, bool bold, bool multiline) {
        AddControl(New<StaticText>(), name);
        ControlByName(name)->SetProperties({
            {"Name", name},
            {"Index", Control::kNoIndex},
            {"Left", 20},
            {"Top", top},
            {"Width", 244},
            {"Height", height},
            {"LockLeft", false},
            {"LockTop", false},
            {"LockRight", false},
            {"LockBottom", false},
            {"TabPanelIndex", 0},
            {"TabIndex", tabIndex},
            {"Text", text},
            {"TextAlign", 1},
            {"TextColor", Color(0x000000)},
            {"Multiline", multiline},
            {"Enabled", true},
            {"Visible", true},
            {"HelpTag", std::string()},
            {"AutoDeactivate", false},
            {"TextFont", std::string("System")},
            {"TextSize", textSize},
            {"Bold", bold},
            {"Italic", false},
            {"Underline", false},
            {"DataSource", std::string()},
            {"DataField", std::string()},
            {"InitialParent", std::string()},
        });
        return Find<StaticText>(*this, name);
    };

    canvas("AppIconCanvas", 110, 8, 64, 64, 0, true)->Paint.Bind(this, &AboutWindow::AppIconCanvas_Paint);
    label("StatAppName", 86, 16, 1, "kAppName", 14, true, false)->Open.Bind(this, &AboutWindow::StatAppName_Open);
    label("StatAppVersion", 112, 12, 2, "kAppVersion", 10, false, false)
        ->Open.Bind(this, &AboutWindow::StatAppVersion_Open);

    AddControl(New<EditField>(), "EditAppCredits");
    ControlByName("EditAppCredits")
        ->SetProperties({
            {"Name", std::string("EditAppCredits")},
            {"Index", Control::kNoIndex},
            {"Left", 0},
            {"Top", 132},
            {"Width", 284},
            {"Height", 140},
            {"LockLeft", true},
            {"LockTop", true},
            {"LockRight", true},
            {"LockBottom", true},
            {"TabPanelIndex", 0},
            {"TabIndex", 3},
            {"TabStop", true},
            {"Text", std::string("Plain Text: kAppCredits\rHTML Text: kAppCreditsHTML")},
            {"Alignment", 0},
            {"TextSize", 12},
            {"Border", true},
            {"Multiline", true},
            {"ScrollbarHorizontal", false},
            {"ScrollbarVertical", true},
            {"Styled", true},
            {"Password", false},
            {"UseFocusRing", true},
            {"TextColor", Color(0x000000)},
            {"BackColor", Color(0xFFFFFF)},
            {"Format", std::string()},
            {"HelpTag", std::string()},
            {"Enabled", true},
            {"Visible", true},
            {"AutoDeactivate", false},
            {"TextFont", std::string("System")},
            {"Bold", false},
            {"Italic", false},
            {"Underline", false},
            {"Mask", std::string()},
            {"ReadOnly", true},
            {"LimitText", 0},
            {"AcceptTabs", false},
            {"DataSource", std::string()},
            {"DataField", std::string()},
            {"InitialParent", std::string()},
        });
    Find<EditField>(*this, "EditAppCredits")->Open.Bind(this, &AboutWindow::EditAppCredits_Open);

    label("StatAppCopyright", 280, 32, 4, "kAppCopyright", 10, false, true)
        ->Open.Bind(this, &AboutWindow::StatAppCopyright_Open);

    Ref<Canvas> badge = canvas("TolvIconCanvas", 34, 324, 216, 30, 5, false);
    badge->MouseDown.Bind(this, &AboutWindow::TolvIconCanvas_MouseDown);
    badge->Paint.Bind(this, &AboutWindow::TolvIconCanvas_Paint);
}

void AboutWindow::AppIconCanvas_Paint(Graphics& g) {
    Ref<Picture> mask = AboutIcon()->Mask(true);
    if (!mask) throw framework::NilObjectException();
    Ref<Graphics> maskGraphics = mask->Graphics();
    if (!maskGraphics) throw framework::NilObjectException();
    maskGraphics->DrawPicture(AboutMask(), 0, 0, framework::Graphics::kOwnSize, framework::Graphics::kOwnSize, 0, 0,
                              framework::Graphics::kOwnSize, framework::Graphics::kOwnSize);
    g.DrawPicture(AboutIcon(), 0, 0, 64, 64, 0, 0, AboutIcon()->Width(), AboutIcon()->Height());
}

void AboutWindow::StatAppName_Open() {}
void AboutWindow::StatAppVersion_Open() {}
void AboutWindow::EditAppCredits_Open() {}
void AboutWindow::StatAppCopyright_Open() {}

bool AboutWindow::TolvIconCanvas_MouseDown(Int32, Int32) {
    framework::ShowURL(kWebPage);
    return false;
}

void AboutWindow::TolvIconCanvas_Paint(Graphics& g) {
    Ref<Picture> mask = Plenko()->Mask(true);
    if (!mask) throw framework::NilObjectException();
    Ref<Graphics> maskGraphics = mask->Graphics();
    if (!maskGraphics) throw framework::NilObjectException();
    maskGraphics->DrawPicture(PlenkoMask(), 0, 0, framework::Graphics::kOwnSize, framework::Graphics::kOwnSize, 0, 0,
                              framework::Graphics::kOwnSize, framework::Graphics::kOwnSize);
    g.DrawPicture(Plenko(), 0, 0, 216, 30, 0, 0, 216, 30);
}

void AboutWindow::Show(bool useCredits) {
    UseCredits = useCredits;
    SetupWindow();
    Window::Show();
}

void AboutWindow::SetupWindow() {
    Find<StaticText>(*this, "StatAppName")->Text(kAppName);
    Find<StaticText>(*this, "StatAppVersion")->Text(kVersionPrefix + VersionString());
    Find<StaticText>(*this, "StatAppCopyright")->Text(kNotice);
    if (UseCredits) {
        SetCreditsFieldText(kCredits, true);
        Find<StaticText>(*this, "StatAppCopyright")->Top(280);
        Find<EditField>(*this, "EditAppCredits")->Visible(true);
        Height(366);
        Find<Canvas>(*this, "TolvIconCanvas")->Top(324);
    } else {
        Find<EditField>(*this, "EditAppCredits")->Visible(false);
        Find<StaticText>(*this, "StatAppCopyright")->Top(132);
        Height(218);
        Find<Canvas>(*this, "TolvIconCanvas")->Top(176);
    }
}

std::string AboutWindow::VersionString() {
    const Int32 major = App::Instance()->MajorVersion();
    const Int32 minor = App::Instance()->MinorVersion();
    const Int32 bug = App::Instance()->BugVersion();
    const Int32 stage = App::Instance()->StageCode();
    return VersionText(major, minor, bug, stage, App::Instance()->NonReleaseVersion());
}

std::string AboutWindow::VersionText(Int32 major, Int32 minor, Int32 bug, Int32 stageCode, Int32 nonReleaseVersion) {
    std::string text = Str(major) + "." + Str(minor) + "." + Str(bug);
    const std::string n = Str(nonReleaseVersion);
    switch (stageCode) {
        case 0:
            text += " (Dev. " + n + ")";
            break;
        case 1:
            text += "a (" + n + ")";
            break;
        case 2:
            text += "b (" + n + ")";
            break;
        case 3:
            text += " (" + n + ")";
            break;
        default:
            break;
    }
    return text;
}

}  // namespace kivra
