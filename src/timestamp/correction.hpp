// The clock correction: the camera's error in whole minutes, and one line telling the user
// roughly how large it is.
#pragma once

#include <cstdint>

#include "lineio/channels.hpp"

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

}  // namespace timestamp
