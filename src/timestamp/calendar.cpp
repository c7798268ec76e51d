#include "timestamp/calendar.hpp"

#include <array>

#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

constexpr std::int64_t minutes_per_hour = 60;
constexpr std::int64_t minutes_per_day = 24 * minutes_per_hour;
constexpr std::int64_t days_per_common_year = 365;
// Four years, one of them a leap year: the calendar repeats itself after this many days.
constexpr std::int64_t days_per_leap_cycle = 4 * days_per_common_year + 1;

constexpr std::array<std::int32_t, 12> common_month_lengths = {31, 28, 31, 30, 31, 30,
                                                               31, 31, 30, 31, 30, 31};

// Days of a common year before the first of each month.
constexpr std::array<std::int32_t, 12> common_days_before_month = {0,   31,  59,  90,  120, 151,
                                                                   181, 212, 243, 273, 304, 334};

// Floor division and the matching non-negative remainder: minutes and days before the calendar's
// start must count backwards the same way they count forwards.
constexpr std::int64_t floor_div(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return (value % divisor < 0) ? quotient - 1 : quotient;
}

constexpr std::int64_t floor_mod(std::int64_t value, std::int64_t divisor) {
    return value - floor_div(value, divisor) * divisor;
}

// Days from 1 January of year 0 to 1 January of `year`; negative before year 0. Year 0 and every
// fourth year from it are leap years, so floor((year + 3) / 4) of them lie in between.
constexpr std::int64_t days_before_year(std::int64_t year) {
    return days_per_common_year * year + floor_div(year + 3, 4);
}

constexpr std::int64_t days_before_month(std::int64_t year, std::int64_t month) {
    const bool after_february = month > 2;
    return common_days_before_month[static_cast<std::size_t>(month - 1)] +
           ((after_february && Calendar::is_leap_year(year)) ? 1 : 0);
}

}  // namespace

Calendar::Calendar(std::int32_t lowest_year) : lowest_year_(lowest_year), last_position_(0) {
    if (lowest_year <= last_year) {
        last_position_ =
            (days_before_year(std::int64_t{last_year} + 1) - days_before_year(lowest_year)) *
            minutes_per_day;
    }
}

bool Calendar::is_leap_year(std::int64_t year) {
    return year % 4 == 0;
}

std::int32_t Calendar::month_length(std::int64_t year, std::int32_t month) {
    if (month < 1 || month > 12) {
        return 0;
    }
    const std::int32_t length = common_month_lengths[static_cast<std::size_t>(month - 1)];
    return (month == 2 && is_leap_year(year)) ? length + 1 : length;
}

bool Calendar::names_minute(const CalendarMinute& minute) const {
    return minute.year >= lowest_year_ && minute.year <= last_year && minute.month >= 1 &&
           minute.month <= 12 && minute.day >= 1 &&
           minute.day <= month_length(minute.year, minute.month) && minute.hour >= 0 &&
           minute.hour <= 23 && minute.minute >= 0 && minute.minute <= 59;
}

std::int64_t Calendar::position_of(const CalendarMinute& minute) const {
    // A month outside 1 to 12 moves the year first; days, hours and minutes beyond their ranges
    // then simply add up, which carries them into the following (or preceding) units.
    const std::int64_t months_from_year_zero = std::int64_t{minute.year} * 12 + minute.month - 1;
    const std::int64_t year = floor_div(months_from_year_zero, 12);
    const std::int64_t month = floor_mod(months_from_year_zero, 12) + 1;

    const std::int64_t day_index = days_before_year(year) - days_before_year(lowest_year_) +
                                   days_before_month(year, month) + minute.day - 1;
    return day_index * minutes_per_day + minutes_per_hour * minute.hour + minute.minute + 1;
}

CalendarMinute Calendar::minute_at(std::int64_t position) const {
    const std::int64_t minute_index = position - 1;
    const std::int64_t day_index = floor_div(minute_index, minutes_per_day);
    const std::int64_t minute_of_day = minute_index - day_index * minutes_per_day;

    // Split the day into whole leap cycles counted from year 0, whose first year is the leap year.
    const std::int64_t day_from_year_zero = days_before_year(lowest_year_) + day_index;
    const std::int64_t cycle = floor_div(day_from_year_zero, days_per_leap_cycle);
    const std::int64_t day_of_cycle = day_from_year_zero - cycle * days_per_leap_cycle;
    std::int64_t year_of_cycle = 0;
    std::int64_t day_of_year = day_of_cycle;
    if (day_of_cycle >= days_per_common_year + 1) {
        const std::int64_t after_leap_year = day_of_cycle - (days_per_common_year + 1);
        year_of_cycle = 1 + after_leap_year / days_per_common_year;
        day_of_year = after_leap_year % days_per_common_year;
    }
    const std::int64_t year = cycle * 4 + year_of_cycle;

    // No month is longer than 32 days, so day_of_year / 32 is the month itself or the one before.
    std::int64_t month = day_of_year / 32 + 1;
    if (month < 12 && day_of_year >= days_before_month(year, month + 1)) {
        ++month;
    }
    const std::int64_t day = day_of_year - days_before_month(year, month) + 1;

    return CalendarMinute{static_cast<std::int32_t>(year), static_cast<std::int32_t>(month),
                          static_cast<std::int32_t>(day),
                          static_cast<std::int32_t>(minute_of_day / minutes_per_hour),
                          static_cast<std::int32_t>(minute_of_day % minutes_per_hour)};
}

}  // namespace timestamp
