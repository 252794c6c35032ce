#pragma once

#include "framework/files/FolderItem.h"
#include "framework/values/Ref.h"

namespace kivra::framework::SpecialFolder {

// The user's preferences folder: $XDG_CONFIG_HOME when it is an absolute path,
// else $HOME/.config; created with mode 0700 when missing. Nil when there is none.
Ref<FolderItem> Preferences();

}  // namespace kivra::framework::SpecialFolder
