#include "timestamp/calendar.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>

#include "timestamp/breakdown.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {

// Found by argument-dependent lookup, so they live in the calendar's own namespace.
inline bool operator==(const CalendarMinute& a, const CalendarMinute& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute;
}

inline void PrintTo(const CalendarMinute& m, std::ostream* out) {
    *out << m.year << '-' << m.month << '-' << m.day << ' ' << m.hour << ':' << m.minute;
}

namespace {

// The calendar as counted by hand: year by year, month by month, day by day, each day 1440
// minutes, February of 29 days in years divisible by 4. Calls `visit` with every day and the
// position of its first minute.
void walk_days(
    std::int32_t first_year, std::int32_t end_year,
    const std::function<void(std::int32_t, std::int32_t, std::int32_t, std::int64_t)>& visit) {
    constexpr std::array<std::int32_t, 12> lengths = {31, 28, 31, 30, 31, 30,
                                                      31, 31, 30, 31, 30, 31};
    std::int64_t position = 1;
    for (std::int32_t year = first_year; year <= end_year; ++year) {
        for (std::int32_t month = 1; month <= 12; ++month) {
            std::int32_t length = lengths[static_cast<std::size_t>(month - 1)];
            if (month == 2 && year % 4 == 0) {
                ++length;
            }
            for (std::int32_t day = 1; day <= length; ++day) {
                visit(year, month, day, position);
                position += 1440;
            }
        }
    }
}

// Every day of the calendar, and a minute of every hour in it, against the walk.
void expect_calendar_matches_walk(std::int32_t first_year, std::int32_t end_year) {
    const Calendar calendar(first_year);
    std::int64_t days = 0;
    walk_days(first_year, end_year,
              [&](std::int32_t year, std::int32_t month, std::int32_t day, std::int64_t first) {
                  ++days;
                  for (std::int32_t hour = 0; hour < 24; ++hour) {
                      // A different minute in every hour, and the day's last minute at 23:59.
                      const std::int32_t minute = hour == 23 ? 59 : (hour * 7 + day) % 60;
                      const std::int64_t position = first + hour * 60 + minute;
                      const CalendarMinute expected{year, month, day, hour, minute};
                      ASSERT_EQ(calendar.position_of(expected), position)
                          << year << '-' << month << '-' << day;
                      ASSERT_EQ(calendar.minute_at(position), expected) << position;
                      ASSERT_EQ(calendar.names_minute(expected), end_year <= last_year);
                  }
                  ASSERT_EQ(calendar.minute_at(first), (CalendarMinute{year, month, day, 0, 0}));
              });
    if (end_year == last_year) {
        EXPECT_EQ(calendar.last_position(), days * 1440);
    }
}

TEST(Calendar, EveryDayFromTheLowestYearTo2050MatchesTheWalk) {
    expect_calendar_matches_walk(lowest_year, last_year);
}

TEST(Calendar, OtherLowestYearsMatchTheWalk) {
    for (const std::int32_t first_year : {2010, 2011, 2012, 2050}) {
        SCOPED_TRACE(first_year);
        expect_calendar_matches_walk(first_year, last_year);
    }
    // Years before year 0 count the same way: floor division, not truncation.
    expect_calendar_matches_walk(-9, 6);
}

TEST(Calendar, EndsAndWorkedExample) {
    const Calendar calendar(lowest_year);
    EXPECT_EQ(calendar.last_position(), 22'089'600);
    EXPECT_EQ(calendar.position_of({2025, 11, 21, 15, 30}), 8'882'851);
    EXPECT_EQ(calendar.position_of({2013, 1, 15, 16, 30}), 2'124'991);
    EXPECT_TRUE(calendar.contains(1));
    EXPECT_TRUE(calendar.contains(22'089'600));
    EXPECT_FALSE(calendar.contains(0));
    EXPECT_FALSE(calendar.contains(22'089'601));
    EXPECT_EQ(Calendar(2051).last_position(), 0);
}

struct CarryCase {
    CalendarMinute typed;
    CalendarMinute meant;
};

TEST(Calendar, FieldsPastTheirRangesCarry) {
    const Calendar calendar(lowest_year);
    const CarryCase cases[] = {
        {{2013, 5, 6, 7, 60}, {2013, 5, 6, 8, 0}},    {{2013, 5, 6, 23, 60}, {2013, 5, 7, 0, 0}},
        {{2013, 12, 31, 23, 60}, {2014, 1, 1, 0, 0}}, {{2013, 2, 29, 10, 15}, {2013, 3, 1, 10, 15}},
        {{2013, 2, 28, 23, 60}, {2013, 3, 1, 0, 0}},  {{2013, 13, 1, 0, 0}, {2014, 1, 1, 0, 0}},
        {{2013, 0, 1, 0, 0}, {2012, 12, 1, 0, 0}},    {{2013, 3, 0, 0, 0}, {2013, 2, 28, 0, 0}},
        {{2012, 3, 0, 0, 0}, {2012, 2, 29, 0, 0}},    {{2013, 1, 1, 0, -1}, {2012, 12, 31, 23, 59}},
        {{2013, -11, 1, 0, 0}, {2012, 1, 1, 0, 0}},   {{2013, 1, 1, 48, 0}, {2013, 1, 3, 0, 0}},
    };
    for (const CarryCase& c : cases) {
        EXPECT_EQ(calendar.position_of(c.typed), calendar.position_of(c.meant));
        EXPECT_EQ(calendar.minute_at(calendar.position_of(c.typed)), c.meant);
    }
}

TEST(Calendar, PositionsBeyondBothEndsCountOn) {
    const Calendar calendar(lowest_year);
    EXPECT_EQ(calendar.minute_at(0), (CalendarMinute{2008, 12, 31, 23, 59}));
    EXPECT_EQ(calendar.position_of({2008, 12, 31, 23, 59}), 0);
    EXPECT_EQ(calendar.minute_at(-1440 * 366 + 1), (CalendarMinute{2008, 1, 1, 0, 0}));
    EXPECT_EQ(calendar.minute_at(22'089'601), (CalendarMinute{2051, 1, 1, 0, 0}));
    EXPECT_EQ(calendar.position_of({2050, 12, 31, 23, 60}), 22'089'601);
    for (const std::int64_t position :
         {std::int64_t{-5'000'000'000}, std::int64_t{-1}, std::int64_t{5'000'000'000}}) {
        EXPECT_EQ(calendar.position_of(calendar.minute_at(position)), position);
    }
}

TEST(Calendar, ExtremeFieldsCountWithoutOverflow) {
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
    const Calendar calendar(lowest_year);
    const std::int64_t start = calendar.position_of({2013, 1, 1, 0, 0});
    EXPECT_EQ(calendar.position_of({2013, 1, 1, 0, most}), start + most);
    EXPECT_EQ(calendar.position_of({2013, 1, 1, least, 0}), start + std::int64_t{least} * 60);
    EXPECT_EQ(calendar.position_of({2013, 1, most, 0, 0}), start + (std::int64_t{most} - 1) * 1440);
    EXPECT_EQ(calendar.position_of({2013, most, 1, 0, 0}),
              calendar.position_of({2013 + (most - 1) / 12, (most - 1) % 12 + 1, 1, 0, 0}));
    EXPECT_EQ(calendar.minute_at(calendar.position_of({most, 12, 31, 23, 59})),
              (CalendarMinute{most, 12, 31, 23, 59}));
    EXPECT_EQ(calendar.minute_at(calendar.position_of({least, 1, 1, 0, 0})),
              (CalendarMinute{least, 1, 1, 0, 0}));
}

struct BreakdownCase {
    std::int64_t size;
    std::array<std::int32_t, 5> expected;  // years, months, days, hours, minutes
};

TEST(Calendar, BreakdownOfACorrection) {
    const Calendar calendar(lowest_year);
    const BreakdownCase cases[] = {
        {1, {0, 0, 0, 0, 1}},
        {59, {0, 0, 0, 0, 59}},
        {60, {0, 0, 0, 0, 60}},
        {61, {0, 0, 0, 1, 1}},
        {1'440, {0, 0, 0, 23, 60}},
        {1'441, {0, 0, 1, 0, 1}},
        {2'880, {0, 0, 1, 23, 60}},
        {44'640, {0, 0, 30, 23, 60}},
        {525'600, {0, 11, 30, 23, 60}},
        {525'601, {1, 0, 0, 0, 1}},
        {6'757'860, {12, 10, 5, 22, 60}},
        {22'089'599, {41, 11, 30, 23, 59}},
        {22'089'600, {41, 11, 30, 23, 60}},
    };
    for (const BreakdownCase& c : cases) {
        const CorrectionBreakdown b = breakdown_of(calendar, c.size);
        EXPECT_EQ((std::array<std::int32_t, 5>{b.years, b.months, b.days, b.hours, b.minutes}),
                  c.expected)
            << c.size;
    }
}

}  // namespace
}  // namespace timestamp
