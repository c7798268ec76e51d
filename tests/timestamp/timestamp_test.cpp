// The timestamp arithmetic: the calendar against a count by hand, the clock correction and the
// shifted file timestamp. The entry check is held to its bounds by the whole-program tests.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "support/fake_console.hpp"
#include "timestamp/corrected_date.hpp"
#include "timestamp/correction.hpp"

namespace timestamp {
namespace {

std::array<std::int32_t, 5> fields(const CalendarMinute& m) {
    return {m.year, m.month, m.day, m.hour, m.minute};
}

// The month lengths of a common year, counted by hand.
constexpr std::array<std::int32_t, 12> lengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

TEST(Calendar, EveryDayOfTheCalendarMatchesACountByHand) {
    const Calendar calendar(lowest_year);
    std::int64_t first = 1 - 366 * 1440;  // the day's first minute, from 2008 (unnamed, leap)
    for (std::int32_t year = lowest_year - 1; year <= last_year; ++year) {
        for (std::int32_t month = 1; month <= 12; ++month) {
            const std::int32_t length = lengths[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
            for (std::int32_t day = 1; day <= length; ++day, first += 1440) {
                for (std::int32_t hour = 0; hour < 24; ++hour) {
                    // A different minute in every hour, and the day's last minute at 23:59.
                    const CalendarMinute minute{year, month, day, hour,
                                                hour == 23 ? 59 : (hour * 7 + day) % 60};
                    const std::int64_t position = first + hour * 60 + minute.minute;
                    ASSERT_EQ(calendar.position_of(minute), position) << year << '-' << month;
                    ASSERT_EQ(fields(calendar.minute_at(position)), fields(minute)) << position;
                    ASSERT_EQ(calendar.names_minute(minute), year >= lowest_year) << position;
                }
            }
            ASSERT_FALSE(calendar.names_minute({year, month, length + 1, 0, 0})) << month;
        }
    }
    EXPECT_EQ(calendar.last_position(), first - 1);
    EXPECT_EQ(Calendar(last_year).last_position(), std::int64_t{365} * 1440);  // one common year
    EXPECT_EQ(Calendar::month_length(2024, 0) + Calendar::month_length(2024, 13), 0);
}

TEST(CorrectionAmount, CountsTheMinutesBetweenAndTellsTheirSize) {
    const std::string_view none = " No correction to date and time but account for burst pictures";
    // clang-format off
    // The camera's time, the actual time, the correction and the line that tells its size.
    const std::tuple<Timestamp, Timestamp, std::int32_t, std::string_view> cases[] = {
        {{2025, 11, 21, 15, 30, 0}, {2013, 1, 15, 16, 30, 0}, -6'757'860,
         "You are subtracting about 12 years, 10 months,  5 days, 22 hours, 60 minutes"},
        {{2013, 6, 1, 12, 0, 0}, {2013, 6, 1, 13, 1, 0}, 61,
         "You are adding about  0 years,  0 months,  0 days,  1 hours,  1 minutes"},
        {{2013, 1, 1, 0, 0, 0}, {2014, 1, 1, 0, 1, 0}, 525'601,
         "You are adding about  1 years,  0 months,  0 days,  0 hours,  1 minutes"},
        // Minute 60 and 29 February of a common year are the minutes they plainly mean.
        {{2050, 12, 31, 23, 60, 0}, {2050, 12, 31, 23, 59, 0}, -1,
         "You are subtracting about  0 years,  0 months,  0 days,  0 hours,  1 minutes"},
        {{2013, 2, 29, 0, 0, 0}, {2013, 3, 1, 1, 0, 0}, 60,
         "You are adding about  0 years,  0 months,  0 days,  0 hours, 60 minutes"},
        {{2013, 6, 1, 12, 0, 1}, {2013, 6, 1, 12, 0, 59}, 0, none},
        {{2013, 2, 28, 23, 60, 0}, {2013, 3, 1, 0, 0, 0}, 0, none},
        {{2013, 12, 31, 23, 60, 0}, {2014, 1, 1, 0, 0, 0}, 0, none},
    };
    // clang-format on
    for (const auto& [a, b, expected, line] : cases) {
        std::int32_t correction = 12345;
        test_support::FakeConsole console;
        lineio::Channels channels(console);
        CORRECTIONAMOUNT(channels, a.year, a.month, a.day, a.hour, a.minute, a.second, b.year,
                         b.month, b.day, b.hour, b.minute, b.second, correction, lowest_year);
        EXPECT_EQ(correction, expected) << line;
        EXPECT_EQ(console.output, std::string(line) + "\r\n\r\n");
    }
}

TEST(CorrectDate, ShiftsTheTextsOrLeavesThemAlone) {
    using enum ShiftOutcome;
    // A file name's six texts ("yyyy mn dy hr mn sc", the last to the end), the correction, the
    // texts after, the outcome.
    const std::tuple<std::string_view, std::int32_t, std::string_view, ShiftOutcome> cases[] = {
        {"2012 12 31 23 50 07", 20, "2013 01 01 00 10 07", shifted},
        {"2016 02 28 23 30 07", 60, "2016 02 29 00 30 07", shifted},
        {"2015 02 28 23 30 07", 60, "2015 03 01 00 30 07", shifted},
        {"2009 01 01 00 05 00", -5, "2009 01 01 00 00 00", shifted},
        {"2009 01 01 00 00 60", 22'089'599, "2050 12 31 23 59 60", shifted},
        // Only the third and fourth characters of the year count; "20" is written back.
        {"1913 06 01 12 00 45", 0, "2013 06 01 12 00 45", shifted},
        {"2009 01 01 00 05 07", -6, "2009 01 01 00 05 07", outside_calendar},
        {"2050 12 31 23 50 07", 10, "2050 12 31 23 50 07", outside_calendar},
        {"2013 06 01 12 00 45", -2147483647 - 1, "2013 06 01 12 00 45", outside_calendar},
        {"2051 01 01 00 00 07", 0, "2051 01 01 00 00 07", not_a_calendar_minute},
        {"2008 12 31 23 59 07", 1, "2008 12 31 23 59 07", not_a_calendar_minute},
        {"2013 04 01 24 00 07", 0, "2013 04 01 24 00 07", not_a_calendar_minute},
        {"2013 04 01 12 60 07", 0, "2013 04 01 12 60 07", not_a_calendar_minute},
        {"2013 04 01 12 00 61", 0, "2013 04 01 12 00 61", not_a_calendar_minute},
        {"2013 04 01 12 7  07", 0, "2013 04 01 12 7  07", not_a_calendar_minute},
        {"2013 04 01 12 00 a7", 0, "2013 04 01 12 00 a7", not_a_calendar_minute},
        {"2013 04 01 12 00 070", 0, "2013 04 01 12 00 070", not_a_calendar_minute},
        {"20 3 04 01 12 00 07", 0, "20 3 04 01 12 00 07", not_a_calendar_minute},
    };
    for (const auto& [before, correction, after, expected] : cases) {
        std::string texts(before);
        // The blanks between the texts are no part of any text, so a write past one shows there.
        const std::span<char> all(texts);
        ShiftOutcome outcome = shifted;
        CORRECTDATE(all.subspan(0, 4), all.subspan(5, 2), all.subspan(8, 2), all.subspan(11, 2),
                    all.subspan(14, 2), all.subspan(17), correction, lowest_year, outcome);
        EXPECT_EQ(outcome, expected) << before;
        EXPECT_EQ(texts, after) << before << " by " << correction;
    }
}

}  // namespace
}  // namespace timestamp
