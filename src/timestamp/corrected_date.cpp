#include "timestamp/corrected_date.hpp"

#include <algorithm>
#include <array>

#include "timestamp/numerals.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

// A file name holds the year as "20" and two digits, so no earlier year can be written back.
constexpr std::int32_t first_year_of_names = 2000;
constexpr std::int64_t minutes_per_day = std::int64_t{24} * 60;
constexpr std::int64_t days_per_common_year = 365;
constexpr std::int64_t days_per_leap_cycle = 4 * days_per_common_year + 1;

// Days of a year before the first of each month (from 1), the year common or leap; the 13th
// month is the year's end.
constexpr std::array<std::array<std::int32_t, 14>, 2> days_before_month{{
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
}};

// Days from 1 January 2000, a leap year, to 1 January of `year` (2000 or later).
constexpr std::int64_t days_from_first_year(std::int64_t year) {
    const std::int64_t years = year - first_year_of_names;
    return days_per_common_year * years + (years + 3) / 4;
}

}  // namespace

// Every clip's name goes through here, so the calendar's arithmetic is done on the minutes from
// the first minute of 2000, which no name precedes: every count is then positive and every
// division plain, where the calendar's own positions must also count backwards. It agrees with
// the calendar minute for minute (the tests compare them), at a third of the instructions.
void CORRECTDATE(std::span<char> year, std::span<char> month, std::span<char> day,
                 std::span<char> hour, std::span<char> minute, std::span<char> second,
                 const std::int32_t& correction, const std::int32_t& lowest_year,
                 ShiftOutcome& outcome) {
    // A name whose timestamp is not a minute of the calendar is left alone: renaming it by a guess
    // would give the file a date that nothing in its name supports.
    outcome = ShiftOutcome::not_a_calendar_minute;
    if (year.size() < 4) {
        return;
    }
    const std::int32_t year_value = numeral_value(year.subspan(2, 2));
    const std::int32_t month_value = numeral_value(month);
    const std::int32_t day_value = numeral_value(day);
    const std::int32_t hour_value = numeral_value(hour);
    const std::int32_t minute_value = numeral_value(minute);
    if (year_value == not_a_numeral || month_value == not_a_numeral || day_value == not_a_numeral ||
        hour_value == not_a_numeral || minute_value == not_a_numeral ||
        numeral_value(second) == not_a_numeral) {
        return;
    }
    // The calendar runs from the lowest year to the last, with February of 29 days in every year
    // divisible by 4 and in no other.
    const std::int32_t file_year = first_year_of_names + year_value;
    const bool leap = file_year % 4 == 0;
    if (file_year < lowest_year || file_year > last_year || month_value < 1 || month_value > 12 ||
        day_value < 1 ||
        day_value >
            days_before_month[leap][month_value + 1] - days_before_month[leap][month_value] ||
        hour_value > 23 || minute_value > 59) {
        return;
    }
    const std::int64_t file_minute =
        (days_from_first_year(file_year) + days_before_month[leap][month_value] + day_value - 1) *
            minutes_per_day +
        std::int64_t{60} * hour_value + minute_value;

    // A shift past either end of the calendar has no minute to land on; the file keeps its name.
    // A calendar reaching back before 2000 still has no name for those years.
    const std::int64_t target = file_minute + correction;
    const std::int64_t first_target =
        days_from_first_year(std::max(lowest_year, first_year_of_names)) * minutes_per_day;
    const std::int64_t last_target = days_from_first_year(last_year + 1) * minutes_per_day - 1;
    if (target < first_target || target > last_target) {
        outcome = ShiftOutcome::outside_calendar;
        return;
    }

    // The target in leap cycles of four years from 2000, each starting with its leap year.
    const auto day_index = static_cast<std::uint64_t>(target / minutes_per_day);
    const auto minute_of_day = static_cast<std::int32_t>(target % minutes_per_day);
    const std::uint64_t day_of_cycle = day_index % days_per_leap_cycle;
    std::uint64_t year_of_cycle = 0;
    std::uint64_t day_of_year = day_of_cycle;
    if (day_of_cycle > days_per_common_year) {
        const std::uint64_t after_leap_year = day_of_cycle - (days_per_common_year + 1);
        year_of_cycle = 1 + after_leap_year / days_per_common_year;
        day_of_year = after_leap_year % days_per_common_year;
    }
    const auto& before = days_before_month[year_of_cycle == 0];
    // No month is longer than 32 days, so day_of_year / 32 is the month itself or the one before.
    auto shifted_month = static_cast<std::int32_t>(day_of_year / 32 + 1);
    if (day_of_year >= static_cast<std::uint64_t>(before[shifted_month + 1])) {
        ++shifted_month;
    }
    const auto shifted_day = static_cast<std::int32_t>(day_of_year) - before[shifted_month] + 1;
    const auto shifted_year =
        static_cast<std::int32_t>(day_index / days_per_leap_cycle * 4 + year_of_cycle);

    year[0] = '2';
    year[1] = '0';
    write_numeral(year.subspan(2), shifted_year);
    write_numeral(month, shifted_month);
    write_numeral(day, shifted_day);
    write_numeral(hour, minute_of_day / 60);
    write_numeral(minute, minute_of_day % 60);
    outcome = ShiftOutcome::shifted;
}

}  // namespace timestamp
