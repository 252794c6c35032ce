#pragma once

#include <ctime>

// Reads the local time as framework/values/Date.cpp does, so that a floor pays
// what the clock pays for it: the zone is looked at again (tzset, which stats
// the zone file) at most once a second, decided by a coarse monotonic clock
// that costs no system call, then std::time and localtime_r.
// QTime::currentTime() would call tzset on every tick.
bool ReadLocalTime(std::tm& local);
