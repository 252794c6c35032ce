#pragma once

// Framework-internal: the application's connection to its X server.

struct xcb_connection_t;

namespace kivra::framework::detail {

// Null unless the application runs on X11 (tests run offscreen, and a
// Wayland session has no connection of ours).
xcb_connection_t* XConnection();

}  // namespace kivra::framework::detail
