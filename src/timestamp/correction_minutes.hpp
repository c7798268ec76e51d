// The pure part of the clock correction: the correction between two typed timestamps.
#pragma once

#include <cstdint>

#include "timestamp/calendar.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {

// The position of a typed timestamp in the calendar, seconds ignored. A timestamp that the entry
// check accepts but that names no minute (minute 60, 29 February of a common year) is taken as
// the minute it plainly means: the next hour's minute 0, or 1 March.
std::int64_t typed_position(const Calendar& calendar, const Timestamp& typed);

// The actual timestamp's position minus the camera timestamp's.
std::int64_t correction_between(const Calendar& calendar, const Timestamp& camera,
                                const Timestamp& actual);

}  // namespace timestamp
