// Files on channels and the folder listing, in a scratch directory on the real disk.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "lineio/channels.hpp"
#include "lineio/line_reader.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"

namespace {

namespace fs = std::filesystem;
using lineio::Channels;
using test_support::ScratchDirectory;

TEST(FileChannel, IsWrittenOverWholeFromTheFirstLineWrittenAndNeverAfterAPartRead) {
    const ScratchDirectory scratch;
    ScratchDirectory::write_file("report.txt", std::string(500, 'e'));
    test_support::FakeConsole console;
    Channels channels(console);
    channels.open(2, "  report.txt  ");
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), std::string(500, 'e'));
    channels.list_line(2, {"first"});
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), " first\r\n");
    channels.empty_line(2);
    channels.close(2);
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), " first\r\n\r\n");
}

TEST(RunCommandLine, ListsAFolderInByteOrderWithoutShellOrHiddenNames) {
    const ScratchDirectory scratch;
    const std::string folder = " it's $(x) `y` & z;/deeper";
    for (const std::string name : {"b.mp4", "B.avi", "10.m4v", "9.m4v", "\xc3\xa9.mp4"}) {
        ScratchDirectory::write_file(fs::path(folder) / ScratchDirectory::utf8_path(name));
    }
    fs::create_directories(fs::path(folder) / "sub");
#ifndef _WIN32
    ScratchDirectory::write_file(fs::path(folder) / ".hidden");
#endif
    test_support::FakeConsole console;
    Channels channels(console);
    EXPECT_EQ(channels.run_command_line("dir /B " + folder + " > list.txt  "), 0);
    EXPECT_EQ(ScratchDirectory::read_file("list.txt"),
              "10.m4v\r\n9.m4v\r\nB.avi\r\nb.mp4\r\nsub\r\n\xc3\xa9.mp4\r\n");
    EXPECT_EQ(channels.run_command_line("dir /B missing > list.txt"), 1);
    EXPECT_EQ(ScratchDirectory::read_file("list.txt"), "");
    EXPECT_EQ(channels.run_command_line("del list.txt  "), 0);
    EXPECT_EQ(channels.run_command_line("del list.txt"), 1);
    // Kept in memory, as for a preview: the disk never sees the listing, which comes back in
    // order with the folder's number.
    std::string in_memory = "left over";
    lineio::FolderListing seen;
    EXPECT_EQ(channels.run_command_line("dir /B " + folder + " > list.txt", &seen, &in_memory), 0);
    EXPECT_FALSE(fs::exists("list.txt"));
    EXPECT_EQ(in_memory, "10.m4v\r\n9.m4v\r\nB.avi\r\nb.mp4\r\nsub\r\n\xc3\xa9.mp4\r\n");
    EXPECT_EQ(seen.entries.size() == 6 ? seen.name(seen.entries[5]) : "", "\xc3\xa9.mp4");
    EXPECT_NE(seen.folder_number, 0U);
    channels.open(1, "list.txt", lineio::FileRole::other, &in_memory);
    std::array<char, 6> first{};
    channels.field_input(1, 6, first);
    EXPECT_EQ(std::string(first.data(), 6), "10.m4v");
    channels.close(1);
    EXPECT_EQ(channels.run_command_line("del list.txt", nullptr, &in_memory), 0);
    EXPECT_EQ(in_memory, "");
    // A listing's line too long for any name ends the run, naming the listing and the line.
    in_memory.assign(lineio::LineReader::longest_line + 1, 'y');
    channels.open(1, "list.txt", lineio::FileRole::other, &in_memory);
    EXPECT_TRUE(test_support::program_end_of([&] { channels.field_input(1, 6, first); }));
    EXPECT_NE(console.error.find("at file \"list.txt\", line 1\r\n"), std::string::npos);
}

}  // namespace
