#include "framework/app/Runtime.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <malloc.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <vector>

#include "framework/app/Application.h"
#include "framework/app/DockItem.h"
#include "framework/app/detail/RuntimeState.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/XConnection.h"

namespace kivra::framework {

namespace {

std::unique_ptr<QApplication> gQtApp;
int gSignalPipe[2] = {-1, -1};
QSocketNotifier* gSignalNotifier = nullptr;
// RuntimeExit has run: the process ends the normal way.
bool gExited = false;

// A box, the colour picker or a menu that is up runs its own event loop and
// holds the code that opened it until it goes; taking it down lets that code
// go on as if the user had dismissed it.
void CloseModalUi() {
    for (QWidget *popup = QApplication::activePopupWidget(), *last = nullptr; popup && popup != last;
         last = popup, popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->isVisible()) dialog->reject();
    }
}

// Qt ends the process with exit() when its X connection breaks, in the middle
// of whatever it was doing. Left to the exit handlers, the application would
// be destroyed under that code and crash, and nothing would be saved. This
// handler runs before them: it closes the windows the way Quit does, with no
// box and no call to the display, and ends the process at once.
void EndWithoutDisplay() {
    if (gExited) return;
    auto& state = detail::State();
    state.displayLost = true;
    state.quietDialogs = true;
    state.quitting = true;
    state.quitRequested = true;
    detail::CloseWindows();
    std::fflush(nullptr);
    _exit(1);
}

// A beat sends the squares that changed (most of a megabyte in a 2040 x 600
// window) and, with the dock icon, 64 kB more. A local socket takes more
// only while less than a quarter of its buffer is still unread, so with the
// default buffer each beat waited for the server to read, a sleep and a
// wake-up for nothing. The kernel caps what is asked at net.core.wmem_max.
void WidenXSendBuffer() {
    xcb_connection_t* connection = detail::XConnection();
    if (!connection) return;
    const int bytes = 4 << 20;
    setsockopt(xcb_get_file_descriptor(connection), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

bool CanOpenX11Display(const char* display) {
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

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
        // settings are written. Nobody may be there to answer a box, so none
        // comes up from here on, and one that is up is taken down.
        auto& state = detail::State();
        state.quietDialogs = true;
        CloseModalUi();
        // During start-up the code of a window's Open is still on the stack
        // (a box of its own brought this turn of the loop): closing the
        // window under it would have it open a second one. The quit waits
        // until start-up is over.
        if (!state.running) {
            state.quitPending = true;
            return;
        }
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

void CloseWindows() {
    auto windows = OpenWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        Window& window = **it;
        Guarded([&window] { window.Close(); });
    }
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

bool RuntimeInit(int& argc, char** argv) {
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
    // (XWayland on a Wayland desktop) when its display answers, else Wayland.
    // With neither, Qt would run the clock on no screen at all, and it would
    // save a place and size that no one saw.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if (display && *display && CanOpenX11Display(display)) {
            setForQt("QT_QPA_PLATFORM", "xcb");
        } else if (wayland && *wayland) {
            setForQt("QT_QPA_PLATFORM", "wayland");
        } else {
            if (display && *display)
                std::fprintf(stderr, "kivra: cannot open display %s\n", display);
            else
                std::fprintf(stderr, "kivra: cannot open display: DISPLAY is not set\n");
            return false;
        }
    }
    // The clock repaints a few small squares every second. Through X shared
    // memory each such repaint first waits for the server to finish reading
    // the last one, a round trip that wakes two threads; sending the few
    // pixels with the request costs less.
    setForQt("QT_XCB_NO_MITSHM", "1");
    gQtApp = std::make_unique<QApplication>(argc, argv);
    for (const char* name : ours) unsetenv(name);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName("Kivra");
    WidenXSendBuffer();
    InstallSignalHandlers();
    // Exit handlers run newest first: registered after the application and
    // the runtime's state exist, this one runs while both are still there.
    detail::State();
    std::atexit(EndWithoutDisplay);
    return true;
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
    state.running = true;
    if (state.quitPending) Guarded([] { Quit(0); });
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
    gExited = true;
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
    detail::CloseWindows();
    QCoreApplication::exit(code);
}

}  // namespace kivra::framework
