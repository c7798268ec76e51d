// The clock correction: the camera's error in whole minutes, and one line telling the user
// roughly how large it is.
#pragma once

#include <cstdint>

#include "lineio/channels.hpp"
#include "timestamp/calendar.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {

// Writes to `correction` the minute position of the actual timestamp minus that of the camera
// timestamp (seconds play no part), then writes the breakdown line, or the no-correction line,
// and one empty line on the console. A timestamp field that names no minute of the calendar
// (minute 60, 29 February of a common year) is taken as the minute it plainly means.
void CORRECTIONAMOUNT(lineio::Channels& console, const std::int32_t& camera_year,
                      const std::int32_t& camera_month, const std::int32_t& camera_day,
                      const std::int32_t& camera_hour, const std::int32_t& camera_minute,
                      const std::int32_t& camera_second, const std::int32_t& actual_year,
                      const std::int32_t& actual_month, const std::int32_t& actual_day,
                      const std::int32_t& actual_hour, const std::int32_t& actual_minute,
                      const std::int32_t& actual_second, std::int32_t& correction,
                      const std::int32_t& lowest_year);

// The actual timestamp's position in the calendar minus the camera timestamp's, seconds ignored.
// A timestamp that the entry check accepts but that names no minute (minute 60, 29 February of a
// common year) is taken as the minute it plainly means: the next hour's minute 0, or 1 March.
std::int64_t correction_between(const Calendar& calendar, const Timestamp& camera,
                                const Timestamp& actual);

// The size of a correction told to the user as years, months, days, hours and minutes. The size
// is read as elapsed time from 00:00 on 1 January of the lowest year, with the month lengths met
// from there on. The minutes run from 1 to 60, never 0: a size of one whole hour is "0 hours,
// 60 minutes".
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
