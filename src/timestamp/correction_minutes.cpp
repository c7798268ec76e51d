#include "timestamp/correction_minutes.hpp"

namespace timestamp {

std::int64_t typed_position(const Calendar& calendar, const Timestamp& typed) {
    // The calendar carries fields past their ranges into the next unit, which is exactly the
    // plain reading of minute 60 and of 29 February in a common year.
    return calendar.position_of(
        CalendarMinute{typed.year, typed.month, typed.day, typed.hour, typed.minute});
}

std::int64_t correction_between(const Calendar& calendar, const Timestamp& camera,
                                const Timestamp& actual) {
    return typed_position(calendar, actual) - typed_position(calendar, camera);
}

}  // namespace timestamp
