// Output lines, console gathering, and the two ways the program ends.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <tuple>
#include <vector>

#include "lineio/channels.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"

namespace lineio {
namespace {

TEST(Lines, FillTheirFieldsEndAtTheLastColumnWrittenAndBreakBeforeColumn80) {
    const std::vector<std::tuple<LineLayout, std::vector<Item>, std::string>> cases = {
        {{IntegerField{6}, TextField{3}}, {-12, ""}, "   -12   "},
        {{IntegerField{2}, IntegerField{1}, IntegerField{2}}, {123, -5, -5}, "***-5"},
        {{Skip{1}, TextField{3}, RepeatedGroup{60, {TextField{1}}}}, {"abc", "x", "/"}, " abcx/"},
        {{Skip{3}, TextField{2}, Skip{4}}, {"ab"}, "   ab"},
        {{RepeatedGroup{2, {IntegerField{2}}}, TextField{3}}, {1, 2, "ab"}, " 1 2 ab"},
    };
    for (const auto& [layout, items, expected] : cases) {
        std::string line;
        render_formatted_line(layout, items, line);
        EXPECT_EQ(line, expected);
    }
    // A list line breaks before a piece that would pass column 79.
    const std::string x(40, 'x');
    const std::string_view y = std::string_view(x).substr(1);
    for (const auto& [items, expected] : std::vector<std::tuple<std::vector<Item>, std::string>>{
             {{x, y.substr(1)}, " " + x + x.substr(2)},
             {{x, y}, " " + x + "\r\n " + x.substr(1)},
             {{"n", 42, -7}, " n           42           -7"}}) {
        std::string line;
        render_list_line(items, line);
        EXPECT_EQ(line, expected);
    }
}

TEST(ConsoleOutput, IsWrittenThroughForAPersonAndGatheredForAPipeUntilTheNextRead) {
    for (const bool person : {true, false}) {
        test_support::FakeConsole console("y\n", person);
        {
            Channels channels(console);
            channels.list_line(console_output, {"prompt"});
            EXPECT_EQ(console.output, person ? " prompt\r\n" : "");
            std::string answer(1, ' ');
            channels.field_input(console_input, 1, answer);
            EXPECT_EQ(console.output, " prompt\r\n");
            channels.empty_line(console_output);
        }
        // Leaving without an orderly stop still writes everything out.
        EXPECT_EQ(console.output, " prompt\r\n\r\n");
    }
    test_support::FakeConsole console("", false);
    Channels channels(console);
    for (int line = 0; line < 5000; ++line) {
        channels.formatted_line(console_output, {TextField{76}}, {"t"});
    }
    EXPECT_GE(console.output.size(), 5000U * 78U - 70U * 1024U);
}

TEST(ProgramEnd, WritesOutTheConsoleAndTheFilesBeforeTheNoticeOrTheDiagnostic) {
    const test_support::ScratchDirectory scratch;
    for (const bool fails : {false, true}) {
        test_support::FakeConsole console("", false);
        Channels channels(console);
        channels.open(2, "report.txt");
        channels.list_line(2, {"written"});
        channels.text_line(console_output, "shown\n\nat its third line");
        const auto status = test_support::program_end_of([&] {
            fails ? channels.fail(lineio::Activity::program, console_output, "broken")
                  : channels.orderly_stop();
        });
        EXPECT_EQ(status, fails ? failure_exit_status : orderly_exit_status);
        EXPECT_EQ(console.output, "shown\n\nat its third line\r\n");
        EXPECT_EQ(console.error, fails ? "DoridivezizoziRUR: input/output failure: program on "
                                         "channel 6: broken\r\n  at standard output, line 3\r\n"
                                       : "Program stopped\r\n");
        EXPECT_EQ(test_support::ScratchDirectory::read_file("report.txt"), " written\r\n");
    }
    test_support::FakeConsole console("", true);
    console.output_error = EPIPE;
    Channels channels(console);
    EXPECT_EQ(test_support::program_end_of([&] { channels.list_line(console_output, {"lost"}); }),
              failure_exit_status);
    EXPECT_TRUE(console.error.starts_with(
        "DoridivezizoziRUR: input/output failure: console output on channel 6: "));
}

// A window opened for the program alone waits for Enter after every end that did not wait for it
// already. The count of the console's processes is faked: only a double-click makes it one.
TEST(ProgramEnd, KeepsAWindowOfItsOwnUntilEnterUnlessTheEndWaitedOrTheInputEnded) {
    enum class End { failure, finish, stop_after_wait, wait_at_input_end, arguments };
    struct Row {
        int processes;
        bool typed, asks;
        End end;
        std::string input, left;  // left: the input not read
    };
    const std::string next = "y\nnext\n";
    const std::vector<Row> rows = {
        {1, true, true, End::failure, next, "next\n"},
        {1, true, true, End::finish, next, "next\n"},
        {1, true, true, End::arguments, next, "next\n"},  // a mistake in its arguments
        {1, true, true, End::finish, "", ""},  // an input that has ended is not waited on
        {1, true, false, End::stop_after_wait, next, ""},
        {1, true, false, End::wait_at_input_end, "", ""},
        {2, true, false, End::failure, next, next},
        {0, true, false, End::failure, next, next},
        {1, false, false, End::failure, next, next},
    };
    for (const Row& row : rows) {
        test_support::FakeConsole console(row.input, true);
        console.typed = row.typed;
        ProgramEnd end{-1};
        try {
            Channels channels(console);
            channels.list_line(console_output, {"shown"});  // no wait for Enter, whatever comes
            if (row.end == End::stop_after_wait || row.end == End::wait_at_input_end) {
                channels.wait_for_enter(console_input);
            }
            row.end == End::failure     ? channels.fail(Activity::program, console_output, "broken")
            : row.end == End::arguments ? throw ProgramEnd{2}  // as the program returns it
                                        : channels.finish(3);
        } catch (const ProgramEnd& thrown) {
            end = thrown;
        }
        keep_window_until_read(console, row.processes, end);
        EXPECT_EQ(console.error.ends_with("Press Enter to close this window\r\n"), row.asks)
            << row.processes << console.error;
        EXPECT_EQ(console.input, row.left) << row.processes << console.error;
    }
}

TEST(Printable, ShowsEveryControlCharacterAsOneQuestionMark) {
    EXPECT_EQ(printable("a\x1b[2J\x7f\xC2\x9B b\xC2\xA0\r\n"), "a?[2J?? b\xC2\xA0??");
    EXPECT_EQ(printable("x\r\ny\n\r", true), "x\r\ny??");
    // The first and last C1 controls, the bytes around them, and a lead byte cut off by the end
    // of the text, whatever lies behind it.
    EXPECT_EQ(printable("\xC2\x80\xC2\x9F\xC2\x7F\xC2\xA0\xC2\x85"), "????\xC2\xA0?");
    EXPECT_EQ(printable(std::string_view("a\xC2\x85", 2)), "a?");
    // Bytes that are no UTF-8: 8-bit controls alone, a lone lead byte, 0xFF, an overlong form
    // and a surrogate, each byte one '?'; the widest characters stay whole.
    EXPECT_EQ(printable("\x9B\x85x\xC3y\xFF\xC0\xAF\xED\xA0\x80\xF4\x8F\xBF\xBF\xE2\x82\xAC"),
              "??x?y??????\xF4\x8F\xBF\xBF\xE2\x82\xAC");
    EXPECT_EQ(printable("\r\n\r\rx\n", true), "\r\n??x?");
    // A line feed that starts the text, or a carriage return that ends it, ends no line, whatever
    // lies beyond the text in memory.
    EXPECT_EQ(printable(std::string_view("\r\nx").substr(1), true), "?x");
    EXPECT_EQ(printable(std::string_view("a\r\n").substr(0, 2), true), "a?");
}

}  // namespace
}  // namespace lineio
