// kivra-firstframe: starts a program on the X display in $DISPLAY and tells
// how long it took from exec to its first top-level window being mapped and
// to the first drawing into that window (the first DAMAGE report), then ends
// the program again. With --until-change it also waits for the window's
// pixels to differ from what they were half a second after that first frame:
// a clock that opens on a fixed pattern shows the current time only then.
//
//   kivra-firstframe [--timeout SECONDS] [--hold SECONDS] [--until-change] -- PROGRAM [ARGS...]
//
// Prints one line "map_ms=<ms> frame_ms=<ms> [change_ms=<ms>] window=0x<id>"
// and exits 0; exits 2 when no frame (or change) came in time, 3 when the
// program ended first, 1 on a usage or X error.
//
// The watcher listens for CreateNotify on the root window and puts a damage
// object on every new top-level window before the program can map it, so
// no drawing can slip past between the map and the damage request. Damage
// on a window also reports drawing into its inferiors (Xt programs such as
// xclock draw into a child window).

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    double timeoutSeconds = 30.0;
    double holdSeconds = 0.0;
    bool untilChange = false;
    std::vector<char*> command;
};

[[noreturn]] void Usage(const char* why) {
    std::fprintf(stderr,
                 "kivra-firstframe: %s\n"
                 "usage: kivra-firstframe [--timeout SECONDS] [--hold SECONDS] [--until-change] -- PROGRAM [ARGS...]\n",
                 why);
    std::exit(1);
}

double ParseSeconds(const char* text) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(value >= 0.0)) Usage("not a number of seconds");
    return value;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--until-change") {
            options.untilChange = true;
            continue;
        }
        if (i + 1 >= argc) Usage("an option lacks its value");
        if (arg == "--timeout") {
            options.timeoutSeconds = ParseSeconds(argv[++i]);
        } else if (arg == "--hold") {
            options.holdSeconds = ParseSeconds(argv[++i]);
        } else {
            Usage("unknown option");
        }
    }
    for (; i < argc; ++i) options.command.push_back(argv[i]);
    if (options.command.empty()) Usage("no program given");
    options.command.push_back(nullptr);
    return options;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbPtr = std::unique_ptr<T, XcbFree>;

// Ends the program: politely first, so a clock writes its settings, and
// for good when it does not go within a few seconds.
void EndChild(pid_t child) {
    if (kill(child, SIGTERM) != 0) return;
    for (int i = 0; i < 50; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child) return;
        usleep(100'000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

// The window's pixels as the server holds them; empty when it cannot say.
std::vector<uint8_t> WindowPixels(xcb_connection_t* connection, xcb_window_t window) {
    XcbPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry) return {};
    XcbPtr<xcb_get_image_reply_t> image(xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, geometry->width, geometry->height, ~0u),
        nullptr));
    if (!image) return {};
    const uint8_t* data = xcb_get_image_data(image.get());
    return {data, data + xcb_get_image_data_length(image.get())};
}

int Run(const Options& options) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "kivra-firstframe: cannot open the display %s\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(DISPLAY unset)");
        return 1;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;

    const xcb_query_extension_reply_t* damageExt = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damageExt || !damageExt->present) {
        std::fprintf(stderr, "kivra-firstframe: the X server has no DAMAGE extension\n");
        return 1;
    }
    // The server answers damage requests only after the version handshake.
    XcbPtr<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        connection, xcb_damage_query_version(connection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr));
    if (!version) {
        std::fprintf(stderr, "kivra-firstframe: DAMAGE version query failed\n");
        return 1;
    }
    const uint8_t damageNotify = damageExt->first_event + XCB_DAMAGE_NOTIFY;

    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t select = xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask);
    if (XcbPtr<xcb_generic_error_t> error{xcb_request_check(connection, select)}) {
        std::fprintf(stderr, "kivra-firstframe: cannot watch the root window (X error %d)\n", error->error_code);
        return 1;
    }

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("kivra-firstframe: fork");
        return 1;
    }
    if (child == 0) {
        close(xcb_get_file_descriptor(connection));
        execvp(options.command[0], options.command.data());
        std::fprintf(stderr, "kivra-firstframe: cannot start %s: %s\n", options.command[0], std::strerror(errno));
        _exit(127);
    }

    std::map<xcb_window_t, xcb_damage_damage_t> damages;
    xcb_window_t mapped = XCB_NONE;
    double mapMs = -1.0;
    double frameMs = -1.0;
    double changeMs = -1.0;
    // Drawing up to this long after the first frame still counts as the
    // opening; what the window shows then is what a change is told against.
    constexpr double settleMs = 500.0;
    std::vector<uint8_t> opening;
    const auto finished = [&] { return frameMs >= 0.0 && (!options.untilChange || changeMs >= 0.0); };
    const auto deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.timeoutSeconds));
    int status = 2;
    while (!finished()) {
        if (frameMs >= 0.0 && opening.empty() && MillisecondsSince(start) >= frameMs + settleMs) {
            opening = WindowPixels(connection, mapped);
            if (opening.empty()) {
                std::fprintf(stderr, "kivra-firstframe: cannot read the window's pixels\n");
                status = 1;
                break;
            }
        }
        xcb_generic_event_t* raw = xcb_poll_for_event(connection);
        if (!raw) {
            if (xcb_connection_has_error(connection)) {
                std::fprintf(stderr, "kivra-firstframe: the X connection broke\n");
                status = 1;
                break;
            }
            if (waitpid(child, nullptr, WNOHANG) == child) {
                std::fprintf(stderr, "kivra-firstframe: %s ended before its first frame\n", options.command[0]);
                return 3;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                std::fprintf(stderr, "kivra-firstframe: no %s within %.1f s\n", frameMs < 0.0 ? "frame" : "change",
                             options.timeoutSeconds);
                break;
            }
            long long wait = std::min<long long>(left.count(), 100);
            if (frameMs >= 0.0 && opening.empty())
                wait = std::clamp<long long>(static_cast<long long>(frameMs + settleMs - MillisecondsSince(start)) + 1,
                                             0, wait);
            pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(wait));
            continue;
        }
        XcbPtr<xcb_generic_event_t> event(raw);
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            if (created->parent != root) continue;
            const xcb_damage_damage_t damage = xcb_generate_id(connection);
            xcb_damage_create(connection, damage, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(connection);
            damages[created->window] = damage;
        } else if (type == XCB_MAP_NOTIFY) {
            auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
            if (map->event != root || mapped != XCB_NONE || !damages.contains(map->window)) continue;
            mapped = map->window;
            mapMs = MillisecondsSince(start);
        } else if (type == damageNotify) {
            auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event.get());
            if (mapped != XCB_NONE && notify->drawable == mapped) {
                const double now = MillisecondsSince(start);
                if (frameMs < 0.0) frameMs = now;
                if (options.untilChange) {
                    // Re-armed, so that every later drawing reports too.
                    xcb_damage_subtract(connection, notify->damage, XCB_NONE, XCB_NONE);
                    xcb_flush(connection);
                    if (!opening.empty() && WindowPixels(connection, mapped) != opening) changeMs = now;
                }
                if (finished()) status = 0;
            } else {
                // Drawing into a window that is not (yet) the one on screen
                // re-arms its report so the real first frame still shows.
                xcb_damage_subtract(connection, notify->damage, XCB_NONE, XCB_NONE);
                xcb_flush(connection);
            }
        }
        // X errors (a window gone before its damage object was made) and
        // other events do not matter here.
    }

    if (status == 0) {
        if (options.untilChange) {
            std::printf("map_ms=%.1f frame_ms=%.1f change_ms=%.1f window=0x%x\n", mapMs, frameMs, changeMs, mapped);
        } else {
            std::printf("map_ms=%.1f frame_ms=%.1f window=0x%x\n", mapMs, frameMs, mapped);
        }
        std::fflush(stdout);
        if (options.holdSeconds > 0.0) usleep(static_cast<useconds_t>(options.holdSeconds * 1e6));
    }
    EndChild(child);
    xcb_disconnect(connection);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    return Run(ParseOptions(argc, argv));
}
