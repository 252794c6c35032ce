#pragma once

#include "framework/values/Types.h"

namespace kivra {

// The four digits a time of day shows on the face. In 12-hour form midnight and
// noon both show 12 and the afternoon hours 1 to 11.
class ClockDigits {
public:
    static ClockDigits FromTime(framework::Int32 hour, framework::Int32 minute, bool twentyFourHour);

    framework::Int32 hourTens = 0;
    framework::Int32 hourUnits = 0;
    framework::Int32 minuteTens = 0;
    framework::Int32 minuteUnits = 0;
};

}  // namespace kivra
