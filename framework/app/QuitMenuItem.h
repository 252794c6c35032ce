#pragma once

#include "framework/app/MenuItem.h"

namespace kivra::framework {

// Choosing it quits the application.
class QuitMenuItem : public MenuItem {
public:
    bool Event_Action() override;
};

}  // namespace kivra::framework
