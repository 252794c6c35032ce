#pragma once

#include "framework/app/MenuItem.h"

namespace kivra::framework {

// An item that stands in the application menu where the desktop has one; on
// Linux it stays in its own menu.
class AppleMenuItem : public MenuItem {};

}  // namespace kivra::framework
