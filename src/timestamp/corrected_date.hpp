// The corrected file timestamp: the date and time cut from a video file's name, shifted by the
// correction across minute, hour, day, month and year boundaries, seconds unchanged.
#pragma once

#include <cstdint>
#include <span>

namespace timestamp {

enum class ShiftOutcome {
    shifted,                // the texts now hold the corrected date and time
    not_a_calendar_minute,  // the texts name no minute of the calendar; they are left as they were
    outside_calendar,  // the shifted minute falls outside the calendar; texts left as they were
};

// Shifts the texts (year 4 characters, the others 2) in place by `correction` minutes. The year is
// read from its third and fourth characters and written back as "20" and two digits; the second
// text is written back as it was. `outcome` tells whether the texts were rewritten.
void CORRECTDATE(std::span<char> year, std::span<char> month, std::span<char> day,
                 std::span<char> hour, std::span<char> minute, std::span<char> second,
                 const std::int32_t& correction, const std::int32_t& lowest_year,
                 ShiftOutcome& outcome);

}  // namespace timestamp
