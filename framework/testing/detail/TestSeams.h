#pragma once

// Framework-internal: everything the test seams of framework/testing/Testing.h set,
// in one place, so that one call puts it all back as the program finds it.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/testing/Testing.h"
#include "framework/values/Types.h"

namespace kivra::framework::detail {

struct TestSeams {
    // A replaced clock for new Dates, and the seed of every new Random.
    std::function<testing::LocalTime()> clock;
    std::optional<unsigned long long> randomSeed;
    // While dialogs are scripted none is shown: each call is recorded, and
    // answered from the script.
    bool dialogsScripted = false;
    std::vector<std::string> msgBoxLog;
    std::function<void()> whileNextMsgBoxIsUp;
    std::deque<testing::ColorAnswer> colorAnswers;
    std::vector<testing::SelectColorCall> selectColorLog;
    std::vector<std::string> showURLLog;
    std::vector<std::string> dragLog;
    // The next context menu's answer, and the entries of the last one shown.
    std::optional<std::string> scriptedMenuChoice;
    std::vector<testing::MenuEntry> lastContextMenu;
    // Modifier keys as the program reads them, instead of the keyboard's.
    std::optional<testing::Modifiers> modifiers;
    // Saves write a named temporary file even where an unnamed one would do.
    bool namedTemporaryFiles = false;
    // Redraw requests of controls and background writes of windows, counted
    // from the first time a test asks for a count: a running program pays
    // one test of a flag for them.
    bool counting = false;
    std::unordered_map<const void*, Int32> redraws, backColorWrites;
};

TestSeams& Seams();

inline void Count(std::unordered_map<const void*, Int32> TestSeams::*counts, const void* of) {
    if (TestSeams& seams = Seams(); seams.counting) ++(seams.*counts)[of];
}

}  // namespace kivra::framework::detail
