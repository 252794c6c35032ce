#include "framework/app/Timer.h"

#include <algorithm>

#include "framework/app/detail/TimerImpl.h"
#include "framework/values/PropertyTable.h"

namespace kivra::framework {

Timer::Timer() : mImpl(std::make_unique<detail::TimerImpl>(*this)) { Restart(); }

Timer::~Timer() = default;

void Timer::Mode(Int32 mode) {
    if (mode == mMode) return;
    mMode = mode;
    Restart();
}

void Timer::Period(Int32 milliseconds) {
    if (milliseconds == mPeriod) return;
    mPeriod = milliseconds;
    if (mMode != 0) mImpl->mTimer.setInterval(std::max<Int32>(mPeriod, 1));
}

void Timer::Restart() {
    QTimer& timer = mImpl->mTimer;
    if (mMode == 0) {
        timer.stop();
        return;
    }
    timer.setSingleShot(false);
    // A precise timer, so that a beat set to a second boundary keeps its phase.
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(std::max<Int32>(mPeriod, 1));
}

const PropertyTable<Timer>& Timer::Properties() {
    static const PropertyTable<Timer> table = PropertyTable<Timer>()
                                                  .TakesInt32("Mode", [](Timer& t, Int32 v) { t.Mode(v); })
                                                  .TakesInt32("Period", [](Timer& t, Int32 v) { t.Period(v); })
                                                  .TakesBoolean("Enabled", [](Timer& t, bool v) {
                                                      if (!v) t.Mode(0);
                                                  });
    return table;
}

void Timer::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value)) Control::SetProperty(name, value);
}

}  // namespace kivra::framework
