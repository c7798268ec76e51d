#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "lineio/platform.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"
#include "support/system_errors.hpp"

namespace {

using lineio::Channels;
using test_support::FakeConsole;
using test_support::program_end_of;
using test_support::ScratchDirectory;

constexpr int report_channel = 2;
constexpr int listing_channel = 10;
const lineio::LineLayout timestamp_line = {
    lineio::IntegerField{4}, lineio::Skip{1},
    lineio::RepeatedGroup{5, {lineio::IntegerField{2}, lineio::Skip{1}}}};

TEST(FileChannel, ALongerEarlierReportIsReplacedWhole) {
    ScratchDirectory scratch;
    std::string earlier;
    for (int line = 0; line < 20; ++line) {
        earlier += "an earlier report line that is long\r\n";
    }
    ScratchDirectory::write_file("report.txt", earlier);
    FakeConsole console;
    Channels channels(console);
    channels.open(report_channel, "  report.txt  ");
    // Opening alone changes nothing yet.
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), earlier);
    channels.formatted_line(report_channel, timestamp_line, {2018, 8, 24, 9, 5, 0});
    // Each line is in the file as soon as it is written.
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), "2018  8 24  9  5  0\r\n");
    channels.formatted_line(report_channel, {lineio::TextField{21}, lineio::IntegerField{8}},
                            {"Correction (minutes)", 60});
    channels.empty_line(report_channel);
    channels.list_line(report_channel, {"Could not rename ", "a/b"});
    channels.formatted_line(report_channel, {lineio::IntegerField{6}, lineio::TextField{27}},
                            {0, " files successfully renamed"});
    channels.close(report_channel);
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"),
              "2018  8 24  9  5  0\r\n Correction (minutes)      60\r\n\r\n"
              " Could not rename a/b\r\n     0 files successfully renamed\r\n");
}

TEST(FileChannel, OpeningAMissingFileCreatesItEmpty) {
    ScratchDirectory scratch;
    FakeConsole console;
    Channels channels(console);
    channels.open(listing_channel, "list.txt");
    lineio::FixedText<23> name;
    EXPECT_EQ(channels.field_input(listing_channel, 23, name.span()), lineio::end_of_file);
    channels.close(listing_channel);
    EXPECT_TRUE(std::filesystem::is_regular_file("list.txt"));
    EXPECT_EQ(std::filesystem::file_size("list.txt"), 0U);
}

TEST(FileChannel, AFileOnlyReadStaysAsItWasAndIsReadAgainAfterReopening) {
    ScratchDirectory scratch;
    const std::string listing = "b.mp4\r\na.mp4\r\n";
    ScratchDirectory::write_file("list.txt", listing);
    std::filesystem::permissions(
        "list.txt", std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    FakeConsole console;
    Channels channels(console);
    lineio::FixedText<23> name;
    channels.open(listing_channel, "list.txt");
    EXPECT_EQ(channels.field_input(listing_channel, 23, name.span()), lineio::line_read);
    EXPECT_EQ(name.trimmed_view(), "b.mp4");
    channels.close(listing_channel);
    EXPECT_EQ(ScratchDirectory::read_file("list.txt"), listing);
    channels.open(1, "list.txt");
    channels.field_input(1, 23, name.span());
    EXPECT_EQ(name.trimmed_view(), "b.mp4");
    channels.close(1);
}

TEST(FileChannel, AReadOnlyFileIsOpenedForReadingOnly) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("report.txt", "kept\r\n");
    std::filesystem::permissions("report.txt", std::filesystem::perms::owner_read);
    if (std::ofstream("report.txt", std::ios::app)) {
        GTEST_SKIP() << "this user may write any file";
    }
    FakeConsole console;
    Channels channels(console);
    channels.open(report_channel, "report.txt");
    EXPECT_EQ(program_end_of([&] { channels.empty_line(report_channel); }),
              lineio::failure_exit_status);
    EXPECT_NE(console.error.find("the file could be opened for reading only"), std::string::npos);
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), "kept\r\n");
}

// The diagnostic with which opening `name` on the report channel ends the program.
std::string open_failure(const std::string& name) {
    FakeConsole console;
    Channels channels(console);
    EXPECT_EQ(program_end_of([&] { channels.open(report_channel, name); }),
              lineio::failure_exit_status);
    return console.error;
}

std::string open_diagnostic(const std::string& reason) {
    return "DoridivezizoziRUR: input/output failure: open on channel 2: " + reason +
           "\r\n  at file \"";
}

TEST(FileChannel, WhatCannotBeOpenedIsAnInputOutputFailure) {
    namespace system_error = test_support::system_error;
    ScratchDirectory scratch;
    std::filesystem::create_directory("folder");
    struct Case {
        std::string name;
        int error;
    };
    const Case cases[] = {
        {"folder", system_error::folder_as_file},
        {"missing/report.txt", system_error::no_such_path},
        {std::string("nul\0name", 8), system_error::invalid_name},
    };
    for (const Case& each : cases) {
        const std::string diagnostic = open_failure(each.name);
        EXPECT_EQ(diagnostic.find(open_diagnostic(lineio::platform::describe_error(each.error))),
                  0U)
            << diagnostic;
    }
    EXPECT_FALSE(std::filesystem::exists("missing"));
}

TEST(FileChannel, ASymbolicLinkIsNeverOpened) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("target.txt", "precious\r\n");
    std::error_code error;
    std::filesystem::create_symlink("target.txt", "link.txt", error);
    if (error) {
        GTEST_SKIP() << "no symbolic link can be made here: " << error.message();
    }
    const std::string diagnostic = open_failure("link.txt");
    EXPECT_EQ(diagnostic.find(
                  open_diagnostic("the name is a symbolic link, which the program never follows")),
              0U)
        << diagnostic;
    EXPECT_EQ(ScratchDirectory::read_file("target.txt"), "precious\r\n");
}

TEST(FileChannel, LinesAreWrittenOnlyWhereTheReadingStopped) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("both.txt", "first\nsecond\n");
    FakeConsole console;
    Channels channels(console);
    lineio::FixedText<23> name;
    channels.open(3, "both.txt");
    channels.field_input(3, 23, name.span());
    // The rest of the file was read ahead; a line written now would not follow "first".
    EXPECT_EQ(program_end_of([&] { channels.list_line(3, {"third"}); }),
              lineio::failure_exit_status);
    EXPECT_EQ(ScratchDirectory::read_file("both.txt"), "first\nsecond\n");

    // Read to its end, the file takes further lines behind the last one.
    Channels again(console);
    again.open(3, "both.txt");
    while (again.field_input(3, 23, name.span()) == lineio::line_read) {
    }
    again.list_line(3, {"third"});
    again.close(3);
    EXPECT_EQ(ScratchDirectory::read_file("both.txt"), "first\nsecond\n third\r\n");
}

TEST(FileChannel, AFailureNamesTheFileAndTheLineReached) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("numbers.txt", "1 2 3\n4 5\n");
    FakeConsole console;
    Channels channels(console);
    channels.open(3, "numbers.txt");
    std::int32_t value = 0;
    std::int32_t* const six[] = {&value, &value, &value, &value, &value, &value};
    EXPECT_EQ(program_end_of([&] { channels.integer_input(3, six); }), lineio::failure_exit_status);
    EXPECT_EQ(console.error,
              "DoridivezizoziRUR: input/output failure: whitespace-separated integer input on "
              "channel 3: the end of the file was reached before all 6 values were read\r\n"
              "  at file \"numbers.txt\", line 3\r\n");
}

}  // namespace
