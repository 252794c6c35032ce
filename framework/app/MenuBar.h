#pragma once

#include "framework/app/MenuItem.h"

namespace kivra::framework {

// The application's menu bar: its children are the menus.
class MenuBar : public MenuItem {};

}  // namespace kivra::framework
