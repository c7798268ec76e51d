#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "support/fake_console.hpp"

namespace {

using lineio::Channels;
using lineio::console_input;
using test_support::FakeConsole;
using test_support::program_end_of;

using Timestamp = std::array<std::int32_t, 6>;
constexpr std::int32_t kept = 77;  // what every destination holds before the input

struct Reading {
    Timestamp values;
    std::string next_line;  // the line the next input starts with
};

Reading read_six(const std::string& input, std::size_t read_size = 4096) {
    FakeConsole console(input + "\nnext\n");
    console.read_size = read_size;
    Channels channels(console);
    Timestamp values;
    values.fill(kept);
    std::array<std::int32_t*, 6> destinations{};
    for (std::size_t index = 0; index < values.size(); ++index) {
        destinations[index] = &values[index];
    }
    channels.integer_input(console_input, destinations);
    lineio::FixedText<20> next;
    channels.field_input(console_input, 20, next.span());
    return {values, std::string(next.trimmed_view())};
}

TEST(IntegerInput, AcceptsEveryForm) {
    struct Case {
        std::string input;
        Timestamp values;
        std::string next_line;
    };
    const std::vector<Case> cases = {
        {"2025 11 21 15 30 00", {2025, 11, 21, 15, 30, 0}, "next"},
        {"2025,11,21\n15 30 00", {2025, 11, 21, 15, 30, 0}, "next"},
        {"2025 , 11 ,21\t15\t\t30 ,00", {2025, 11, 21, 15, 30, 0}, "next"},
        {"\n   \n\t\n2025\n11 21\r\n15 30\r\n00", {2025, 11, 21, 15, 30, 0}, "next"},
        {"+0002025 -011 0021 000000000000000000000015 30 0", {2025, -11, 21, 15, 30, 0}, "next"},
        {"2147483647 -2147483648 0 -0 +0 1", {2147483647, -2147483647 - 1, 0, 0, 0, 1}, "next"},
        // Null values: two commas in a row, and a comma before the first value of a line.
        {"2025,,21,15,30,0", {2025, kept, 21, 15, 30, 0}, "next"},
        {",11,21,15,30,0", {kept, 11, 21, 15, 30, 0}, "next"},
        {"2025,\n,21 15 30 0", {2025, kept, 21, 15, 30, 0}, "next"},
        {"2025,11,\n21,15,30,0", {2025, 11, 21, 15, 30, 0}, "next"},
        {",,,,,,", {kept, kept, kept, kept, kept, kept}, "next"},
        // Repeat counts, of values and of null values.
        {"3*7 2* 4", {7, 7, 7, kept, kept, 4}, "next"},
        {"6*0", {0, 0, 0, 0, 0, 0}, "next"},
        {"2*,3,4,5,6", {kept, kept, 3, 4, 5, 6}, "next"},
        {"1 99999999999*-9 ignored", {1, -9, -9, -9, -9, -9}, "next"},
        {"01*5 5*6", {5, 6, 6, 6, 6, 6}, "next"},
        // A slash ends the input and the rest of its line.
        {"2025 11 21 15 30/", {2025, 11, 21, 15, 30, kept}, "next"},
        {"2025 11 21 15 30 / 9", {2025, 11, 21, 15, 30, kept}, "next"},
        {"2025 11 /21 15 30 0", {2025, 11, kept, kept, kept, kept}, "next"},
        {"3*/", {kept, kept, kept, kept, kept, kept}, "next"},
        {"/", {kept, kept, kept, kept, kept, kept}, "next"},
        // Once the last destination is filled, the rest of its line is passed over.
        {"1 2 3 4 5 6 7 8 letters", {1, 2, 3, 4, 5, 6}, "next"},
        {"1 2 3 4 5 6,", {1, 2, 3, 4, 5, 6}, "next"},
        {"1 2 3 4 5\n6 x", {1, 2, 3, 4, 5, 6}, "next"},
    };
    for (const Case& each : cases) {
        const Reading reading = read_six(each.input);
        EXPECT_EQ(reading.values, each.values) << each.input;
        EXPECT_EQ(reading.next_line, each.next_line) << each.input;
        EXPECT_EQ(read_six(each.input, 1).values, each.values) << each.input;
    }
}

TEST(IntegerInput, ALastLineWithoutLineEndCounts) {
    FakeConsole console("1 2 3 4 5 6");
    Channels channels(console);
    std::int32_t values[6] = {};
    std::int32_t* const destinations[] = {&values[0], &values[1], &values[2],
                                          &values[3], &values[4], &values[5]};
    channels.integer_input(console_input, destinations);
    EXPECT_EQ(values[5], 6);
}

TEST(IntegerInput, AnythingElseIsAnInputOutputFailure) {
    struct Case {
        std::string input;
        std::string reason;
        int line;
    };
    const std::vector<Case> cases = {
        {"", "the console input ended before all 6 values were read", 1},
        {"2025 11 21\n15 30", "the console input ended before all 6 values were read", 3},
        {"2025 11 21 15 30,", "the console input ended before all 6 values were read", 2},
        {"abc", "the item \"abc\" is not an integer", 1},
        {"\n2025-11-21 15 30 00", "the item \"2025-11-21\" is not an integer", 2},
        {"2025 11 21\n15.0 30 00", "the item \"15.0\" is not an integer", 2},
        {"1e3 1 1 1 1 1", "the item \"1e3\" is not an integer", 1},
        {"1 2 3 4 5 6.", "the item \"6.\" is not an integer", 1},
        {"+ 1", "the item \"+\" is not an integer", 1},
        {"-", "the item \"-\" is not an integer", 1},
        {"*5", "the item \"*5\" is not an integer", 1},
        {"-3*5", "the item \"-3*5\" is not an integer", 1},
        {"3**", "the item \"3**\" is not an integer", 1},
        {"3*x", "the item \"3*x\" is not an integer", 1},
        {"0*5", "the item \"0*5\" has a repeat count of 0", 1},
        {"1 2 3\x1b[2J", "the item \"3?[2J\" is not an integer", 1},
        {"2147483648", "the item \"2147483648\" lies outside the range of signed 32-bit integers",
         1},
        {"-2147483649", "the item \"-2147483649\" lies outside the range of signed 32-bit integers",
         1},
        {"3*99999999999999999999",
         "the item \"3*99999999999999999999\" lies outside the range of signed 32-bit integers", 1},
        {std::string(100, '9'),
         "the item \"" + std::string(40, '9') +
             "...\" lies outside the range of signed 32-bit "
             "integers",
         1},
        {"1 " + std::string(5'000'000, 'y'),
         "the item \"" + std::string(40, 'y') + "...\" is not an integer", 1},
    };
    for (const Case& each : cases) {
        FakeConsole console(each.input, false);
        Channels channels(console);
        channels.list_line(lineio::console_output, {"Enter the date"});
        std::int32_t values[6] = {};
        std::int32_t* const destinations[] = {&values[0], &values[1], &values[2],
                                              &values[3], &values[4], &values[5]};
        EXPECT_EQ(program_end_of([&] { channels.integer_input(console_input, destinations); }),
                  lineio::failure_exit_status)
            << each.input;
        EXPECT_EQ(console.error,
                  "DoridivezizoziRUR: input/output failure: whitespace-separated integer input on "
                  "channel 5: " +
                      each.reason + "\r\n  at standard input, line " + std::to_string(each.line) +
                      "\r\n")
            << each.input.substr(0, 50);
        // The prompt reached the console before the input was read.
        EXPECT_EQ(console.output_at_reads.front(), " Enter the date\r\n");
    }
}

}  // namespace
