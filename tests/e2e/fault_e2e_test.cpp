// Faults from outside: a run killed at any moment, a directory where no report can be made.
// Whatever happens, every clip is still there under exactly one name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "program_runner.hpp"

namespace e2e {
namespace {

constexpr const char* report_name = "DedUzarodivedizidUZOVU.txt";

// Clips a minute apart, separators varying, each holding its own number.
void make_clips(int count) {
    for (int index = 0; index < count; ++index) {
        char name[32];
        const char s = "_- ."[index % 4];
        std::snprintf(name, sizeof name, "2024%c03%c%02d%c%02d%c%02d%c%02d.mp4", s, s,
                      1 + index / 1440, s, index % 1440 / 60, s, index % 60, s, index % 60);
        ScratchDirectory::write_file(fs::path("Clips") / name, std::to_string(index));
    }
}

// Every clip is there exactly once, whatever its name.
std::multiset<std::string> clips() {
    std::multiset<std::string> contents;
    for (const auto& [name, data] : folder_contents("Clips")) {
        contents.insert(data);
    }
    return contents;
}

// Where nothing can be made, the listing and the report are written over in place, and the
// listing, which cannot be deleted, stays behind.
TEST(Faults, OwnFilesAreWrittenInPlaceWhereNoFileCanBeMade) {
    if (running_as_root() && runs_through_launcher()) {
        GTEST_SKIP() << "Wine starts for no other user than the owner of its prefix";
    }
    ScratchDirectory scratch;
    make_clips(3);
    const std::string old(200, 'x');
    for (const char* own : {"list.txt", report_name}) {
        ScratchDirectory::write_file(own, old);
    }
    // Run by root, the program runs as "nobody", to whom the directory does not belong.
    for (const char* own : {"list.txt", report_name, "Clips"}) {
        ASSERT_TRUE(!running_as_root() ||
                    chown(own, unprivileged_user_id, unprivileged_user_id) == 0);
    }
    fs::permissions(".", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const ProgramRun run =
        run_program(scratch.path(), "Y\nClips\n2024 03 01 00 00 00\n2024 03 01 01 00 00\n\n", true);
    EXPECT_EQ(run.exit_status, 0) << run.error;
    EXPECT_NE(run.output.find("     3 files successfully renamed"), std::string::npos);
    EXPECT_EQ(ScratchDirectory::read_file(report_name).find('x'), std::string::npos);
    EXPECT_EQ(ScratchDirectory::read_file("list.txt").find('x'), std::string::npos);
    EXPECT_EQ(clips().count("2"), 1U);
}

}  // namespace
}  // namespace e2e
