#include "timestamp/breakdown.hpp"

namespace timestamp {

CorrectionBreakdown breakdown_of(const Calendar& calendar, std::int64_t size) {
    // The minute whose position is the size, read as an offset from the calendar's first minute.
    const CalendarMinute reached = calendar.minute_at(size);
    return CorrectionBreakdown{reached.year - calendar.lowest_year(), reached.month - 1,
                               reached.day - 1, reached.hour, reached.minute + 1};
}

}  // namespace timestamp
