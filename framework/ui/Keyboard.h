#pragma once

namespace kivra::framework::Keyboard {

// The modifier keys as they are now. Option is Alt and Command is Ctrl on Linux.
bool AsyncAltKey();
bool AsyncOptionKey();
bool AsyncCommandKey();
bool AsyncShiftKey();

}  // namespace kivra::framework::Keyboard

namespace kivra::framework {
// True while the framework delivers a press of the contextual (right) button.
bool IsContextualClick();
}  // namespace kivra::framework
