#include "timestamp/correction.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "console_run.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

using testing::ConsoleRun;
using testing::run_on_console;

struct AmountCase {
    Timestamp camera;
    Timestamp actual;
    std::int32_t correction;
    std::string_view line;  // without its line end; 71 characters adding, 76 subtracting
};

TEST(CorrectionAmount, TellsTheSizeOfTheCorrection) {
    constexpr std::string_view none =
        " No correction to date and time but account for burst pictures";
    // clang-format off
    const AmountCase cases[] = {
        {{2025, 11, 21, 15, 30, 0}, {2013, 1, 15, 16, 30, 0}, -6'757'860,
         "You are subtracting about 12 years, 10 months,  5 days, 22 hours, 60 minutes"},
        {{2013, 6, 1, 12, 0, 0}, {2013, 6, 1, 12, 1, 0}, 1,
         "You are adding about  0 years,  0 months,  0 days,  0 hours,  1 minutes"},
        {{2013, 6, 1, 12, 0, 0}, {2013, 6, 1, 11, 0, 0}, -60,
         "You are subtracting about  0 years,  0 months,  0 days,  0 hours, 60 minutes"},
        {{2012, 2, 28, 0, 0, 0}, {2012, 3, 1, 0, 0, 0}, 2'880,
         "You are adding about  0 years,  0 months,  1 days, 23 hours, 60 minutes"},
        {{2013, 1, 1, 0, 0, 0}, {2014, 1, 1, 0, 0, 0}, 525'600,
         "You are adding about  0 years, 11 months, 30 days, 23 hours, 60 minutes"},
        {{2009, 1, 1, 0, 0, 0}, {2050, 12, 31, 23, 59, 0}, 22'089'599,
         "You are adding about 41 years, 11 months, 30 days, 23 hours, 59 minutes"},
        {{2050, 12, 31, 23, 59, 0}, {2009, 1, 1, 0, 0, 0}, -22'089'599,
         "You are subtracting about 41 years, 11 months, 30 days, 23 hours, 59 minutes"},
        // Minute 60 and 29 February of a common year are the minutes they plainly mean.
        {{2050, 12, 31, 23, 60, 0}, {2050, 12, 31, 23, 59, 0}, -1,
         "You are subtracting about  0 years,  0 months,  0 days,  0 hours,  1 minutes"},
        {{2009, 1, 1, 0, 0, 0}, {2050, 12, 31, 23, 60, 0}, 22'089'600,
         "You are adding about 41 years, 11 months, 30 days, 23 hours, 60 minutes"},
        {{2013, 2, 29, 0, 0, 0}, {2013, 3, 1, 1, 0, 0}, 60,
         "You are adding about  0 years,  0 months,  0 days,  0 hours, 60 minutes"},
        {{2013, 6, 1, 12, 0, 0}, {2013, 6, 1, 12, 0, 0}, 0, none},
        {{2013, 6, 1, 12, 0, 1}, {2013, 6, 1, 12, 0, 59}, 0, none},
        {{2013, 6, 1, 12, 60, 0}, {2013, 6, 1, 13, 0, 0}, 0, none},
        {{2013, 2, 29, 23, 60, 0}, {2013, 3, 2, 0, 0, 0}, 0, none},
    };
    // clang-format on
    for (const AmountCase& c : cases) {
        std::int32_t correction = 12345;
        const ConsoleRun run = run_on_console("", [&](lineio::Channels& console) {
            const std::int32_t lowest = lowest_year;
            CORRECTIONAMOUNT(console, c.camera.year, c.camera.month, c.camera.day, c.camera.hour,
                             c.camera.minute, c.camera.second, c.actual.year, c.actual.month,
                             c.actual.day, c.actual.hour, c.actual.minute, c.actual.second,
                             correction, lowest);
        });
        EXPECT_EQ(correction, c.correction);
        EXPECT_EQ(run.output, std::string(c.line) + "\r\n\r\n");
        EXPECT_EQ(run.error, "");
        EXPECT_FALSE(run.exit_status.has_value());
    }
}

}  // namespace
}  // namespace timestamp
