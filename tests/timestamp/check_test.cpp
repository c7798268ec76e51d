#include "timestamp/check.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console_run.hpp"
#include "timestamp/timestamp.hpp"

namespace timestamp {
namespace {

using testing::ConsoleRun;
using testing::run_on_console;

constexpr std::string_view closing_lines =
    " Date and/or time entry error\r\n"
    " The proper form is YYYY MN DY HR MN SC\r\n"
    " Press Enter to terminate\r\n";

ConsoleRun check(const Timestamp& t, std::string input = "\n", std::int32_t lowest = lowest_year) {
    return run_on_console(std::move(input), [&](lineio::Channels& console) {
        CHECK(console, lowest, t.year, t.month, t.day, t.hour, t.minute, t.second);
    });
}

// A field line as the list-style rules build it: blank, label, blank, the value in 12 columns,
// blank, " is out of range".
std::string field_line(std::string_view label, std::int32_t value) {
    std::string number = std::to_string(value);
    return " " + std::string(label) + " " + std::string(12 - number.size(), ' ') + number +
           "  is out of range\r\n";
}

TEST(Check, ReportsTheWorkedExampleByteForByte) {
    const ConsoleRun run = check({2051, 2, 30, 24, 61, 0}, "anything typed\n");
    EXPECT_EQ(run.output,
              " Year   =          2051  is out of range\r\n"
              " Day    =            30  is out of range\r\n"
              " Hour   =            24  is out of range\r\n"
              " Minute =            61  is out of range\r\n" +
                  std::string(closing_lines));
    EXPECT_EQ(run.output.find("\r\n"), 40U);
    // Every line is on the screen before the program waits for Enter.
    ASSERT_EQ(run.output_at_reads.size(), 1U);
    EXPECT_EQ(run.output_at_reads.front(), run.output);
    EXPECT_EQ(run.error, "Stop in error check\r\n");
    EXPECT_EQ(run.exit_status, lineio::orderly_exit_status);
}

TEST(Check, ValidTimestampsPassSilently) {
    const Timestamp valid[] = {
        {2013, 1, 15, 16, 30, 0}, {2009, 1, 1, 0, 0, 0},   {2050, 12, 31, 23, 60, 60},
        {2013, 2, 29, 12, 0, 0},  {2012, 2, 29, 12, 0, 0}, {2013, 1, 31, 0, 59, 59},
        {2013, 4, 30, 23, 0, 0},  {2013, 12, 31, 0, 0, 0},
    };
    for (const Timestamp& t : valid) {
        const ConsoleRun run = check(t, "");
        EXPECT_EQ(run.output, "") << t.year << ' ' << t.month << ' ' << t.day;
        EXPECT_EQ(run.error, "");
        EXPECT_FALSE(run.exit_status.has_value());
    }
}

struct BadField {
    std::string_view label;
    std::int32_t value;
};

struct BadCase {
    Timestamp typed;
    std::vector<BadField> reported;
};

TEST(Check, ReportsEveryBadFieldInOrder) {
    const BadCase cases[] = {
        {{2008, 6, 1, 0, 0, 0}, {{"Year   = ", 2008}}},
        {{2051, 6, 1, 0, 0, 0}, {{"Year   = ", 2051}}},
        {{2013, 0, 1, 0, 0, 0}, {{"Month  = ", 0}}},
        {{2013, 13, 31, 0, 0, 0}, {{"Month  = ", 13}}},
        // Without a month there is no longest day to hold the day against, only the shortest.
        {{2013, -1, 40, 0, 0, 0}, {{"Month  = ", -1}}},
        {{2013, 13, 0, 0, 0, 0}, {{"Month  = ", 13}, {"Day    = ", 0}}},
        {{2013, 5, 0, 0, 0, 0}, {{"Day    = ", 0}}},
        {{2013, 5, -3, 0, 0, 0}, {{"Day    = ", -3}}},
        {{2012, 2, 30, 0, 0, 0}, {{"Day    = ", 30}}},
        {{2013, 4, 31, 0, 0, 0}, {{"Day    = ", 31}}},
        {{2013, 1, 32, 0, 0, 0}, {{"Day    = ", 32}}},
        {{2013, 5, 1, 24, 0, 0}, {{"Hour   = ", 24}}},
        {{2013, 5, 1, -1, 0, 0}, {{"Hour   = ", -1}}},
        {{2013, 5, 1, 0, 61, 0}, {{"Minute = ", 61}}},
        {{2013, 5, 1, 0, -1, 0}, {{"Minute = ", -1}}},
        {{2013, 5, 1, 0, 0, 61}, {{"Second = ", 61}}},
        {{2013, 5, 1, 0, 0, -1}, {{"Second = ", -1}}},
        {{2008, 13, 0, -1, 61, -2147483647 - 1},
         {{"Year   = ", 2008},
          {"Month  = ", 13},
          {"Day    = ", 0},
          {"Hour   = ", -1},
          {"Minute = ", 61},
          {"Second = ", -2147483647 - 1}}},
    };
    for (const BadCase& c : cases) {
        std::string expected;
        for (const BadField& field : c.reported) {
            expected += field_line(field.label, field.value);
        }
        expected += closing_lines;
        const ConsoleRun run = check(c.typed);
        EXPECT_EQ(run.output, expected);
        EXPECT_EQ(run.error, "Stop in error check\r\n");
        EXPECT_EQ(run.exit_status, lineio::orderly_exit_status);
    }
}

TEST(Check, YearBoundsFollowTheLowestYear) {
    EXPECT_EQ(check({2011, 6, 1, 0, 0, 0}, "\n", 2012).output,
              field_line("Year   = ", 2011) + std::string(closing_lines));
    EXPECT_EQ(check({2012, 6, 1, 0, 0, 0}, "", 2012).output, "");
}

TEST(Check, InputEndingAtTheWaitIsAFailureNotAStop) {
    const ConsoleRun run = check({2051, 6, 1, 0, 0, 0}, "");
    EXPECT_EQ(run.output, field_line("Year   = ", 2051) + std::string(closing_lines));
    EXPECT_EQ(run.exit_status, lineio::failure_exit_status);
    EXPECT_EQ(run.error.find("Stop in error check"), std::string::npos);
    EXPECT_FALSE(run.error.empty());
}

}  // namespace
}  // namespace timestamp
