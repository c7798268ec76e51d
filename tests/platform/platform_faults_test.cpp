// The platform layer's files, folders and errors, with faults made real: a full disk is a limit
// on the size of files, a closed standard input hands its descriptor 0 to the next file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "lineio/channels.hpp"
#include "platform/platform.hpp"
#include "support/fake_console.hpp"
#include "support/scratch_directory.hpp"

namespace {

TEST(FileWrite, LeavesOnlyWholeWritesOnAFullDisk) {
    const test_support::ScratchDirectory scratch;
    platform::File file;
    // A file object used before starts afresh on the next file.
    ASSERT_EQ(file.create_or_empty("earlier.txt") + file.write("earlier"), 0);
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
    // A channel that cannot take its line ends the program with the note left for it.
    test_support::FakeConsole console;
    lineio::Channels channels(console);
    channels.open(2, "noted.txt");
    const auto end = test_support::program_end_of(
        [&] { channels.text_line(2, "eleven bytes", 0, {"The clip was renamed."}); });
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous_handler);
    file.close();
    EXPECT_EQ(taken, "+-+-");
    EXPECT_EQ(end, lineio::failure_exit_status);
    EXPECT_TRUE(console.error.ends_with("\r\nThe clip was renamed.\r\n")) << console.error;
    EXPECT_NE(console.error.find(" at file \"noted.txt\", line 1"), std::string::npos);
    EXPECT_EQ(test_support::ScratchDirectory::read_file("report.txt"), "one\r\ntwo\r\n");
}

// Descriptor 0 serves as any other; a failed close is told; too long a name is not a free name.
// Closed when the program starts, it is held by a stand-in that fails as a closed one.
TEST(FileAndFolder, WorkOnDescriptorZero) {
    using namespace platform;
    const test_support::ScratchDirectory scratch;
    const int standard_input = dup(0);
    close(0);
    File file;
    Folder folder;
    char byte = 0;
    std::size_t count = 0;
    int names = 0;
    bool found = true;
    // Every step is taken, and told apart, so that a failure shows which step it was.
    const bool steps[] = {(prepare_standard_streams(), read(0, &byte, 1) == -1 && errno == EBADF &&
                                                           fcntl(0, F_GETFD) == 0 && close(0) == 0),
                          file.close() == 0,
                          file.create_or_empty("zero.txt") == 0 && file.is_writable(),
                          file.write("0") == 0 && file.truncate_to(1) == 0,
                          file.close() == 0 && !file.is_open(),
                          file.open_to_read("zero.txt") == 0 && !file.is_writable(),
                          file.read(&byte, 1, count) == 0 && byte == '0',
                          file.close() == 0,
                          file.create_new("new.txt") == 0 && file.sync() == 0 && file.close() == 0,
                          file.open_to_read("zero.txt") == 0 && close(0) == 0 && file.close() != 0,
                          folder.open(".", true) == 0 && folder.is_open(),
                          folder.list([&](const FolderEntry&) { ++names; }) == 0 && names == 2,
                          folder.exists(std::string(300, 'a'), found) != 0};
    dup2(standard_input, 0);
    close(standard_input);
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        EXPECT_TRUE(steps[step]) << "step " << step;
    }
    // A folder opened again, and a file moved onto another, let go of what they held.
    const std::filesystem::path descriptors = "/proc/self/fd";
    const auto before = std::distance(std::filesystem::directory_iterator(descriptors), {});
    ASSERT_EQ(folder.open(".", true) + folder.open(".", true), 0);
    File second;
    ASSERT_EQ(file.create_or_empty("first.txt") + second.create_or_empty("second.txt"), 0);
    second = std::move(file);
    EXPECT_EQ(second.write("moved"), 0);
    EXPECT_EQ(test_support::ScratchDirectory::read_file("first.txt"), "moved");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(descriptors), {}), before + 1);
}

// The program named as it can be started from anywhere, a path seen from its file's folder, and a
// folder reached through a link refused where links are not followed.
TEST(Paths, NameTheProgramAndRefuseALinkedFolder) {
    using namespace platform;
    const test_support::ScratchDirectory scratch;
    test_support::ScratchDirectory::write_file("program", "");
    std::filesystem::create_directory("folder");
    std::filesystem::create_directory_symlink("folder", "link");
    EXPECT_EQ(command_name("DoridivezizoziRUR"), "DoridivezizoziRUR");
    EXPECT_EQ(command_name("./program"), std::filesystem::canonical("program").string());
    EXPECT_EQ(command_name("./missing"), "./missing");
    EXPECT_EQ(path_beside("journal.txt", "F") + path_beside("a/b/journal.txt", "F") +
                  path_beside("a/journal.txt", "/F") + path_beside("journal.txt", "/G"),
              "Fa/b/F/F/G");
    Folder folder;
    EXPECT_TRUE(is_symbolic_link_refusal(folder.open("link", false)));
    EXPECT_EQ(folder.open("link", true), 0);
}

}  // namespace

// A folder or a pipe under a clip's name is no clip: refused, never read nor waited on. A read that
// fails each time is told, not tried again: here the test's own memory at address 0.
TEST(ClipFile, OpensARegularFileOnlyAndTellsAFailedRead) {
    const test_support::ScratchDirectory scratch;
    std::filesystem::create_directory("folder.mp4");
    ASSERT_EQ(mkfifo("pipe.mp4", 0600), 0);
    platform::Folder folder;
    ASSERT_EQ(folder.open(".", true), 0);
    platform::FileIdentity identity;
    platform::ClipFile clip;
    for (const auto& [name, write] : {std::pair{"folder.mp4", false}, {"pipe.mp4", true}}) {
        EXPECT_EQ(clip.open(folder, name, write, identity), platform::not_a_regular_file) << name;
        EXPECT_FALSE(clip.is_open());
    }
    std::size_t got = 0;
    ASSERT_EQ(folder.open("/proc/self", true) + clip.open(folder, "mem", false, identity), 0);
    EXPECT_EQ(clip.read_at(0, std::string(1, ' ').data(), 1, got), EIO);
    ASSERT_EQ(clip.open(folder, "comm", false, identity), 0);  // errno still tells of that read
    EXPECT_EQ(clip.read_at(0, std::string(64, ' ').data(), 64, got), 0);  // to the end: no failure
}
