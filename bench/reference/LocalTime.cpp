#include "LocalTime.h"

bool ReadLocalTime(std::tm& local) {
    static std::time_t lastZoneCheck = -1;
    timespec coarse{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &coarse);
    if (coarse.tv_sec != lastZoneCheck) {
        lastZoneCheck = coarse.tv_sec;
        tzset();
    }
    const std::time_t now = std::time(nullptr);
    return localtime_r(&now, &local) != nullptr;
}
