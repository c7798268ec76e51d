#include "timestamp/check.hpp"

#include <array>
#include <string_view>

#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

// What a typed day may be in each month. February allows 29 days in every year: whether the year
// is a leap year is left to the calendar, which reads 29 February of a common year as 1 March.
constexpr std::array<std::int32_t, 12> entry_month_lengths = {31, 29, 31, 30, 31, 30,
                                                              31, 31, 30, 31, 30, 31};

constexpr std::string_view out_of_range = " is out of range";

}  // namespace

void CHECK(lineio::Channels& console, const std::int32_t& lowest_year, const std::int32_t& year,
           const std::int32_t& month, const std::int32_t& day, const std::int32_t& hour,
           const std::int32_t& minute, const std::int32_t& second) {
    bool error = false;
    // Every bad field is reported, so that the user can put all of them right in one go.
    const auto report = [&](std::string_view label, std::int32_t value) {
        console.list_line(lineio::console_output, {label, value, out_of_range});
        error = true;
    };

    if (year < lowest_year || year > last_year) {
        report("Year   = ", year);
    }
    const bool month_known = month >= 1 && month <= 12;
    if (!month_known) {
        report("Month  = ", month);
    }
    // Without a known month the day has no upper bound to be held against.
    if (day <= 0 ||
        (month_known && day > entry_month_lengths[static_cast<std::size_t>(month - 1)])) {
        report("Day    = ", day);
    }
    if (hour < 0 || hour > 23) {
        report("Hour   = ", hour);
    }
    if (minute < 0 || minute > 60) {
        report("Minute = ", minute);
    }
    if (second < 0 || second > 60) {
        report("Second = ", second);
    }
    if (!error) {
        return;
    }

    console.list_line(lineio::console_output, {std::string_view("Date and/or time entry error")});
    console.list_line(lineio::console_output,
                      {std::string_view("The proper form is YYYY MN DY HR MN SC")});
    console.list_line(lineio::console_output, {std::string_view("Press Enter to terminate")});
    console.wait_for_enter(lineio::console_input);
    console.orderly_stop("Stop in error check");
}

}  // namespace timestamp
