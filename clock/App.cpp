#include "clock/App.h"

#include "framework/app/Runtime.h"
#include "framework/dialogs/Dialogs.h"
#include "windows/AboutWindow.h"
#include "windows/winHelp.h"

namespace kivra {

framework::Ref<App> App::Instance() { return framework::GetAppObject().As<App>(); }

bool App::Event_UnhandledException(const framework::RuntimeException&) {
    framework::MsgBox("An unhandled Exeption has occured");
    return false;
}

bool App::HelpAboutKivra_Action() {
    AboutWindow::Instance()->Show(true);
    return true;
}

bool App::HelpHelp_Action() {
    winHelp::Instance()->Show();
    return true;
}

}  // namespace kivra
