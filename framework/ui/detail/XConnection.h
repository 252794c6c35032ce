#pragma once

// Framework-internal: the application's connection to its X server.

#include <cstdint>

struct xcb_connection_t;

namespace kivra::framework::detail {

// Null unless the application runs on X11 (tests run offscreen, and a
// Wayland session has no connection of ours).
xcb_connection_t* XConnection();

// The atom of that name on the connection; XCB_ATOM_NONE (0) when the server
// does not answer.
std::uint32_t InternAtom(xcb_connection_t* connection, const char* name);

}  // namespace kivra::framework::detail
