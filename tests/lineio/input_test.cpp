// Console input: a fixed-width field or whitespace-separated integers from the next lines, and
// the diagnostics with which input ends.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "lineio/channels.hpp"
#include "lineio/line_reader.hpp"
#include "support/fake_console.hpp"

namespace lineio {
namespace {

using Read = std::function<std::string(Channels&)>;

// Reads six integers into destinations that hold 77 before, and tells them.
std::string six_integers(Channels& channels) {
    std::array<std::int32_t, 6> v{77, 77, 77, 77, 77, 77};
    channels.integer_input(console_input, std::array{&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]});
    std::string told;
    for (const std::int32_t value : v) {
        told.append(told.empty() ? "" : " ").append(std::to_string(value));
    }
    return told;
}

// Reads a field into a destination of `capacity` columns; "+" when the line was longer.
Read field_of(int width, std::size_t capacity) {
    return [=](Channels& channels) {
        std::string field(capacity, '#');
        bool longer = false;
        channels.field_input(console_input, width, field, &longer);
        return field + (longer ? "+" : "");
    };
}

// Expects `read` to tell `expected` of `input`, whole, in reads of 8 bytes (the last one shorter)
// and a byte a read (which splits every line end), and to pass over the rest of the line.
void expect_read(const std::string& input, const Read& read, const std::string& expected) {
    for (const std::size_t read_size : {4096, 8, 1}) {
        test_support::FakeConsole console(input + "\nnext");
        console.read_size = read_size;
        Channels channels(console);
        const std::string told = read(channels);
        EXPECT_EQ(told + "|" + field_of(5, 5)(channels), expected + "|next ") << input << read_size;
    }
}

TEST(FieldInput, TakesTheFieldOfOneLineAndPassesOverTheRest) {
    expect_read("abcdef", field_of(3, 3), "abc+");
    expect_read("ab", field_of(3, 3), "ab ");
    // Nothing is interpreted: tabs, NUL bytes and a carriage return inside a line stay.
    expect_read(std::string("\t\0\r\r", 4), field_of(3, 3), std::string("\t\0\r", 3));
    // A field wider than the destination leaves it the field's last columns.
    expect_read("abcde", field_of(5, 3), "cde");
    expect_read("ab", field_of(5, 3), "   ");
    expect_read(std::string(70, 'a'), field_of(50, 60),
                std::string(50, 'a') + std::string(10, ' ') + "+");
    // A column is a character, whatever its UTF-8 bytes, and none is ever cut: an en dash takes
    // three bytes of the destination, or none.
    expect_read("1–2–3x", field_of(5, 12), "1–2–3   +");
    expect_read("1–2–3x", field_of(2, 3), "1  +");
}

// An input that has ended, or failed, is not read again, though a console may take more typing.
TEST(LineReader, EndsForGoodAtTheEndOfItsInputOrAtAnError) {
    for (const int error : {0, EIO}) {
        const std::string reads[] = {"a\nbc", "", "late\n"};
        std::size_t next = 0;
        LineReader reader([&](char* buffer, std::size_t capacity, std::size_t& count) {
            count = next < std::size(reads) ? reads[next].copy(buffer, capacity) : 0;
            return next++ == 1 ? error : 0;
        });
        std::string lines, line;
        bool has_line = true;
        int got = 0;
        for (int read = 0; read < 4; ++read) {
            got = reader.next_line(line, has_line);
            lines += has_line ? line + "|" : "-";
        }
        EXPECT_EQ(lines, error == 0 ? "a|bc|--" : "a|---");
        EXPECT_EQ(got, error);
    }
}

TEST(IntegerInput, ReadsEveryFormOverAsManyLinesAsItTakes) {
    const std::pair<std::string, std::string> cases[] = {
        {"\n \t\n2025,11,21\r\n15\t30 ,00", "2025 11 21 15 30 0"},
        {"+0002025 -011 0 -0 2147483647 -2147483648", "2025 -11 0 0 2147483647 -2147483648"},
        // A comma with no value since the last one or the line's start is a null value.
        {",11,,15,30,0", "77 11 77 15 30 0"},
        {"2025 11\n,21 15 30 0", "2025 11 77 21 15 30"},
        {"3*7 2* 4", "7 7 7 77 77 4"},
        {"1 99999999999*-9 ignored", "1 -9 -9 -9 -9 -9"},
        {"2025 11 /21 15 30 0", "2025 11 77 77 77 77"},
        {"1 2 3 4 5\n6 7,x", "1 2 3 4 5 6"},
        // The last read is shorter than the one before, whose bytes stay behind it.
        {"1 2 3 4\n      5\n6", "1 2 3 4 5 6"},
    };
    for (const auto& [input, expected] : cases) {
        expect_read(input, six_integers, expected);
    }
}

TEST(ConsoleInput, EndsInAnInputOutputFailureNamingTheLine) {
    const Read enter = [](Channels& channels) {
        channels.wait_for_enter(console_input);
        return std::string();
    };
    const std::string integers = "whitespace-separated integer input on channel 5: ";
    const std::string range = "\" lies outside the range of signed 32-bit integers";
    const std::tuple<std::string, Read, std::string, std::string> cases[] = {
        {"", enter, "wait for Enter on channel 5: the console input ended", "1"},
        {std::string(LineReader::longest_line + 1, 'y'), field_of(1, 1),
         "fixed-width field input on channel 5: the line is longer than 16777216 bytes", "1"},
        {"0*5", six_integers, integers + "the item \"0*5\" has a repeat count of 0", "1"},
        {"+2*7", six_integers, integers + "the item \"+2*7\" is not an integer", "1"},
        {"1 -", six_integers, integers + "the item \"-\" is not an integer", "1"},
        {"2147483648", six_integers, integers + "the item \"2147483648" + range, "1"},
        {"-2147483649", six_integers, integers + "the item \"-2147483649" + range, "1"},
        {std::string(40, '9'), six_integers,
         integers + "the item \"" + std::string(40, '9') + range, "1"},
    };
    for (const auto& [input, read, diagnostic, line] : cases) {
        test_support::FakeConsole console(input);
        Channels channels(console);
        EXPECT_EQ(test_support::program_end_of([&, &read = read] { read(channels); }),
                  failure_exit_status);
        EXPECT_EQ(console.error, "DoridivezizoziRUR: input/output failure: " + diagnostic +
                                     "\r\n  at standard input, line " + line + "\r\n");
    }
}

}  // namespace
}  // namespace lineio
