#include "timestamp/corrected_date.hpp"

#include "timestamp/calendar.hpp"
#include "timestamp/numerals.hpp"

namespace timestamp {
namespace {

// A file name holds the year as "20" and two digits, so no earlier year can be written back.
constexpr std::int32_t first_year_of_names = 2000;

}  // namespace

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
    const Calendar calendar(lowest_year);
    const CalendarMinute file_minute{first_year_of_names + year_value, month_value, day_value,
                                     hour_value, minute_value};
    if (!calendar.names_minute(file_minute)) {
        return;
    }

    // A shift past either end of the calendar has no minute to land on; the file keeps its name.
    const std::int64_t target = calendar.position_of(file_minute) + correction;
    // A calendar reaching back before 2000 still has no name for those years; one starting later
    // names every minute from its first, position 1.
    const std::int64_t first_target =
        lowest_year >= first_year_of_names
            ? 1
            : calendar.position_of(CalendarMinute{first_year_of_names, 1, 1, 0, 0});
    if (target < first_target || target > calendar.last_position()) {
        outcome = ShiftOutcome::outside_calendar;
        return;
    }

    const CalendarMinute shifted = calendar.minute_at(target);
    year[0] = '2';
    year[1] = '0';
    write_numeral(year.subspan(2), shifted.year - first_year_of_names);
    write_numeral(month, shifted.month);
    write_numeral(day, shifted.day);
    write_numeral(hour, shifted.hour);
    write_numeral(minute, shifted.minute);
    outcome = ShiftOutcome::shifted;
}

}  // namespace timestamp
