#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "lineio/platform.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"
#include "support/system_errors.hpp"

namespace {

using lineio::Channels;
using lineio::console_input;
using lineio::console_output;
using test_support::FakeConsole;
using test_support::program_end_of;
using test_support::ScratchDirectory;

constexpr int report_channel = 2;

TEST(OrderlyStop, WritesTheNoticeAfterTheOutputAndClosesTheFiles) {
    ScratchDirectory scratch;
    FakeConsole console("\n", false);
    Channels channels(console);
    channels.open(report_channel, "report.txt");
    channels.list_line(report_channel, {"last line"});
    channels.list_line(console_output, {"Press Enter to terminate"});
    channels.wait_for_enter(console_input);
    EXPECT_EQ(program_end_of([&] { channels.orderly_stop(); }), lineio::orderly_exit_status);
    EXPECT_EQ(console.output, " Press Enter to terminate\r\n");
    EXPECT_EQ(console.error, "Program stopped\r\n");
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), " last line\r\n");
    // The channel is free again: the report can be opened once more.
    channels.open(report_channel, "report.txt");
    channels.close(report_channel);
    // A given message takes the notice's place.
    EXPECT_EQ(program_end_of([&] { channels.orderly_stop("Stop in error check"); }),
              lineio::orderly_exit_status);
    EXPECT_EQ(console.error, "Program stopped\r\nStop in error check\r\n");
}

TEST(InputOutputFailure, EndOfInputAtTheWaitForEnter) {
    FakeConsole console("", false);
    Channels channels(console);
    channels.list_line(console_output, {"DONE ... Press Enter to terminate"});
    EXPECT_EQ(program_end_of([&] { channels.wait_for_enter(console_input); }),
              lineio::failure_exit_status);
    EXPECT_EQ(console.output, " DONE ... Press Enter to terminate\r\n");
    EXPECT_EQ(console.error,
              "DoridivezizoziRUR: input/output failure: wait for Enter on channel 5: the console "
              "input ended\r\n  at standard input, line 1\r\n");
}

TEST(InputOutputFailure, FlushesTheConsoleAndClosesTheFilesQuietly) {
    ScratchDirectory scratch;
    FakeConsole console("", false);
    Channels channels(console);
    channels.open(report_channel, "report.txt");
    channels.list_line(report_channel, {"written"});
    channels.list_line(console_output, {"shown"});
    EXPECT_EQ(program_end_of([&] { channels.fail("program", console_output, "broken"); }),
              lineio::failure_exit_status);
    EXPECT_EQ(console.output, " shown\r\n");
    EXPECT_EQ(console.error,
              "DoridivezizoziRUR: input/output failure: program on channel 6: broken\r\n"
              "  at standard output, line 1\r\n");
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), " written\r\n");
}

TEST(InputOutputFailure, MisusedChannelsEndTheProgram) {
    ScratchDirectory scratch;
    struct Case {
        const char* what;
        void (*misuse)(Channels&);
        std::string diagnostic;
    };
    const Case cases[] = {
        {"read a channel that is not open",
         [](Channels& channels) {
             lineio::FixedText<23> name;
             channels.field_input(10, 23, name.span());
         },
         "fixed-width field input on channel 10: no file is open on the channel\r\n"
         "  at channel 10, on which no file is open\r\n"},
        {"write a channel that is not open", [](Channels& channels) { channels.empty_line(2); },
         "empty line output on channel 2: no file is open on the channel\r\n"
         "  at channel 2, on which no file is open\r\n"},
        {"close a channel that is not open", [](Channels& channels) { channels.close(1); },
         "close on channel 1: no file is open on the channel\r\n"
         "  at channel 1, on which no file is open\r\n"},
        {"open a channel twice",
         [](Channels& channels) {
             channels.open(1, "list.txt");
             channels.open(1, "list.txt");
         },
         "open on channel 1: a file is already open on the channel\r\n"
         "  at file \"list.txt\", line 1\r\n"},
        {"write the console input", [](Channels& channels) { channels.empty_line(5); },
         "empty line output on channel 5: the console's input cannot be written\r\n"
         "  at standard input, line 1\r\n"},
        {"read the console output",
         [](Channels& channels) { channels.wait_for_enter(console_output); },
         "wait for Enter on channel 6: the console's output cannot be read\r\n"
         "  at standard output, line 1\r\n"},
        {"open the console", [](Channels& channels) { channels.open(6, "x.txt"); },
         "open on channel 6: the channel is the console's, which is never opened\r\n"
         "  at standard output, line 1\r\n"},
        {"open without a name", [](Channels& channels) { channels.open(2, "   "); },
         "open on channel 2: " +
             lineio::platform::describe_error(test_support::system_error::no_such_path) +
             "\r\n  at file \"\"\r\n"},
    };
    for (const Case& each : cases) {
        FakeConsole console("\n");
        Channels channels(console);
        EXPECT_EQ(program_end_of([&] { each.misuse(channels); }), lineio::failure_exit_status)
            << each.what;
        EXPECT_EQ(console.error, "DoridivezizoziRUR: input/output failure: " + each.diagnostic)
            << each.what;
    }
}

TEST(ConsoleOutput, IsWrittenThroughForAPerson) {
    FakeConsole console("y\n", true);
    Channels channels(console);
    channels.list_line(console_output, {"first"});
    EXPECT_EQ(console.output, " first\r\n");
    channels.empty_line(console_output);
    EXPECT_EQ(console.output_writes, 2);
}

TEST(ConsoleOutput, IsGatheredForAPipeAndWrittenBeforeEveryRead) {
    FakeConsole console("y\n", false);
    {
        Channels channels(console);
        channels.list_line(console_output, {"prompt"});
        EXPECT_EQ(console.output, "");
        lineio::FixedText<1> answer;
        channels.field_input(console_input, 1, answer.span());
        ASSERT_EQ(console.output_at_reads.size(), 1U);
        EXPECT_EQ(console.output_at_reads[0], " prompt\r\n");
        channels.list_line(console_output, {"after"});
        EXPECT_EQ(console.output, " prompt\r\n");
    }
    // Leaving without an orderly stop still writes everything out.
    EXPECT_EQ(console.output, " prompt\r\n after\r\n");
}

TEST(ConsoleOutput, GatheringStaysBounded) {
    FakeConsole console("", false);
    Channels channels(console);
    const std::string text(76, 't');
    for (int line = 0; line < 5000; ++line) {
        channels.formatted_line(console_output, {lineio::TextField{76}}, {text});
    }
    EXPECT_GE(console.output_writes, 5);
    EXPECT_LE(console.output.size(), 5000U * 78U);
    EXPECT_GE(console.output.size(), 5000U * 78U - 70U * 1024U);
}

TEST(ConsoleOutput, AFailedWriteIsAnInputOutputFailure) {
    FakeConsole console("", true);
    console.output_error = EPIPE;
    Channels channels(console);
    EXPECT_EQ(program_end_of([&] { channels.list_line(console_output, {"lost"}); }),
              lineio::failure_exit_status);
    EXPECT_EQ(console.error.rfind("DoridivezizoziRUR: input/output failure: console output on "
                                  "channel 6: ",
                                  0),
              0U)
        << console.error;
}

}  // namespace
