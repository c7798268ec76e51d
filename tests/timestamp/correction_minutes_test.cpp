#include "timestamp/correction_minutes.hpp"

#include <gtest/gtest.h>

#include <cstdint>

#include "timestamp/calendar.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

struct CorrectionCase {
    Timestamp camera;
    Timestamp actual;
    std::int64_t correction;
};

TEST(CorrectionMinutes, ActualPositionMinusCameraPosition) {
    const Calendar calendar(lowest_year);
    const CorrectionCase cases[] = {
        {{2013, 6, 1, 12, 0, 0}, {2013, 6, 1, 12, 0, 0}, 0},
        {{2013, 6, 1, 12, 0, 5}, {2013, 6, 1, 12, 0, 55}, 0},
        {{2013, 6, 1, 12, 0, 0}, {2013, 6, 1, 12, 1, 0}, 1},
        {{2013, 6, 1, 12, 0, 0}, {2013, 6, 1, 11, 0, 0}, -60},
        {{2012, 2, 28, 0, 0, 0}, {2012, 3, 1, 0, 0, 0}, 2'880},
        {{2013, 1, 1, 0, 0, 0}, {2014, 1, 1, 0, 0, 0}, 525'600},
        {{2009, 1, 1, 0, 0, 0}, {2050, 12, 31, 23, 59, 0}, 22'089'599},
        {{2025, 11, 21, 15, 30, 0}, {2013, 1, 15, 16, 30, 0}, -6'757'860},
    };
    for (const CorrectionCase& c : cases) {
        EXPECT_EQ(correction_between(calendar, c.camera, c.actual), c.correction);
    }
}

// A slip of the finger that the entry check lets through must move the files by the minute it
// plainly means, not by decades.
TEST(CorrectionMinutes, AcceptedTimestampsThatNameNoMinuteMeanTheNextOne) {
    const Calendar calendar(lowest_year);
    const CorrectionCase cases[] = {
        {{2013, 5, 6, 7, 60, 0}, {2013, 5, 6, 8, 0, 0}, 0},
        {{2013, 12, 31, 23, 60, 0}, {2014, 1, 1, 0, 0, 0}, 0},
        {{2013, 2, 29, 10, 15, 0}, {2013, 3, 1, 10, 15, 0}, 0},
        {{2013, 2, 29, 23, 60, 0}, {2013, 3, 2, 0, 0, 0}, 0},
        {{2050, 12, 31, 23, 60, 0}, {2050, 12, 31, 23, 59, 0}, -1},
        {{2009, 1, 1, 0, 0, 0}, {2050, 12, 31, 23, 60, 0}, 22'089'600},
        {{2013, 2, 28, 12, 0, 0}, {2016, 2, 29, 12, 0, 0}, (365 * 3 + 1) * 1440},
    };
    for (const CorrectionCase& c : cases) {
        EXPECT_EQ(correction_between(calendar, c.camera, c.actual), c.correction);
    }
}

}  // namespace
}  // namespace timestamp
