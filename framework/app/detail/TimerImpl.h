#pragma once

// Framework-internal: the Qt timer behind a Timer.

#include <QTimer>

namespace kivra::framework {
class Timer;
}

namespace kivra::framework::detail {

class TimerImpl {
public:
    // Raises the owner's Action at each firing; a single-shot timer turns
    // itself off first, as the program expects of mode 1.
    explicit TimerImpl(Timer& owner);

    QTimer mTimer;
};

}  // namespace kivra::framework::detail
