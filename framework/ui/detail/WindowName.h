#pragma once

// Framework-internal: the name a window manager shows for a window.

class QWidget;

namespace kivra::framework::detail {

// Qt puts the application's name in _NET_WM_NAME of a window whose title is
// empty (WM_NAME stays empty), and managers show it. This empties
// _NET_WM_NAME too, so such a window shows no title. Does nothing for a
// titled window, off X11 or before the window exists.
void WriteEmptyName(const QWidget& window);

}  // namespace kivra::framework::detail
