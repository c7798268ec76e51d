#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"

namespace {

using lineio::Channels;
using lineio::console_input;
using test_support::FakeConsole;
using test_support::program_end_of;
using test_support::ScratchDirectory;

constexpr int listing_channel = 10;

// Reads one field from the console, then the whole of the next line, to see where it stopped.
struct FieldRead {
    std::string field;
    std::string next_line;
};

FieldRead read_field(const std::string& input, int width, std::size_t capacity,
                     std::size_t read_size = 4096) {
    FakeConsole console(input);
    console.read_size = read_size;
    Channels channels(console);
    std::string destination(capacity, '#');
    EXPECT_EQ(channels.field_input(console_input, width, destination), lineio::line_read);
    std::string next(80, '#');
    channels.field_input(console_input, 80, next);
    return {destination, std::string(lineio::trimmed(next))};
}

TEST(FieldInput, TakesTheFirstColumnsOfALine) {
    const std::string seventy = std::string(50, 'a') + std::string(20, 'b');
    struct Case {
        std::string input;
        int width;
        std::size_t capacity;
        std::string field;
    };
    const std::vector<Case> cases = {
        {"abc\r\nnext\r\n", 3, 3, "abc"},
        {"abc\nnext\n", 3, 3, "abc"},
        {"abcdef\nnext\n", 3, 3, "abc"},
        {"No\nnext\n", 1, 1, "N"},
        {" N\nnext\n", 1, 1, " "},
        {"\nnext\n", 1, 1, " "},
        {"\r\nnext\n", 1, 1, " "},
        {seventy + "\nnext\n", 50, 60, std::string(50, 'a') + std::string(10, ' ')},
        {"\nnext\n", 50, 60, std::string(60, ' ')},
        {"  My Clips\nnext\n", 12, 12, "  My Clips  "},
        // Nothing is interpreted: tabs and a carriage return not before the line feed stay.
        {"\ta\rb\nnext\n", 4, 4, "\ta\rb"},
        {"ab\r\r\nnext\n", 3, 3, "ab\r"},
        // A field wider than the destination leaves it the field's last columns.
        {"abcde\nnext\n", 5, 3, "cde"},
        {"ab\nnext\n", 5, 3, "   "},
    };
    for (const Case& each : cases) {
        const FieldRead read = read_field(each.input, each.width, each.capacity);
        EXPECT_EQ(read.field, each.field) << each.input;
        EXPECT_EQ(read.next_line, "next") << each.input;
        // The same through reads of one byte at a time, which split every line end.
        EXPECT_EQ(read_field(each.input, each.width, each.capacity, 1).field, each.field);
    }
}

TEST(FieldInput, PassesOverALongLineInBoundedMemory) {
    const std::string long_line = "2018-08-24 09.05.00.mp4" + std::string(10'000'000, 'x');
    const FieldRead read = read_field(long_line + "\r\nnext\r\n", 23, 23);
    EXPECT_EQ(read.field, "2018-08-24 09.05.00.mp4");
    EXPECT_EQ(read.next_line, "next");
}

TEST(FieldInput, EndOfConsoleInputIsAFailure) {
    FakeConsole console("first\nsecond\nthird");
    Channels channels(console);
    lineio::FixedText<50> folder;
    for (int line = 0; line < 3; ++line) {
        channels.field_input(console_input, 50, folder.span());
    }
    EXPECT_EQ(folder.trimmed_view(), "third");
    EXPECT_EQ(program_end_of([&] { channels.field_input(console_input, 50, folder.span()); }),
              lineio::failure_exit_status);
    EXPECT_EQ(console.error,
              "DoridivezizoziRUR: input/output failure: fixed-width field input on channel 5: "
              "the console input ended\r\n  at standard input, line 4\r\n");
    // The destination keeps what it held.
    EXPECT_EQ(folder.trimmed_view(), "third");
}

TEST(FieldInput, ReadsAListingToItsEnd) {
    struct Case {
        std::string listing;
        std::vector<std::string> names;
        std::vector<bool> longer;  // whether each line went on past the field's 23 columns
    };
    const std::string clip = "2025_11_21_15_40_10.mp4";
    const std::vector<Case> cases = {
        {"a.mp4\r\nb.mp4\r\n", {"a.mp4", "b.mp4"}, {false, false}},
        {"a.mp4\nb.mp4\n", {"a.mp4", "b.mp4"}, {false, false}},
        {"a.mp4\nb.mp4", {"a.mp4", "b.mp4"}, {false, false}},
        {"a.mp4\r\n\r\nb.mp4\r", {"a.mp4", "", "b.mp4\r"}, {false, false, false}},
        {"", {}, {}},
        {"\n", {""}, {false}},
        // A carriage return before the line feed is no part of the line; one elsewhere is.
        {clip + "\r\n" + clip + "x\n" + clip + "\r\r\nshort\n" + clip,
         {clip, clip, clip, "short", clip},
         {false, true, true, false, false}},
    };
    for (const Case& each : cases) {
        ScratchDirectory scratch;
        ScratchDirectory::write_file("list.txt", each.listing);
        FakeConsole console;
        Channels channels(console);
        channels.open(listing_channel, "list.txt");
        std::vector<std::string> names;
        std::vector<bool> longer;
        lineio::FixedText<23> name;
        bool longer_than_field = false;
        while (channels.field_input(listing_channel, 23, name.span(), &longer_than_field) ==
               lineio::line_read) {
            names.emplace_back(name.trimmed_view());
            longer.push_back(longer_than_field);
        }
        EXPECT_EQ(names, each.names);
        EXPECT_EQ(longer, each.longer);
        // The end stays the end, and leaves the destination as it was.
        const lineio::FixedText<23> before = name;
        EXPECT_EQ(channels.field_input(listing_channel, 23, name.span()), lineio::end_of_file);
        EXPECT_EQ(name.view(), before.view());
        channels.close(listing_channel);
        EXPECT_EQ(ScratchDirectory::read_file("list.txt"), each.listing);
        EXPECT_TRUE(console.error.empty());
    }
}

}  // namespace
