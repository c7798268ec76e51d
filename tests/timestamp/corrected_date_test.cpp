#include "timestamp/corrected_date.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

// Shifts the six timestamp texts of a video file's name, "yyyy mn dy hr mn sc", in place. The
// blanks between them are no part of any text, so a write past a text shows in them.
ShiftOutcome shift(std::string& texts, std::int32_t correction, std::int32_t lowest = lowest_year) {
    const std::span<char> all(texts);
    ShiftOutcome outcome = ShiftOutcome::shifted;
    CORRECTDATE(all.subspan(0, 4), all.subspan(5, 2), all.subspan(8, 2), all.subspan(11, 2),
                all.subspan(14, 2), all.subspan(17, 2), correction, lowest, outcome);
    return outcome;
}

struct ShiftCase {
    std::string_view before;
    std::int32_t correction;
    std::string_view after;
};

TEST(CorrectDate, ShiftsAcrossEveryBoundary) {
    const ShiftCase cases[] = {
        {"2012 12 31 23 50 07", 20, "2013 01 01 00 10 07"},
        {"2016 02 28 23 30 07", 60, "2016 02 29 00 30 07"},
        {"2015 02 28 23 30 07", 60, "2015 03 01 00 30 07"},
        {"2025 11 21 15 31 07", -6'757'860, "2013 01 15 16 31 07"},
        {"2013 06 01 12 00 45", 0, "2013 06 01 12 00 45"},
        {"2009 01 01 00 05 00", -5, "2009 01 01 00 00 00"},
        {"2050 12 31 23 50 60", 9, "2050 12 31 23 59 60"},
        {"2009 01 01 00 00 00", 22'089'599, "2050 12 31 23 59 00"},
        // 29 February 2016 is a whole day in the count: four common years' worth of minutes
        // from 1 March 2013 fall one day short of 1 March 2017.
        {"2013 03 01 08 00 10", 4 * 365 * 1440, "2017 02 28 08 00 10"},
        {"2012 02 28 00 00 10", 2 * 1440, "2012 03 01 00 00 10"},
        // Only the third and fourth characters of the year count; "20" is written back.
        {"1913 06 01 12 00 45", 0, "2013 06 01 12 00 45"},
        {"xx49 12 31 23 00 45", 1440, "2050 01 01 23 00 45"},
    };
    for (const ShiftCase& c : cases) {
        std::string texts(c.before);
        EXPECT_EQ(shift(texts, c.correction), ShiftOutcome::shifted) << c.before;
        EXPECT_EQ(texts, c.after) << c.before << " by " << c.correction;
    }
}

struct RefusalCase {
    std::string_view before;
    std::int32_t correction;
    ShiftOutcome outcome;
};

TEST(CorrectDate, LeavesTheTextsAloneWhenThereIsNoMinuteToNameIt) {
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
    const RefusalCase cases[] = {
        {"2009 01 01 00 05 07", -6, ShiftOutcome::outside_calendar},
        {"2050 12 31 23 50 07", 10, ShiftOutcome::outside_calendar},
        {"2013 06 01 12 00 45", most, ShiftOutcome::outside_calendar},
        {"2013 06 01 12 00 45", least, ShiftOutcome::outside_calendar},
        {"2051 01 01 00 00 07", 0, ShiftOutcome::not_a_calendar_minute},
        {"2008 12 31 23 59 07", 1, ShiftOutcome::not_a_calendar_minute},
        {"2013 02 29 12 00 07", 0, ShiftOutcome::not_a_calendar_minute},
        {"2013 04 31 12 00 07", 0, ShiftOutcome::not_a_calendar_minute},
        {"2013 04 01 24 00 07", 0, ShiftOutcome::not_a_calendar_minute},
        {"2013 04 01 12 60 07", 0, ShiftOutcome::not_a_calendar_minute},
        {"2013 04 01 12 00 61", 0, ShiftOutcome::not_a_calendar_minute},
        {"2013 04 01 12 00 ab", 0, ShiftOutcome::not_a_calendar_minute},
        {"2013 04 01 12 7  07", 0, ShiftOutcome::not_a_calendar_minute},
        {"2013  4 01 12 00 07", 0, ShiftOutcome::not_a_calendar_minute},
        {"20 3 04 01 12 00 07", 0, ShiftOutcome::not_a_calendar_minute},
        {"2099 04 01 12 00 07", 0, ShiftOutcome::not_a_calendar_minute},
    };
    for (const RefusalCase& c : cases) {
        std::string texts(c.before);
        EXPECT_EQ(shift(texts, c.correction), c.outcome) << c.before;
        EXPECT_EQ(texts, c.before);
    }
}

TEST(CorrectDate, FollowsTheLowestYear) {
    std::string texts("2012 01 01 00 00 30");
    EXPECT_EQ(shift(texts, -1, 2012), ShiftOutcome::outside_calendar);
    EXPECT_EQ(shift(texts, -1, 2011), ShiftOutcome::shifted);
    EXPECT_EQ(texts, "2011 12 31 23 59 30");
    EXPECT_EQ(shift(texts, 0, 2012), ShiftOutcome::not_a_calendar_minute);
    // A name can hold no year before 2000, whatever the calendar reaches back to.
    std::string early("2000 01 01 00 00 30");
    EXPECT_EQ(shift(early, -1, 1990), ShiftOutcome::outside_calendar);
    EXPECT_EQ(shift(early, 1, 1990), ShiftOutcome::shifted);
    EXPECT_EQ(early, "2000 01 01 00 01 30");
}

}  // namespace
}  // namespace timestamp
