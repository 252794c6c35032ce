#include "framework/app/detail/TimerImpl.h"

#include "framework/app/Runtime.h"
#include "framework/app/Timer.h"

namespace kivra::framework::detail {

TimerImpl::TimerImpl(Timer& owner) {
    QObject::connect(&mTimer, &QTimer::timeout, [&owner] {
        auto keepAlive = owner.shared_from_this();
        if (owner.Mode() == 1) owner.Mode(0);
        Guarded([&owner] { owner.Event_Action(); });
    });
}

}  // namespace kivra::framework::detail
