#include "calendar_walk.hpp"

#include "timestamp/numerals.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp::walk {
namespace {

// Visits the calendar's minutes in time order with their positions until `stop` says so. Returns
// true when it stopped, false when the calendar ran out; `at` is then one past the last minute.
template <typename Stop>
bool walk_until(std::int32_t lowest, CalendarMinute& at, std::int64_t& position, Stop stop) {
    position = 0;
    for (at.year = lowest; at.year <= last_year; ++at.year) {
        for (at.month = 1; at.month <= 12; ++at.month) {
            const std::int32_t length = Calendar::month_length(at.year, at.month);
            for (at.day = 1; at.day <= length; ++at.day) {
                for (at.hour = 0; at.hour < 24; ++at.hour) {
                    for (at.minute = 0; at.minute < 60; ++at.minute) {
                        ++position;
                        if (stop(at, position)) {
                            return true;
                        }
                    }
                }
            }
        }
    }
    return false;
}

bool same_minute(const CalendarMinute& a, const CalendarMinute& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute;
}

}  // namespace

std::int64_t position_of(std::int32_t lowest_year, const CalendarMinute& minute) {
    CalendarMinute at{};
    std::int64_t position = 0;
    walk_until(lowest_year, at, position,
               [&](const CalendarMinute& m, std::int64_t) { return same_minute(m, minute); });
    return position;
}

CalendarMinute minute_at(std::int32_t lowest_year, std::int64_t position) {
    CalendarMinute at{};
    std::int64_t count = 0;
    walk_until(lowest_year, at, count,
               [&](const CalendarMinute&, std::int64_t p) { return p == position; });
    return at;
}

std::int64_t correction_and_breakdown(std::int32_t lowest_year, const CalendarMinute& camera,
                                      const CalendarMinute& actual,
                                      CorrectionBreakdown& breakdown) {
    const std::int64_t correction =
        position_of(lowest_year, actual) - position_of(lowest_year, camera);
    if (correction != 0) {
        const CalendarMinute reached =
            minute_at(lowest_year, correction > 0 ? correction : -correction);
        breakdown = CorrectionBreakdown{reached.year - lowest_year, reached.month - 1,
                                        reached.day - 1, reached.hour, reached.minute + 1};
    }
    return correction;
}

void shift_texts(std::span<char> year, std::span<char> month, std::span<char> day,
                 std::span<char> hour, std::span<char> minute, std::span<char> second,
                 std::int32_t correction, std::int32_t lowest_year, ShiftOutcome& outcome) {
    outcome = ShiftOutcome::not_a_calendar_minute;
    const CalendarMinute file_minute{2000 + numeral_value(year.subspan(2, 2)), numeral_value(month),
                                     numeral_value(day), numeral_value(hour),
                                     numeral_value(minute)};
    if (numeral_value(second) == not_a_numeral ||
        !Calendar(lowest_year).names_minute(file_minute)) {
        return;
    }
    const std::int64_t target = position_of(lowest_year, file_minute) + correction;
    if (target < 1 || target > Calendar(lowest_year).last_position()) {
        outcome = ShiftOutcome::outside_calendar;
        return;
    }
    const CalendarMinute shifted = minute_at(lowest_year, target);
    year[0] = '2';
    year[1] = '0';
    write_numeral(year.subspan(2), shifted.year - 2000);
    write_numeral(month, shifted.month);
    write_numeral(day, shifted.day);
    write_numeral(hour, shifted.hour);
    write_numeral(minute, shifted.minute);
    outcome = ShiftOutcome::shifted;
}

}  // namespace timestamp::walk
