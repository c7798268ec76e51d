// Days from a civil date and back by eras of 400 years (146097 days), the cycle after which the
// Gregorian calendar repeats, so that the arithmetic needs no table and no loop.
#include "media/civil_time.hpp"

namespace media {
namespace {

constexpr std::int64_t days_per_era = 146097;
constexpr std::int64_t seconds_per_day = 86400;

std::int64_t floor_div(std::int64_t value, std::int64_t by) {
    return value / by - (value % by < 0 ? 1 : 0);
}

}  // namespace

std::int64_t days_from_civil(std::int64_t year, std::int32_t month, std::int32_t day) {
    // The year is counted from March, so that a leap day ends it.
    const std::int64_t march_year = month <= 2 ? year - 1 : year;
    const std::int64_t era = floor_div(march_year, 400);
    const std::int64_t year_of_era = march_year - era * 400;
    const std::int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t day_of_era =
        year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * days_per_era + day_of_era - 719468;
}

CivilTime civil_from_seconds(std::int64_t seconds) {
    const std::int64_t days = floor_div(seconds, seconds_per_day);
    const std::int64_t second_of_day = seconds - days * seconds_per_day;
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = floor_div(shifted, days_per_era);
    const std::int64_t day_of_era = shifted - era * days_per_era;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t month_index = (5 * day_of_year + 2) / 153;  // 0 for March
    const auto month =
        static_cast<std::int32_t>(month_index < 10 ? month_index + 3 : month_index - 9);
    return {year_of_era + era * 400 + (month <= 2 ? 1 : 0),
            month,
            static_cast<std::int32_t>(day_of_year - (153 * month_index + 2) / 5 + 1),
            static_cast<std::int32_t>(second_of_day / 3600),
            static_cast<std::int32_t>(second_of_day / 60 % 60),
            static_cast<std::int32_t>(second_of_day % 60)};
}

std::int64_t seconds_from_civil(const CivilTime& time) {
    return days_from_civil(time.year, time.month, time.day) * seconds_per_day +
           std::int64_t{time.hour} * 3600 + std::int64_t{time.minute} * 60 + time.second;
}

std::int32_t weekday_of(std::int64_t days) {
    return static_cast<std::int32_t>(days - floor_div(days + 4, 7) * 7 +
                                     4);  // 1970-01-01: Thursday
}

std::int32_t days_in_month(std::int64_t year, std::int32_t month) {
    return static_cast<std::int32_t>(
        days_from_civil(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
        days_from_civil(year, month, 1));
}

}  // namespace media
