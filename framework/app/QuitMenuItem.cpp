#include "framework/app/QuitMenuItem.h"

#include "framework/app/Runtime.h"

namespace kivra::framework {

bool QuitMenuItem::Event_Action() {
    Quit(0);
    return true;
}

}  // namespace kivra::framework
