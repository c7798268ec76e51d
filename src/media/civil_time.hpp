// The proleptic Gregorian calendar in whole seconds, for any year a date text or a container's
// 64-bit count can name. Seconds are counted from 1970-01-01 00:00:00 of whatever clock the date
// was read on: the shifts here never change a date's time zone, only its reading.
#pragma once

#include <cstdint>

namespace media {

struct CivilTime {
    std::int64_t year;
    std::int32_t month;  // 1 to 12
    std::int32_t day;    // 1 to the month's length
    std::int32_t hour;
    std::int32_t minute;
    std::int32_t second;
    bool operator==(const CivilTime&) const = default;
};

// Days since 1970-01-01, for any year within ±2^40.
std::int64_t days_from_civil(std::int64_t year, std::int32_t month, std::int32_t day);
CivilTime civil_from_seconds(std::int64_t seconds);
std::int64_t seconds_from_civil(const CivilTime& time);
// 0 for Sunday to 6 for Saturday.
std::int32_t weekday_of(std::int64_t days);
std::int32_t days_in_month(std::int64_t year, std::int32_t month);

// Containers count seconds from 1904-01-01, in UTC by convention.
constexpr std::int64_t seconds_1904_to_1970 = 2082844800;

}  // namespace media
