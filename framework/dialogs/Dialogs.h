#pragma once

#include <string>

#include "framework/values/Color.h"

namespace kivra::framework {

// A modal alert with one text and an OK button.
void MsgBox(const std::string& text);
// The modal colour picker, starting from c; c holds the picked colour on return
// (unchanged on cancel). True when the user confirmed.
bool SelectColor(Color& c, const std::string& prompt);
// Opens the address in the user's browser.
void ShowURL(const std::string& url);

}  // namespace kivra::framework
