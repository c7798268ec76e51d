// Console input: a fixed-width field or whitespace-separated integers from the next lines, and
// the diagnostics with which input ends.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/line_reader.hpp"
#include "support/fake_console.hpp"

namespace {

using lineio::Channels;
using lineio::console_input;
using test_support::FakeConsole;

constexpr std::int32_t kept = 77;  // what every destination holds before the input

// Reads a field, then the next line in 80 columns: "field|1 when the line was longer|next".
std::string field_then_next(const std::string& input, int width, std::size_t capacity,
                            std::size_t read_size) {
    FakeConsole console(input + "\nnext");
    console.read_size = read_size;
    Channels channels(console);
    std::string field(capacity, '#');
    bool longer = false;
    channels.field_input(console_input, width, field, &longer);
    std::string next(80, '#');
    channels.field_input(console_input, 80, next);
    return field + "|" + std::to_string(static_cast<int>(longer)) + "|" + next.substr(0, 5);
}

// Reads six integers, then the next line: "v1 v2 v3 v4 v5 v6|next".
std::string six_then_next(const std::string& input, std::size_t read_size) {
    FakeConsole console(input + "\nnext");
    console.read_size = read_size;
    Channels channels(console);
    std::array<std::int32_t, 6> values{kept, kept, kept, kept, kept, kept};
    const std::array<std::int32_t*, 6> destinations{&values[0], &values[1], &values[2],
                                                    &values[3], &values[4], &values[5]};
    channels.integer_input(console_input, destinations);
    std::string read;
    for (std::size_t index = 0; index < values.size(); ++index) {
        read += std::to_string(values[index]) + (index + 1 == values.size() ? "|" : " ");
    }
    std::string next(4, '#');
    channels.field_input(console_input, 4, next);
    return read + next;
}

TEST(FieldInput, TakesTheFieldOfOneLineAndPassesOverTheRest) {
    struct Case {
        std::string input;
        int width;
        std::size_t capacity;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"abc\r", 3, 3, "abc|0|next "},
        {"abcdef", 3, 3, "abc|1|next "},
        {"ab", 3, 3, "ab |0|next "},
        {"\r", 1, 1, " |0|next "},
        // Nothing is interpreted: tabs, NUL bytes and a carriage return inside a line stay.
        {"\ta\rb", 4, 4, "\ta\rb|0|next "},
        {"ab\r\r", 3, 3, "ab\r|0|next "},
        {std::string("a\0b", 3), 3, 3, std::string("a\0b|0|next ", 11)},
        // A field wider than the destination leaves it the field's last columns.
        {"abcde", 5, 3, "cde|0|next "},
        {"ab", 5, 3, "   |0|next "},
        {std::string(70, 'a'), 50, 60, std::string(50, 'a') + std::string(10, ' ') + "|1|next "},
        {"Y" + std::string(10'000'000, 'x'), 1, 1, "Y|1|next "},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(field_then_next(each.input, each.width, each.capacity, 4096), each.expected)
            << each.input.substr(0, 20);
        if (each.input.size() < 100) {  // a byte a read splits every line end
            EXPECT_EQ(field_then_next(each.input, each.width, each.capacity, 1), each.expected);
        }
    }
}

TEST(IntegerInput, ReadsEveryFormOverAsManyLinesAsItTakes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2025 11 21 15 30 00", "2025 11 21 15 30 0|next"},
        {"\n \t\n2025,11,21\r\n15\t30 ,00", "2025 11 21 15 30 0|next"},
        {"+0002025 -011 0 -0 2147483647 -2147483648", "2025 -11 0 0 2147483647 -2147483648|next"},
        {"2025,,21,15,30,0", "2025 77 21 15 30 0|next"},
        {",11,21,15,30,0", "77 11 21 15 30 0|next"},
        {"2025,\n,21 15 30 0", "2025 77 21 15 30 0|next"},
        {"2025,11,\n21,15,30,0", "2025 11 21 15 30 0|next"},
        {"3*7 2* 4", "7 7 7 77 77 4|next"},
        {"1 99999999999*-9 ignored", "1 -9 -9 -9 -9 -9|next"},
        {"01*5 5*6", "5 6 6 6 6 6|next"},
        {"2025 11 /21 15 30 0", "2025 11 77 77 77 77|next"},
        {"3*/", "77 77 77 77 77 77|next"},
        {"1 2 3 4 5 6 7 8 letters", "1 2 3 4 5 6|next"},
        {"1 2 3 4 5\n6,x", "1 2 3 4 5 6|next"},
        {std::string(10'000'000, ' ') + "1 2 3 4 5 6", "1 2 3 4 5 6|next"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(six_then_next(input, 4096), expected) << input.substr(0, 20);
        if (input.size() < 100) {
            EXPECT_EQ(six_then_next(input, 1), expected) << input;
        }
    }
}

TEST(ConsoleInput, EndsInAnInputOutputFailureNamingTheLine) {
    const std::string longest(lineio::LineReader::longest_line + 1, 'y');
    const auto six = [](Channels& channels) {
        std::int32_t value = 0;
        const std::array<std::int32_t*, 6> all{&value, &value, &value, &value, &value, &value};
        channels.integer_input(console_input, all);
    };
    const auto field = [](Channels& channels) {
        std::string field(50, ' ');
        channels.field_input(console_input, 50, field);
    };
    const auto enter = [](Channels& channels) { channels.wait_for_enter(console_input); };
    struct Case {
        std::string input;
        void (*read)(Channels&);
        std::string diagnostic;
    };
    const std::string integers = "whitespace-separated integer input on channel 5: ";
    const std::string ended = "the console input ended before all 6 values were read";
    const std::string range = "\" lies outside the range of signed 32-bit integers";
    const std::vector<Case> cases = {
        {"", field, "fixed-width field input on channel 5: the console input ended|1"},
        {"", enter, "wait for Enter on channel 5: the console input ended|1"},
        {longest, field,
         "fixed-width field input on channel 5: the line is longer than 16777216 "
         "bytes|1"},
        {"2025 11 21\n15 30", six, integers + ended + "|3"},
        {"2025 11 21 15 30,", six, integers + ended + "|2"},
        {"\n2025-11-21 15 30 00", six, integers + "the item \"2025-11-21\" is not an integer|2"},
        {"1 2 3\x1b[2J", six, integers + "the item \"3?[2J\" is not an integer|1"},
        {"+ 1", six, integers + "the item \"+\" is not an integer|1"},
        {"*5", six, integers + "the item \"*5\" is not an integer|1"},
        {"-3*5", six, integers + "the item \"-3*5\" is not an integer|1"},
        {"3**", six, integers + "the item \"3**\" is not an integer|1"},
        {"0*5", six, integers + "the item \"0*5\" has a repeat count of 0|1"},
        {"2147483648", six, integers + "the item \"2147483648" + range + "|1"},
        {"-2147483649", six, integers + "the item \"-2147483649" + range + "|1"},
        {std::string(41, '9'), six,
         integers + "the item \"" + std::string(40, '9') + "..." + range + "|1"},
        {std::string(40, '9'), six, integers + "the item \"" + std::string(40, '9') + range + "|1"},
    };
    for (const Case& each : cases) {
        FakeConsole console(each.input);
        Channels channels(console);
        EXPECT_EQ(test_support::program_end_of([&] { each.read(channels); }),
                  lineio::failure_exit_status);
        const std::size_t bar = each.diagnostic.rfind('|');
        EXPECT_EQ(console.error,
                  "DoridivezizoziRUR: input/output failure: " + each.diagnostic.substr(0, bar) +
                      "\r\n  at standard input, line " + each.diagnostic.substr(bar + 1) + "\r\n")
            << each.input.substr(0, 20);
    }
}

}  // namespace
