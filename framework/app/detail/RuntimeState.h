#pragma once

// Framework-internal: the process-wide state of the runtime.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/app/Application.h"
#include "framework/ui/Window.h"
#include "framework/values/Ref.h"

namespace kivra::framework::detail {

struct RuntimeState {
    Ref<Application> app;
    // Open windows in the order they were registered.
    std::vector<std::pair<std::string, std::shared_ptr<Window>>> windows;
    // Closed windows wait here until the event that closed them has unwound.
    std::vector<std::shared_ptr<Window>> closed;
    bool quitting = false;
    // Start-up is over: the event loop has been entered.
    bool running = false;
    // A signal came during start-up: quit as soon as it is over.
    bool quitPending = false;
    bool quitRequested = false;
    int quitCode = 0;
    // The program is ending after a signal or without its display: no box can
    // be answered, so a message goes to standard error instead.
    bool quietDialogs = false;
    // The display is gone: no widget may be touched.
    bool displayLost = false;
    bool contextualClick = false;
    bool reporting = false;
};

RuntimeState& State();
// Releases the closed windows once nothing on the stack uses them.
void ScheduleRelease();
void ReleaseClosedWindows();
// Closes every open window, newest first, so a dialog goes before the window
// that opened it.
void CloseWindows();

}  // namespace kivra::framework::detail
