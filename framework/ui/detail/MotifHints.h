#pragma once

// Framework-internal: the functions and decorations a window manager offers
// for a window, in the _MOTIF_WM_HINTS property it reads.

class QWidget;

namespace kivra::framework::detail {

struct WindowFunctions {
    bool frameless = false;
    bool close = true;
    bool minimize = false;
    bool maximize = false;
    bool resize = true;
};

// Qt offers resizing in every framed window's hints; this writes what the
// window's property set says instead. Does nothing off X11 or before the
// window exists.
void WriteMotifHints(const QWidget& window, const WindowFunctions& functions);

}  // namespace kivra::framework::detail
