// Files on channels, the folder listing and renames, in a scratch directory on the real disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "lineio/platform.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"
#include "support/system_errors.hpp"

namespace {

namespace fs = std::filesystem;
namespace system_error = test_support::system_error;
using lineio::Channels;
using test_support::FakeConsole;
using test_support::program_end_of;
using test_support::ScratchDirectory;

// The diagnostic with which `action` ends the program, or "" when it does not.
std::string failure_of(const std::function<void(Channels&)>& action) {
    FakeConsole console;
    Channels channels(console);
    program_end_of([&] { action(channels); });
    return console.error;
}

TEST(FileChannel, ReplacesAnEarlierFileWholeFromTheFirstLineWritten) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("report.txt", std::string(500, 'e'));
    FakeConsole console;
    Channels channels(console);
    channels.open(2, "  report.txt  ");
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), std::string(500, 'e'));
    channels.list_line(2, {"first"});
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), " first\r\n");
    channels.empty_line(2);
    channels.close(2);
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), " first\r\n\r\n");
}

TEST(FileChannel, IsReadToItsEndAndWrittenOnlyBehindIt) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("both.txt", "a.mp4\r\n\r\n" + std::string(30, 'b') + "\r");
    FakeConsole console;
    Channels channels(console);
    channels.open(3, "both.txt");
    std::string name(23, ' ');
    EXPECT_EQ(channels.field_input(3, 23, name), lineio::line_read);
    EXPECT_EQ(failure_of([](Channels& other) {
                  other.open(3, "both.txt");
                  std::string field(23, ' ');
                  other.field_input(3, 23, field);
                  other.list_line(3, {"lost"});
              }),
              "DoridivezizoziRUR: input/output failure: list-style line output on channel 3: the "
              "file was read only in part, and lines cannot follow there\r\n  at file "
              "\"both.txt\", line 2\r\n");
    std::vector<std::string> names{name};
    bool longer = false;
    while (channels.field_input(3, 23, name, &longer) == lineio::line_read) {
        names.push_back(name + (longer ? "+" : ""));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.mp4" + std::string(18, ' '), std::string(23, ' '),
                                               std::string(23, 'b') + "+"}));
    channels.list_line(3, {"third"});
    channels.close(3);
    EXPECT_EQ(ScratchDirectory::read_file("both.txt"),
              "a.mp4\r\n\r\n" + std::string(30, 'b') + "\r third\r\n");
}

TEST(FileChannel, WhatCannotBeOpenedIsAnInputOutputFailure) {
    ScratchDirectory scratch;
    fs::create_directory("folder");
    for (const auto& [name, error] :
         {std::pair<std::string, int>{"folder", system_error::folder_as_file},
          {"missing/report.txt", system_error::no_such_path},
          {std::string("nul\0name", 8), system_error::invalid_name}}) {
        EXPECT_EQ(failure_of([&](Channels& channels) { channels.open(2, name); })
                      .rfind("DoridivezizoziRUR: input/output failure: open on channel 2: " +
                                 lineio::platform::describe_error(error) + "\r\n  at file \"",
                             0),
                  0U);
    }
}

TEST(RunCommandLine, ListsAFolderInByteOrderWithoutShellOrHiddenNames) {
    ScratchDirectory scratch;
    for (const std::string folder : {"clips", "it's $(x) `y` & z;", " lead", "nested/deeper"}) {
        fs::create_directories(folder);
        for (const std::string name : {"b.mp4", "B.avi", "10.m4v", "9.m4v", "\xc3\xa9.mp4"}) {
            ScratchDirectory::write_file(fs::path(folder) / name, "");
        }
        fs::create_directories(fs::path(folder) / "sub");
#ifndef _WIN32
        ScratchDirectory::write_file(fs::path(folder) / ".hidden", "");
#endif
        lineio::FixedText<68> command;
        lineio::concatenate(command.span(), {"dir /B ", folder, " > list.txt"});
        FakeConsole console;
        Channels channels(console);
        EXPECT_EQ(channels.run_command_line(command.view()), 0);
        EXPECT_EQ(ScratchDirectory::read_file("list.txt"),
                  "10.m4v\r\n9.m4v\r\nB.avi\r\nb.mp4\r\nsub\r\n\xc3\xa9.mp4\r\n");
        EXPECT_EQ(channels.run_command_line("dir /B missing > list.txt"), 1);
        EXPECT_EQ(ScratchDirectory::read_file("list.txt"), "");
        for (const std::string other : {"dir /B clips > other.txt", " dir /B clips > list.txt",
                                        "del list.txt y", "touch y"}) {
            EXPECT_EQ(channels.run_command_line(other), 1);
        }
        EXPECT_EQ(channels.run_command_line("del list.txt  "), 0);
        EXPECT_EQ(channels.run_command_line("del list.txt"), 1);
        EXPECT_FALSE(fs::exists("y") || fs::exists("list.txt") || fs::exists("other.txt"));
    }
}

TEST(RenameFile, RenamesWithoutBlanksBehindAndNeverReplaces) {
    const std::string untouched = " lead.mp4=lead clips/old.mp4=old taken.mp4=taken ";
    const std::vector<std::tuple<std::string, std::string, int, std::string>> cases = {
        {"clips/old.mp4   ", "clips/new.mp4   ", 0,
         " lead.mp4=lead clips/new.mp4=old taken.mp4=taken "},
        {" lead.mp4", " new.mp4", 0, " new.mp4=lead clips/old.mp4=old taken.mp4=taken "},
        {"clips/old.mp4", "taken.mp4", system_error::name_taken, untouched},
        {"clips/old.mp4", "clips/old.mp4", 0, untouched},
        {"missing.mp4", "missing.mp4", system_error::no_such_file, untouched},
        {"taken.mp4", std::string("b\0c.mp4", 7), system_error::invalid_name, untouched},
    };
    for (const auto& [from, to, result, after] : cases) {
        ScratchDirectory scratch;
        fs::create_directory("clips");
        ScratchDirectory::write_file("clips/old.mp4", "old");
        ScratchDirectory::write_file("taken.mp4", "taken");
        ScratchDirectory::write_file(" lead.mp4", "lead");
        FakeConsole console;
        Channels channels(console);
        EXPECT_EQ(channels.rename_file(from, to), result) << from;
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(".")) {
            if (entry.is_regular_file()) {
                names.push_back(entry.path().lexically_relative(".").generic_string() + "=" +
                                ScratchDirectory::read_file(entry.path()) + " ");
            }
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::accumulate(names.begin(), names.end(), std::string()), after) << from;
    }
}

}  // namespace
