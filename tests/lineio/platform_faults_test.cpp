// A write that the disk cannot take whole, made real by a limit on the size of files: the system
// writes what fits and refuses the rest, as a full disk does.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>
#include <vector>

#include "lineio/platform.hpp"
#include "support/scratch_directory.hpp"

namespace {

using lineio::platform::File;
using test_support::ScratchDirectory;

struct LimitedWritesCase {
    std::vector<std::string> writes;
    std::vector<bool> taken;
    std::string contents;
};

class LimitedWrites : public ::testing::TestWithParam<LimitedWritesCase> {};

TEST_P(LimitedWrites, LeaveOnlyWholeWrites) {
    ScratchDirectory scratch;
    File file;
    ASSERT_EQ(file.create_or_empty("report.txt"), 0);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    // Beyond the limit the system sends a signal that would end the test; ignored, the write fails.
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{10, before.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::vector<bool> taken;
    for (const std::string& bytes : GetParam().writes) {
        taken.push_back(file.write(bytes) == 0);
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous_handler);
    file.close();
    EXPECT_EQ(taken, GetParam().taken);
    EXPECT_EQ(ScratchDirectory::read_file("report.txt"), GetParam().contents);
}

INSTANTIATE_TEST_SUITE_P(
    TenBytes, LimitedWrites,
    ::testing::Values(LimitedWritesCase{{"one\r\n", "three\r\n", "two\r\n"},
                                        {true, false, true},
                                        "one\r\ntwo\r\n"},
                      LimitedWritesCase{{"eleven bytes"}, {false}, ""},
                      LimitedWritesCase{{"ten bytes\n", "x"}, {true, false}, "ten bytes\n"}));

}  // namespace
