// A write that the disk cannot take whole, made real by a limit on the size of files: the system
// writes what fits and refuses the rest, as a full disk does.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
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

}  // namespace
