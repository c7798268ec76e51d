// The size of a correction told to the user as years, months, days, hours and minutes.
#pragma once

#include <cstdint>

#include "timestamp/calendar.hpp"

namespace timestamp {

// The size is read as elapsed time from 00:00 on 1 January of the lowest year, with the month
// lengths met from there on. The minutes run from 1 to 60, never 0: a size of one whole hour is
// "0 hours, 60 minutes".
struct CorrectionBreakdown {
    std::int32_t years;
    std::int32_t months;
    std::int32_t days;
    std::int32_t hours;
    std::int32_t minutes;
};

// `size` is the correction's absolute value, at least 1.
CorrectionBreakdown breakdown_of(const Calendar& calendar, std::int64_t size);

}  // namespace timestamp
