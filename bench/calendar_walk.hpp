// The calendar counted the slow way, one minute at a time, exactly as the minute positions are
// defined: for comparison in the benchmarks only, never used by the program.
#pragma once

#include <cstdint>
#include <span>

#include "timestamp/calendar.hpp"
#include "timestamp/corrected_date.hpp"
#include "timestamp/correction.hpp"

namespace timestamp::walk {

// Counts the calendar's minutes up to `minute`; the calendar's last position when it never comes.
std::int64_t position_of(std::int32_t lowest_year, const CalendarMinute& minute);

// Counts `position` minutes from the calendar's start; one past its last minute when the count
// runs out first.
CalendarMinute minute_at(std::int32_t lowest_year, std::int64_t position);

// The correction between two minutes and its breakdown, both found by walking.
std::int64_t correction_and_breakdown(std::int32_t lowest_year, const CalendarMinute& camera,
                                      const CalendarMinute& actual, CorrectionBreakdown& breakdown);

// The file timestamp shift, by walking: same arguments as CORRECTDATE.
void shift_texts(std::span<char> year, std::span<char> month, std::span<char> day,
                 std::span<char> hour, std::span<char> minute, std::span<char> second,
                 std::int32_t correction, std::int32_t lowest_year, ShiftOutcome& outcome);

}  // namespace timestamp::walk
