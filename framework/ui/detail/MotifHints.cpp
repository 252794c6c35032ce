#include "framework/ui/detail/MotifHints.h"

#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>

#include "framework/ui/detail/XConnection.h"

namespace kivra::framework::detail {

namespace {

enum : std::uint32_t {
    kHintsFunctions = 1u << 0,
    kHintsDecorations = 1u << 1,
    kFuncResize = 1u << 1,
    kFuncMove = 1u << 2,
    kFuncMinimize = 1u << 3,
    kFuncMaximize = 1u << 4,
    kFuncClose = 1u << 5,
    kDecorBorder = 1u << 1,
    kDecorResizeHandle = 1u << 2,
    kDecorTitle = 1u << 3,
    kDecorMenu = 1u << 4,
    kDecorMinimize = 1u << 5,
    kDecorMaximize = 1u << 6,
};

xcb_atom_t HintsAtom(xcb_connection_t* connection) {
    // Interned once per connection: tests make several applications in turn.
    static xcb_connection_t* lookedUpOn = nullptr;
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (connection == lookedUpOn) return atom;
    lookedUpOn = connection;
    atom = InternAtom(connection, "_MOTIF_WM_HINTS");
    return atom;
}

}  // namespace

void WriteMotifHints(const QWidget& window, const WindowFunctions& f) {
    if (!window.testAttribute(Qt::WA_WState_Created)) return;
    xcb_connection_t* connection = XConnection();
    if (!connection) return;
    const xcb_atom_t atom = HintsAtom(connection);
    if (atom == XCB_ATOM_NONE) return;

    std::uint32_t functions = kFuncMove, decorations = 0;
    if (f.close) functions |= kFuncClose;
    if (f.minimize) functions |= kFuncMinimize;
    if (f.resize) functions |= kFuncResize;
    if (f.resize && f.maximize) functions |= kFuncMaximize;
    if (!f.frameless) {
        decorations = kDecorBorder | kDecorTitle | kDecorMenu;
        if (f.minimize) decorations |= kDecorMinimize;
        if (functions & kFuncMaximize) decorations |= kDecorMaximize;
        if (f.resize) decorations |= kDecorResizeHandle;
    }
    // A frameless window has no buttons to take away, and openbox will not
    // move one whose hints list any functions at all: it says only that it
    // has no frame. Its size hints already keep managers from resizing or
    // maximising it.
    const std::uint32_t flags = f.frameless ? kHintsDecorations : kHintsFunctions | kHintsDecorations;
    // flags, functions, decorations, input mode, status
    const std::uint32_t hints[5] = {flags, f.frameless ? 0 : functions, decorations, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), atom, atom, 32, 5,
                        hints);
    xcb_flush(connection);
}

}  // namespace kivra::framework::detail
