#pragma once

#include <memory>

#include "framework/ui/Control.h"
#include "framework/ui/Event.h"

namespace kivra::framework {

namespace detail {
class TimerImpl;
}

// Mode 0 off, 1 fires once, 2 fires every Period milliseconds from its creation.
class Timer : public Control {
public:
    Timer();
    ~Timer() override;

    Int32 Mode() const { return mMode; }
    void Mode(Int32 mode);
    // A new period applies to the following firings.
    Int32 Period() const { return mPeriod; }
    void Period(Int32 milliseconds);

    void SetProperty(const std::string& name, const PropertyValue& value) override;
    // A closed window's timers fire no more.
    void WindowClosing() override { Mode(0); }

    // Called on each firing; raises Action.
    virtual void Event_Action() { Action.Raise(); }
    Event<void()> Action;

private:
    static const PropertyTable<Timer>& Properties();

    friend class detail::TimerImpl;
    void Restart();

    std::unique_ptr<detail::TimerImpl> mImpl;
    Int32 mMode = 2;
    Int32 mPeriod = 1000;
};

}  // namespace kivra::framework
