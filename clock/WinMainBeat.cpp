#include "clock/WinMain.h"

#include "framework/app/Timer.h"

namespace kivra {

using framework::Int32;

void WinMain::SecTimer_Action() {
    auto d = framework::New<framework::Date>();
    const Int32 sec = d->Second();
    const Int32 min = d->Minute();

    if (mLastSecond == -1) {
        mLastSecond = sec;
        return;
    }

    if (mSecTimer->Period() != 100) mSecTimer->Period(100);

    // The beat only chooses when a face that shows the current time gets a
    // fresh pattern. A face that shows another time (the opening pattern, a
    // clock set or resumed, a new time zone) is mended at once.
    const bool current = d->Hour() == mShownHour && min == mShownMinute;
    if (current) {
        if (mChangeMode == 1) {
            if (sec % 4 != 0) return;
        } else if (mChangeMode == 2) {
            if (sec % 60 != 0) return;
        }

        // A second that returns in another minute counts as new.
        if (sec == mLastSecond && min == mLastMinute) return;
    }

    mLastSecond = sec;
    mLastMinute = min;
    UpdateDisplay(d);
}

}  // namespace kivra
