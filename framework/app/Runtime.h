#pragma once

#include <memory>

#include "framework/values/Ref.h"
#include "framework/values/RuntimeException.h"

namespace kivra::framework {

class Application;

// Initialises the framework; picks the X11 platform when a display is
// available. False, with the reason on standard error, when there is no
// display to show the program on.
bool RuntimeInit(int& argc, char** argv);
void RuntimeRegisterAppObject(const Ref<Application>& app);
Ref<Application> GetAppObject();
// Runs the event loop until the application quits. Start-up ends here.
void RuntimeRun();
// The report of an exception that reached the top.
void UnhandledException(const RuntimeException& error);
// Shuts the framework down; gives the exit status.
int RuntimeExit();
// Closes every window (each Close handler runs once), then ends the event loop.
// A signal (SIGTERM, SIGINT, SIGHUP) quits the same way, after taking down any
// box, picker or menu that is up; one that comes during start-up, once
// RuntimeRun begins.
void Quit(int code = 0);

// Runs a piece of program code called from the platform; what escapes it goes
// to the application's UnhandledException event.
template <typename F>
void Guarded(F&& f);
void ReportEscaped(std::exception_ptr error);

template <typename F>
void Guarded(F&& f) {
    try {
        f();
    } catch (...) {
        ReportEscaped(std::current_exception());
    }
}

}  // namespace kivra::framework
