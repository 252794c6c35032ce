#include "clock/ClockDigits.h"

namespace kivra {

using framework::Int32;

ClockDigits ClockDigits::FromTime(Int32 hour, Int32 minute, bool twentyFourHour) {
    Int32 h = hour;
    if (!twentyFourHour) {
        if (h == 0)
            h = 12;
        else if (h > 12)
            h -= 12;
    }
    ClockDigits digits;
    digits.minuteTens = minute / 10;
    digits.minuteUnits = minute - 10 * digits.minuteTens;
    digits.hourTens = h / 10;
    digits.hourUnits = h - 10 * digits.hourTens;
    return digits;
}

}  // namespace kivra
