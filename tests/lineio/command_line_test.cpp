#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"

namespace {

using lineio::Channels;
using test_support::FakeConsole;
using test_support::program_end_of;
using test_support::ScratchDirectory;

// The listing command as the dialogue builds it: 68 columns, blank-filled.
lineio::FixedText<68> listing_command(std::string_view folder) {
    lineio::FixedText<68> command;
    lineio::concatenate(command.span(), {"dir /B ", folder, " > list.txt"});
    return command;
}

// A name beginning with "." is what POSIX hides; Windows hides by an attribute, which such a name
// gets here, so that one table of entries holds on both systems.
void hide_if_dotted(const std::filesystem::path& path) {
#ifdef _WIN32
    if (path.filename().string().starts_with('.')) {
        ASSERT_NE(
            SetFileAttributesA(path.string().c_str(),
                               GetFileAttributesA(path.string().c_str()) | FILE_ATTRIBUTE_HIDDEN),
            0);
    }
#else
    static_cast<void>(path);
#endif
}

void make_files(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        ScratchDirectory::write_file(name, "video");
        hide_if_dotted(name);
    }
}

TEST(RunCommandLine, ListsAFolderSortedWithoutHiddenNames) {
    struct Case {
        std::string folder;
        std::vector<std::string> entries;  // files, or folders when ending in '/'
        std::string listing;
    };
    const std::vector<Case> cases = {
        {"clips",
         {"b.mp4", "a.MP4", "B.avi", ".hidden", "sub/", ".git/", "10.m4v", "9.m4v"},
         "10.m4v\r\n9.m4v\r\nB.avi\r\na.MP4\r\nb.mp4\r\nsub\r\n"},
        {"empty", {}, ""},
        {"My Clips", {"2018-08-24 09.05.00.mp4"}, "2018-08-24 09.05.00.mp4\r\n"},
        {"a;b", {"x.avi"}, "x.avi\r\n"},
        {"it's $(x) `y` & z %PATH% !x!", {"x.avi"}, "x.avi\r\n"},
#ifndef _WIN32
        // Windows allows no quotation mark in a name.
        {"it's \"quoted\"", {"x.avi"}, "x.avi\r\n"},
#endif
        {" lead", {"x.avi"}, "x.avi\r\n"},
        {"nested/deeper", {"n.mp4"}, "n.mp4\r\n"},
        {std::string(50, 'f'), {"long.mp4"}, "long.mp4\r\n"},
        {"utf8-\xc3\xa9t\xc3\xa9", {"\xc3\xa9.mp4", "z.mp4"}, "z.mp4\r\n\xc3\xa9.mp4\r\n"},
    };
    for (const Case& each : cases) {
        ScratchDirectory scratch;
        std::filesystem::create_directories(each.folder);
        for (const std::string& entry : each.entries) {
            const std::filesystem::path path = std::filesystem::path(each.folder) / entry;
            if (entry.ends_with('/')) {
                std::filesystem::create_directory(path);
            } else {
                ScratchDirectory::write_file(path, "video");
            }
            hide_if_dotted(path);
        }
        FakeConsole console;
        Channels channels(console);
        EXPECT_EQ(channels.run_command_line(listing_command(each.folder).view()), 0) << each.folder;
        EXPECT_EQ(ScratchDirectory::read_file("list.txt"), each.listing) << each.folder;
        EXPECT_TRUE(console.output.empty());
        EXPECT_TRUE(console.error.empty());
    }
}

TEST(RunCommandLine, AnEmptyFolderNameListsTheCurrentDirectory) {
    ScratchDirectory scratch;
    make_files({"b.mp4", "a.mp4", ".hidden"});
    ScratchDirectory::write_file("list.txt", "an old listing that is longer\r\n");
    FakeConsole console;
    Channels channels(console);
    EXPECT_EQ(channels.run_command_line(listing_command("").view()), 0);
    EXPECT_EQ(ScratchDirectory::read_file("list.txt"), "a.mp4\r\nb.mp4\r\nlist.txt\r\n");
}

TEST(RunCommandLine, AFolderThatCannotBeListedGivesStatusOneAndAnEmptyListing) {
    ScratchDirectory scratch;
    make_files({"plain.mp4"});
    const std::vector<std::string> folders = {"missing", "plain.mp4", "missing/deeper",
                                              std::string("nul\0byte", 8)};
    for (const std::string& folder : folders) {
        ScratchDirectory::write_file("list.txt", "stale\r\n");
        FakeConsole console;
        Channels channels(console);
        EXPECT_EQ(channels.run_command_line(listing_command(folder).view()), 1);
        EXPECT_TRUE(std::filesystem::exists("list.txt"));
        EXPECT_EQ(std::filesystem::file_size("list.txt"), 0U);
        EXPECT_TRUE(console.error.empty());
    }
}

TEST(RunCommandLine, NoShellEverSeesTheCommand) {
    ScratchDirectory scratch;
    std::filesystem::create_directory("x");
    FakeConsole console;
    Channels channels(console);
    // A folder named "x; touch y" does not exist: nothing is run, nothing created but list.txt.
    EXPECT_EQ(channels.run_command_line(listing_command("x; touch y").view()), 1);
    EXPECT_EQ(channels.run_command_line(listing_command("x && touch y").view()), 1);
    EXPECT_EQ(channels.run_command_line(listing_command("$(touch y)").view()), 1);
    EXPECT_FALSE(std::filesystem::exists("y"));
    EXPECT_FALSE(std::filesystem::exists("touch"));
    // Other command lines do nothing at all.
    const std::vector<std::string> others = {"",
                                             "touch y",
                                             "dir /B x",
                                             "dir /B x > other.txt",
                                             "DIR /B x > list.txt",
                                             " dir /B x > list.txt",
                                             "del other.txt",
                                             "del list.txt y",
                                             "rm -rf x"};
    std::filesystem::remove("list.txt");
    for (const std::string& other : others) {
        EXPECT_EQ(channels.run_command_line(other), 1) << other;
    }
    EXPECT_FALSE(std::filesystem::exists("y"));
    EXPECT_FALSE(std::filesystem::exists("list.txt"));
    EXPECT_FALSE(std::filesystem::exists("other.txt"));
    EXPECT_TRUE(std::filesystem::exists("x"));
}

TEST(RunCommandLine, NeverWritesThroughASymbolicLink) {
    ScratchDirectory scratch;
    std::filesystem::create_directory("clips");
    ScratchDirectory::write_file("target.txt", "precious\r\n");
    std::error_code error;
    std::filesystem::create_symlink("target.txt", "list.txt", error);
    if (error) {
        GTEST_SKIP() << "no symbolic link can be made here: " << error.message();
    }
    FakeConsole console("", false);
    Channels channels(console);
    channels.list_line(lineio::console_output, {"before"});
    EXPECT_EQ(program_end_of([&] { channels.run_command_line(listing_command("clips").view()); }),
              lineio::failure_exit_status);
    EXPECT_EQ(console.output, " before\r\n");
    EXPECT_EQ(console.error,
              "DoridivezizoziRUR: input/output failure: folder listing into list.txt: list.txt is "
              "a symbolic link, which the program never writes through\r\n"
              "  at file \"list.txt\" in the current directory\r\n");
    EXPECT_EQ(ScratchDirectory::read_file("target.txt"), "precious\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink("list.txt"));
}

TEST(RunCommandLine, DeletesTheListing) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("list.txt", "a.mp4\r\n");
    FakeConsole console;
    Channels channels(console);
    const lineio::FixedText<68> command("del list.txt");
    EXPECT_EQ(channels.run_command_line(command.view()), 0);
    EXPECT_FALSE(std::filesystem::exists("list.txt"));
    EXPECT_EQ(channels.run_command_line(command.view()), 1);
}

}  // namespace
