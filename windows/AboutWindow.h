#pragma once

#include <string>

#include "framework/drawing/Graphics.h"
#include "framework/ui/Window.h"
#include "framework/values/Ref.h"
#include "framework/values/Types.h"

namespace kivra {

// The program's name, version, credits and notice, between its icon and a
// badge that opens the program's web page. Shown tall with the credits or
// short without them.
class AboutWindow : public framework::Window {
public:
    // The open About window, or a new one.
    static framework::Ref<AboutWindow> Instance();

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void AppIconCanvas_Paint(framework::Graphics& g);
    void StatAppName_Open();
    void StatAppVersion_Open();
    void EditAppCredits_Open();
    void StatAppCopyright_Open();
    bool TolvIconCanvas_MouseDown(framework::Int32 X, framework::Int32 Y);
    void TolvIconCanvas_Paint(framework::Graphics& g);
    // Fills the window and shows it, with the credits or without.
    void Show(bool useCredits);

    static constexpr const char* kWebPage = "https://kivra.example/";

protected:
    // Puts text into the credits field; with parseTags its <b>, <i> and
    // <font size="n"> tags (and their closing forms) become styles.
    void SetCreditsFieldText(const std::string& text, bool parseTags);
    void SetupWindow();
    std::string VersionString();
    // The version text for these numbers.
    static std::string VersionText(framework::Int32 major, framework::Int32 minor, framework::Int32 bug,
                                   framework::Int32 stageCode, framework::Int32 nonReleaseVersion);

    bool UseCredits = false;
};

}  // namespace kivra
