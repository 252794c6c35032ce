#include "clock/WinMain.h"

#include <algorithm>

#include "clock/ClockDigits.h"

namespace kivra {

using framework::Color;
using framework::Int32;

void WinMain::UpdateDisplay(framework::Ref<framework::Date> d) {
    if (!d || d->Operator_Compare(nullptr) == 0) d = framework::New<framework::Date>();
    // Noted first: a drawing that fails must not make every tick try again.
    mShownHour = d->Hour();
    mShownMinute = d->Minute();

    const ClockDigits digits = ClockDigits::FromTime(d->Hour(), d->Minute(), m24hr);
    ShowDigit(sMin0, digits.minuteUnits, ColorM0);
    ShowDigit(sMin1, digits.minuteTens, ColorM1);
    ShowDigit(sHr0, digits.hourUnits, ColorH0);
    ShowDigit(sHr1, digits.hourTens, ColorH1);

    BackColor(ColorBG);
    if (mUpdateIcon) UpdateAppIcon();
}

template <std::size_t N>
void WinMain::ShowDigit(const std::array<Square, N>& group, Int32 digit, Color lit) {
    constexpr Int32 n = static_cast<Int32>(N);
    // A digit never exceeds its group; should a date ever give more, lighting
    // the whole group beats drawing for ever.
    const Int32 count = std::clamp(digit, 0, n);

    std::array<bool, N> flags{};
    for (Int32 c = 0; c < count; ++c) {
        Int32 j = r->InRange(0, n - 1);
        while (flags[static_cast<std::size_t>(j)]) j = r->InRange(0, n - 1);
        flags[static_cast<std::size_t>(j)] = true;
    }

    for (std::size_t k = 0; k < N; ++k) {
        const Color wanted = flags[k] ? lit : ColorOff;
        if (group[k]->FillColor() != wanted) group[k]->FillColor(wanted);
    }
}

}  // namespace kivra
