#pragma once

#include "framework/app/Application.h"
#include "framework/values/Ref.h"
#include "framework/values/RuntimeException.h"

namespace kivra {

class App : public framework::Application {
public:
    // The registered application object; Nil when there is none (or it is no App).
    static framework::Ref<App> Instance();

    bool Event_UnhandledException(const framework::RuntimeException& error) override;
    bool HelpAboutKivra_Action();
    bool HelpHelp_Action();
};

}  // namespace kivra
