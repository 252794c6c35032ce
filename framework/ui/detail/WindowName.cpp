#include "framework/ui/detail/WindowName.h"

#include <QWidget>

#include <xcb/xcb.h>

#include "framework/ui/detail/XConnection.h"

namespace kivra::framework::detail {

void WriteEmptyName(const QWidget& window) {
    if (!window.windowTitle().isEmpty() || !window.testAttribute(Qt::WA_WState_Created)) return;
    xcb_connection_t* connection = XConnection();
    if (!connection) return;
    const xcb_atom_t name = InternAtom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = InternAtom(connection, "UTF8_STRING");
    if (name == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE) return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), name, utf8, 8, 0,
                        nullptr);
    xcb_flush(connection);
}

}  // namespace kivra::framework::detail
