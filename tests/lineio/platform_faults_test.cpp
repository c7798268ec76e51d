// Faults made real: a write that the disk cannot take whole (a limit on the size of files, which
// the system enforces as a full disk), descriptor 0 handed to a file when standard input is
// closed, and a name longer than any the folder can hold.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "lineio/platform.hpp"
#include "support/scratch_directory.hpp"

namespace {

TEST(FileWrite, LeavesOnlyWholeWritesOnAFullDisk) {
    const test_support::ScratchDirectory scratch;
    lineio::platform::File file;
    ASSERT_EQ(file.create_or_empty("report.txt"), 0);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    // Beyond the limit the system sends a signal that would end the test; ignored, the write fails.
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{10, before.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string taken;  // "+" for each write taken, "-" for each refused
    for (const std::string bytes : {"one\r\n", "three\r\n", "two\r\n", "x"}) {
        taken += file.write(bytes) == 0 ? "+" : "-";
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous_handler);
    file.close();
    EXPECT_EQ(taken, "+-+-");
    EXPECT_EQ(test_support::ScratchDirectory::read_file("report.txt"), "one\r\ntwo\r\n");
}

// Started with standard input closed, the program's first file gets descriptor 0, which must
// serve as well as any other.
TEST(FileAndFolder, WorkOnDescriptorZero) {
    const test_support::ScratchDirectory scratch;
    const int standard_input = dup(0);
    ASSERT_GE(standard_input, 0);
    close(0);
    std::string seen;
    {
        lineio::platform::File file;
        seen += file.create_or_empty("zero.txt") == 0 && file.is_open() ? "created " : "- ";
        seen +=
            file.write("0\r\n") == 0 && file.close() == 0 && !file.is_open() ? "written " : "- ";
        seen += file.open_to_read("zero.txt") == 0 && file.is_open() ? "opened " : "- ";
        char byte = 0;
        std::size_t count = 0;
        seen += file.read(&byte, 1, count) == 0 && count == 1 && byte == '0' ? "read " : "- ";
    }
    {
        lineio::platform::Folder folder;
        int names = 0;
        seen += folder.open(".", true) == 0 && folder.is_open() &&
                        folder.list([&](const lineio::platform::FolderEntry&) { ++names; }) == 0 &&
                        names == 1
                    ? "listed"
                    : "-";
        bool found = true;
        // Too long a name is an error of its own, not a name that is free.
        seen += folder.exists(std::string(300, 'a'), found) != 0 ? " refused" : " -";
    }
    dup2(standard_input, 0);
    close(standard_input);
    EXPECT_EQ(seen, "created written opened read listed refused");
}

// A path names the program as the user can start it again from anywhere; a folder reached
// through a symbolic link is refused where links are not to be followed.
TEST(Paths, NameTheProgramAndRefuseALinkedFolder) {
    const test_support::ScratchDirectory scratch;
    test_support::ScratchDirectory::write_file("program", "");
    std::filesystem::create_directory("folder");
    std::filesystem::create_directory_symlink("folder", "link");
    EXPECT_EQ(lineio::platform::command_name("DoridivezizoziRUR"), "DoridivezizoziRUR");
    EXPECT_EQ(lineio::platform::command_name("./program"),
              std::filesystem::canonical("program").string());
    EXPECT_EQ(lineio::platform::command_name("./missing"), "./missing");
    lineio::platform::Folder folder;
    EXPECT_TRUE(lineio::platform::is_symbolic_link_refusal(folder.open("link", false)));
    EXPECT_EQ(folder.open("link", true), 0);
}

}  // namespace
