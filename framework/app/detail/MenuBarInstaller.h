#pragma once

// Framework-internal: how the application's menu bar reaches the windows on Linux.

#include "framework/app/MenuBar.h"
#include "framework/values/Ref.h"

namespace kivra::framework {
class Window;
}

namespace kivra::framework::detail {

// The application's menu bar was set.
void InstallMenuBar(const Ref<MenuBar>& bar);
// A window was laid out: give it the menu bar's actions (and, where it shows
// one, the bar itself).
void AttachMenuBar(Window& window);
// The height of the menu bar that the window shows inside itself, above its
// client area; 0 when it shows none (a global menu, or no bar for its frame).
// The window's widget is that much taller than the window, and its controls
// and mouse positions sit that much lower.
int MenuBarHeight(const Window& window);

}  // namespace kivra::framework::detail
