#include "framework/QuitMenuItem.h"

#include "framework/Runtime.h"

namespace kivra::framework {

bool QuitMenuItem::Event_Action() {
    Quit(0);
    return true;
}

}  // namespace kivra::framework
