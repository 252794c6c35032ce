#pragma once

#include <memory>

#include "framework/values/Ref.h"
#include "framework/values/Types.h"

namespace kivra::framework {

// A local date and time, to the second.
class Date {
public:
    // The current local time, from the clock that tests may replace.
    Date();
    Date(Int32 year, Int32 month, Int32 day, Int32 hour, Int32 minute, Int32 second);

    Int32 Year() const { return mYear; }
    Int32 Month() const { return mMonth; }
    Int32 Day() const { return mDay; }
    Int32 Hour() const { return mHour; }
    Int32 Minute() const { return mMinute; }
    Int32 Second() const { return mSecond; }

    // <0, 0, >0 as this date is before, equal to or after the other; a present date
    // compared with Nil is after it.
    Int32 Operator_Compare(const Ref<Date>& other) const;

private:
    Int32 mYear = 1970, mMonth = 1, mDay = 1, mHour = 0, mMinute = 0, mSecond = 0;
};

}  // namespace kivra::framework
