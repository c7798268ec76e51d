#include "lineio/line_layout.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lineio/channels.hpp"
#include "support/fake_console.hpp"

namespace {

using lineio::IntegerField;
using lineio::Item;
using lineio::LineLayout;
using lineio::RepeatedGroup;
using lineio::Skip;
using lineio::TextField;

std::string list_line(const std::vector<Item>& items) {
    std::string line;
    lineio::render_list_line(items, line);
    return line;
}

std::string formatted(const LineLayout& layout, const std::vector<Item>& items) {
    std::string line;
    lineio::render_formatted_line(layout, items, line);
    return line;
}

TEST(ListLine, RendersItemsInTheirColumns) {
    struct Case {
        std::vector<Item> items;
        std::string expected;
    };
    const std::string seventy_eight(78, 'x');
    const std::string hundred(100, 'z');
    const std::vector<Case> cases = {
        // A 9-character text, 13 and a 16-character text beginning with a blank: 40 columns.
        {{"File name", 13, " characters long"},
         " File name" + std::string(11, ' ') + "13" + "  characters long"},
        {{"Press Enter to terminate"}, " Press Enter to terminate"},
        {{0}, " " + std::string(11, ' ') + "0"},
        {{-5}, " " + std::string(10, ' ') + "-5"},
        {{-2147483647 - 1}, " " + std::string(1, ' ') + "-2147483648"},
        {{"x", 1, "y"}, " x " + std::string(11, ' ') + "1 y"},
        {{}, ""},
        {{""}, " "},
        // A piece that would pass column 79 starts a new line behind a new leading blank.
        {{seventy_eight}, " " + seventy_eight},
        {{seventy_eight, "y"}, " " + seventy_eight + "\r\n y"},
        {{std::string_view(seventy_eight).substr(0, 66), 5},
         " " + seventy_eight.substr(0, 66) + " \r\n " + std::string(11, ' ') + "5"},
        // A piece appended to an empty line never breaks it, however long.
        {{hundred}, " " + hundred},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(list_line(each.items), each.expected);
    }
}

TEST(FormattedLine, FollowsTheLayout) {
    const LineLayout report_timestamp = {IntegerField{4}, Skip{1},
                                         RepeatedGroup{5, {IntegerField{2}, Skip{1}}}};
    const LineLayout summary = {IntegerField{6}, TextField{27}};
    const std::string seventy_two = std::string(70, 'u') + "  ";
    struct Case {
        LineLayout layout;
        std::vector<Item> items;
        std::string expected;
    };
    const std::vector<Case> cases = {
        // Single digits are padded with a blank, and the last skip adds no twentieth column.
        {report_timestamp, {2018, 8, 24, 9, 5, 0}, "2018  8 24  9  5  0"},
        {{TextField{76}}, {seventy_two}, "    " + seventy_two},
        {{TextField{5}}, {"abcdefgh"}, "abcde"},
        {summary, {12, " files successfully renamed"}, "    12 files successfully renamed"},
        {summary, {0, " files successfully renamed"}, "     0 files successfully renamed"},
        {{IntegerField{2}}, {123}, "**"},
        {{IntegerField{8}}, {-10000000}, "********"},
        {{IntegerField{2}}, {-5}, "-5"},
        {{IntegerField{1}}, {-5}, "*"},
        {{TextField{21}, IntegerField{8}},
         {"Correction (minutes):", -1440},
         "Correction (minutes):   -1440"},
        // The walk ends at the first field without an item; skips behind it add nothing.
        {{Skip{1}, TextField{3}, RepeatedGroup{60, {TextField{1}}}},
         {"abc", "x", "/", "y"},
         " abcx/y"},
        {{Skip{3}, TextField{2}, Skip{4}}, {"ab"}, "   ab"},
        {{TextField{4}, IntegerField{2}}, {"ab"}, "  ab"},
        // Nested groups repeat their elements in order.
        {{RepeatedGroup{2, {TextField{1}, RepeatedGroup{2, {IntegerField{1}}}}}},
         {"a", 1, 2, "b", 3, 4},
         "a12b34"},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(formatted(each.layout, each.items), each.expected);
    }
}

TEST(OutputLines, EndInCarriageReturnAndLineFeed) {
    test_support::FakeConsole console;
    lineio::Channels channels(console);
    channels.list_line(lineio::console_output, {"DONE ... Press Enter to terminate"});
    channels.empty_line(lineio::console_output);
    channels.list_line(lineio::console_output, {});
    channels.formatted_line(lineio::console_output, {TextField{5}}, {"abc"});
    EXPECT_EQ(console.output, " DONE ... Press Enter to terminate\r\n\r\n\r\n  abc\r\n");
}

TEST(OutputLines, ALineAndTheEmptyLineAfterItGoOutInOneWrite) {
    test_support::FakeConsole console;
    lineio::Channels channels(console);
    const std::vector<Item> items{"Could not rename ", "Clips/a.mp4"};
    channels.formatted_line_and_empty_line(lineio::console_output,
                                           {Skip{1}, TextField{17}, TextField{11}}, items);
    EXPECT_EQ(console.output, " Could not rename Clips/a.mp4\r\n\r\n");
    EXPECT_EQ(console.output_writes, 1);
}

}  // namespace
