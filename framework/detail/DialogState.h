#pragma once

// Framework-internal: whether the test seams answer dialogs.

namespace kivra::framework::detail {

bool DialogsScripted();

}  // namespace kivra::framework::detail
