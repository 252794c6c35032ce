#include <exception>

#include "clock/App.h"
#include "clock/FileTypes.h"
#include "clock/WinMain.h"
#include "framework/app/Runtime.h"
#include "framework/values/Ref.h"
#include "framework/values/RuntimeException.h"
#include "windows/MenuBar1.h"

namespace kivra {

namespace {

using framework::RuntimeException;

void InitFileTypes() { FileTypes::Initialize(); }

void NewAppInstance() {
    framework::Ref<App> app = framework::New<App>();
    app->MenuBar(MenuBar1::Instance());
    framework::RuntimeRegisterAppObject(app);
}

void ApplicationAddMenuHandlers() {
    // The application object owns its handlers and lives until the process
    // ends, so they hold it by reference rather than keep it alive themselves.
    App& about = *App::Instance();
    about.AddMenuHandler("HelpAboutKivra", [&about] { return about.HelpAboutKivra_Action(); });
    App& help = *App::Instance();
    help.AddMenuHandler("HelpHelp", [&help] { return help.HelpHelp_Action(); });
}

void MakeDefaultView() { WinMain::Instance(); }

void Main() {
    try {
        InitFileTypes();
        NewAppInstance();
        ApplicationAddMenuHandlers();
        MakeDefaultView();
        framework::RuntimeRun();
    } catch (const RuntimeException& error) {
        framework::UnhandledException(error);
    } catch (const std::exception& error) {
        framework::UnhandledException(RuntimeException(error.what()));
    } catch (...) {
        framework::UnhandledException(RuntimeException());
    }
}

}  // namespace

}  // namespace kivra

int main(int argc, char** argv) {
    if (!kivra::framework::RuntimeInit(argc, argv)) return 1;
    kivra::Main();
    kivra::FileTypes::pText = nullptr;
    kivra::MenuBar1::Release();
    return kivra::framework::RuntimeExit();
}
