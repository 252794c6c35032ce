#pragma once

// Framework-internal: how the application's menu bar reaches the windows on Linux.

#include "framework/MenuBar.h"
#include "framework/Ref.h"

namespace kivra::framework {
class Window;
}

namespace kivra::framework::detail {

// The application's menu bar was set.
void InstallMenuBar(const Ref<MenuBar>& bar);
// A window was laid out: give it the menu bar's actions (and, where it shows
// one, the bar itself).
void AttachMenuBar(Window& window);

}  // namespace kivra::framework::detail
