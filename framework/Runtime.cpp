#include "framework/Runtime.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <vector>

#include "framework/Application.h"
#include "framework/DockItem.h"
#include "framework/Window.h"
#include "framework/detail/RuntimeState.h"

namespace kivra::framework {

namespace {

std::unique_ptr<QApplication> gQtApp;
int gSignalPipe[2] = {-1, -1};
QSocketNotifier* gSignalNotifier = nullptr;

void OnSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the event loop does the rest.
    [[maybe_unused]] ssize_t n = write(gSignalPipe[1], &byte, 1);
}

void InstallSignalHandlers() {
    if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
    gSignalNotifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, gQtApp.get());
    QObject::connect(gSignalNotifier, &QSocketNotifier::activated, [] {
        char buffer[16];
        while (read(gSignalPipe[0], buffer, sizeof buffer) > 0) {
        }
        // A signal ends the clock like Quit: every window's Close runs, so the
        // settings are written.
        Guarded([] { Quit(0); });
    });
}

RuntimeException AsRuntimeException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeException& e) {
        return e;
    } catch (const std::exception& e) {
        return RuntimeException(e.what());
    } catch (...) {
        return RuntimeException("unknown exception");
    }
}

}  // namespace

namespace detail {

RuntimeState& State() {
    static RuntimeState state;
    return state;
}

void ReleaseClosedWindows() {
    auto closed = std::move(State().closed);
    State().closed.clear();
    closed.clear();
}

void ScheduleRelease() {
    if (QCoreApplication::instance()) QTimer::singleShot(0, [] { ReleaseClosedWindows(); });
}

}  // namespace detail

void RuntimeInit(int& argc, char** argv) {
    // Pictures of a window's size come and go every second. With glibc's
    // sliding threshold, the first one freed moves such buffers from mmap into
    // the heap, whose pages are then kept: a clock that runs all day would
    // hold on to its largest picture's worth of memory. A fixed threshold
    // gives every large picture back as soon as it is dropped.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // Settings for Qt's own start-up, taken back once the application exists,
    // so that the programs the clock starts (the browser) do not inherit them.
    std::vector<const char*> ours;
    const auto setForQt = [&ours](const char* name, const char* value) {
        if (std::getenv(name) != nullptr) return;  // the user's choice holds
        setenv(name, value, 1);
        ours.push_back(name);
    };
    // The clock places its own window, which Wayland does not allow: use X11
    // (XWayland on a Wayland desktop) when there is a display, else the default.
    const char* display = std::getenv("DISPLAY");
    if (display && *display) setForQt("QT_QPA_PLATFORM", "xcb;wayland;offscreen");
    // The clock repaints a few small squares every second. Through X shared
    // memory each such repaint first waits for the server to finish reading
    // the last one, a round trip that wakes two threads; sending the few
    // pixels with the request costs less.
    setForQt("QT_XCB_NO_MITSHM", "1");
    gQtApp = std::make_unique<QApplication>(argc, argv);
    for (const char* name : ours) unsetenv(name);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName("Kivra");
    InstallSignalHandlers();
}

void RuntimeRegisterAppObject(const Ref<Application>& app) {
    detail::State().app = app;
    // The taskbar shows Kivra's own icon until the program draws into it.
    if (app) {
        app->DockItem()->ResetIcon();
        app->DockItem()->UpdateNow();
    }
}

Ref<Application> GetAppObject() { return detail::State().app; }

void RuntimeRun() {
    auto& state = detail::State();
    if (state.quitRequested) return;  // quit before the loop began
    QApplication::exec();
}

void UnhandledException(const RuntimeException& error) {
    auto& state = detail::State();
    bool handled = false;
    if (state.app && !state.reporting) {
        state.reporting = true;
        try {
            handled = state.app->Event_UnhandledException(error);
        } catch (...) {
            handled = false;
        }
        state.reporting = false;
    }
    // The program keeps running after an unhandled exception; say what it was
    // where a developer will look.
    if (!handled) std::fprintf(stderr, "kivra: unhandled exception: %s\n", error.what());
}

void ReportEscaped(std::exception_ptr error) { UnhandledException(AsRuntimeException(error)); }

int RuntimeExit() {
    auto& state = detail::State();
    detail::ReleaseClosedWindows();
    state.windows.clear();
    state.app = nullptr;
    // Qt must go before static destruction, while its platform is still there.
    gSignalNotifier = nullptr;
    gQtApp.reset();
    return state.quitCode;
}

void Quit(int code) {
    auto& state = detail::State();
    if (state.quitting) return;
    state.quitting = true;
    state.quitRequested = true;
    state.quitCode = code;
    // Newest first, so a dialog goes before the window that opened it.
    auto windows = OpenWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        Window& window = **it;
        Guarded([&window] { window.Close(); });
    }
    QCoreApplication::exit(code);
}

}  // namespace kivra::framework
