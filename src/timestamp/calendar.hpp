// The calendar shared by the clock correction and the corrected file timestamp: every minute
// from 00:00 on 1 January of the lowest year to 23:59 on 31 December 2050, numbered from 1 in
// time order, with February of 29 days in every year divisible by 4 and in no other.
//
// Positions and their inverse are computed in closed form, in constant time.
#pragma once

#include <cstdint>

namespace timestamp {

struct CalendarMinute {
    std::int32_t year;
    std::int32_t month;
    std::int32_t day;
    std::int32_t hour;
    std::int32_t minute;
};

class Calendar {
  public:
    explicit Calendar(std::int32_t lowest_year);

    std::int32_t lowest_year() const { return lowest_year_; }
    // The position of 23:59 on 31 December of the last year (0 when the calendar is empty).
    std::int64_t last_position() const { return last_position_; }

    static bool is_leap_year(std::int64_t year);
    static std::int32_t month_length(std::int64_t year, std::int32_t month);

    // True when the fields name a minute of this calendar.
    bool names_minute(const CalendarMinute& minute) const;

    // The position of `minute`, counted the same way beyond both ends of the calendar (position 0
    // is 23:59 on 31 December of the year before the lowest), so that fields that are out of their
    // ranges carry over: minute 60 is minute 0 of the next hour, 29 February of a common year is
    // 1 March. Any 32-bit field values are counted without overflow.
    std::int64_t position_of(const CalendarMinute& minute) const;

    // The minute at `position`, counted the same way beyond both ends of the calendar, for any
    // position whose year fits in 32 bits.
    CalendarMinute minute_at(std::int64_t position) const;

  private:
    std::int32_t lowest_year_;
    std::int64_t last_position_;
};

}  // namespace timestamp
