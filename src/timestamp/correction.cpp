#include "timestamp/correction.hpp"

#include <string_view>

namespace timestamp {
namespace {

std::int64_t typed_position(const Calendar& calendar, const Timestamp& typed) {
    // The calendar carries fields past their ranges into the next unit, which is exactly the
    // plain reading of minute 60 and of 29 February in a common year.
    return calendar.position_of(
        CalendarMinute{typed.year, typed.month, typed.day, typed.hour, typed.minute});
}

constexpr std::string_view adding_lead = "You are adding about ";
constexpr std::string_view subtracting_lead = "You are subtracting about ";

// The lead text, then the five numbers, each in two columns behind its own unit text.
lineio::LineLayout breakdown_layout(int lead_width) {
    using lineio::IntegerField;
    using lineio::RepeatedGroup;
    using lineio::TextField;
    return {TextField{lead_width}, IntegerField{2},
            TextField{8},          IntegerField{2},
            TextField{9},          IntegerField{2},
            TextField{7},          RepeatedGroup{2, {IntegerField{2}, TextField{8}}}};
}

void tell_breakdown(lineio::Channels& console, const Calendar& calendar, std::int32_t correction) {
    const bool adding = correction > 0;
    static const lineio::LineLayout adding_layout =
        breakdown_layout(static_cast<int>(adding_lead.size()));
    static const lineio::LineLayout subtracting_layout =
        breakdown_layout(static_cast<int>(subtracting_lead.size()));

    const std::int64_t size = adding ? std::int64_t{correction} : -std::int64_t{correction};
    const CorrectionBreakdown breakdown = breakdown_of(calendar, size);
    console.formatted_line(
        lineio::console_output, adding ? adding_layout : subtracting_layout,
        {adding ? adding_lead : subtracting_lead, breakdown.years, std::string_view(" years, "),
         breakdown.months, std::string_view(" months, "), breakdown.days,
         std::string_view(" days, "), breakdown.hours, std::string_view(" hours, "),
         breakdown.minutes, std::string_view(" minutes")});
}

}  // namespace

std::int64_t correction_between(const Calendar& calendar, const Timestamp& camera,
                                const Timestamp& actual) {
    return typed_position(calendar, actual) - typed_position(calendar, camera);
}

CorrectionBreakdown breakdown_of(const Calendar& calendar, std::int64_t size) {
    // The minute whose position is the size, read as an offset from the calendar's first minute.
    const CalendarMinute reached = calendar.minute_at(size);
    return CorrectionBreakdown{reached.year - calendar.lowest_year(), reached.month - 1,
                               reached.day - 1, reached.hour, reached.minute + 1};
}

void CORRECTIONAMOUNT(lineio::Channels& console, const std::int32_t& camera_year,
                      const std::int32_t& camera_month, const std::int32_t& camera_day,
                      const std::int32_t& camera_hour, const std::int32_t& camera_minute,
                      const std::int32_t& /*camera_second*/, const std::int32_t& actual_year,
                      const std::int32_t& actual_month, const std::int32_t& actual_day,
                      const std::int32_t& actual_hour, const std::int32_t& actual_minute,
                      const std::int32_t& /*actual_second*/, std::int32_t& correction,
                      const std::int32_t& lowest_year) {
    const Calendar calendar(lowest_year);
    const Timestamp camera{camera_year, camera_month, camera_day, camera_hour, camera_minute, 0};
    const Timestamp actual{actual_year, actual_month, actual_day, actual_hour, actual_minute, 0};
    // Both timestamps passed the entry check, so both lie within one minute past the calendar's
    // end and the difference is far inside 32 bits.
    correction = static_cast<std::int32_t>(correction_between(calendar, camera, actual));

    if (correction == 0) {
        console.list_line(
            lineio::console_output,
            {std::string_view("No correction to date and time but account for burst pictures")});
    } else {
        tell_breakdown(console, calendar, correction);
    }
    console.empty_line(lineio::console_output);
}

}  // namespace timestamp
