#pragma once

#include "framework/ui/Window.h"
#include "framework/values/Ref.h"

namespace kivra {

// Tells the user that there is no help: one line and an OK button that closes
// the window.
class winHelp : public framework::Window {
public:
    // The open Help window, or a new one.
    static framework::Ref<winHelp> Instance();

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void PushButton1_Action();
};

}  // namespace kivra
