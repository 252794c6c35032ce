#include "framework/Timer.h"

#include <QTimer>

#include <algorithm>

#include "framework/Runtime.h"

namespace kivra::framework {

namespace detail {

class TimerImpl {
public:
    explicit TimerImpl(Timer& owner) {
        QObject::connect(&mTimer, &QTimer::timeout, [&owner] {
            auto keepAlive = owner.shared_from_this();
            if (owner.Mode() == 1) owner.Mode(0);
            Guarded([&owner] { owner.Event_Action(); });
        });
    }
    QTimer mTimer;
};

}  // namespace detail

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

void Timer::SetProperty(const std::string& name, const PropertyValue& value) {
    if (name == "Mode") {
        Mode(PropertyInt32(name, value));
    } else if (name == "Period") {
        Period(PropertyInt32(name, value));
    } else if (name == "Enabled") {
        if (!PropertyBoolean(name, value)) Mode(0);
    } else {
        Control::SetProperty(name, value);
    }
}

}  // namespace kivra::framework
