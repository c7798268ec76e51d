// Faults from outside: a run killed half-way, a folder that may not be written. Whatever happens,
// every clip is still there under exactly one name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "expected_output.hpp"
#include "program_runner.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;

// A clip name for clip `index`, one minute apart from its neighbours, separators varying.
std::string clip_name(int index) {
    const int minute_of_day = index % 1440;
    const int day = 1 + (index / 1440) % 28;
    char name[64];
    const char separator = "_- ."[index % 4];
    std::snprintf(name, sizeof name, "2024%c03%c%02d%c%02d%c%02d%c%02d.mp4", separator, separator,
                  day, separator, minute_of_day / 60, separator, minute_of_day % 60, separator,
                  index % 60);
    return name;
}

// Every clip holds its own index, so that it can be found again whatever its name.
void make_clips(const fs::path& folder, int count) {
    fs::create_directories(folder);
    for (int index = 0; index < count; ++index) {
        write_file(folder / clip_name(index), std::to_string(index));
    }
}

void expect_every_clip_once(const fs::path& folder, int count) {
    std::multiset<std::string> contents;
    for (const auto& [name, data] : folder_contents(folder)) {
        contents.insert(data);
    }
    ASSERT_EQ(contents.size(), static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        EXPECT_EQ(contents.count(std::to_string(index)), 1U) << "clip " << index;
    }
}

// Every "Successfully renamed" line of the report names a file that exists.
void expect_report_true(const fs::path& directory) {
    const std::string report = read_file(directory / std::string(report_name));
    const std::string renamed = "Successfully renamed ";
    std::size_t start = 0;
    while ((start = report.find(renamed, start)) != std::string::npos) {
        const std::size_t end = report.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a report line without its line end";
        const std::string path =
            report.substr(start + renamed.size(), end - start - renamed.size());
        EXPECT_TRUE(fs::exists(directory / path)) << path;
        start = end;
    }
}

TEST(Faults, AKilledRunLosesNoClipAndLeavesATrueReport) {
    constexpr int clip_count = 2000;
    std::mt19937 random(20261206);
    for (int round = 0; round < 5; ++round) {
        ScratchDirectory scratch;
        make_clips(scratch.path() / "Clips", clip_count);
        RunningProgram program(scratch.path(),
                               answers("Clips", "2024 03 01 00 00 00", "2023 12 31 22 30 00"));
        // Wait until the pass has begun, then kill it at a random moment of it.
        const fs::path report = scratch.path() / std::string(report_name);
        for (int wait = 0; wait < 5000 && (!fs::exists(report) || fs::file_size(report) == 0);
             ++wait) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 30000)(random)));
        program.kill_now();
        program.wait();
        expect_every_clip_once(scratch.path() / "Clips", clip_count);
        expect_report_true(scratch.path());
    }
}

TEST(Faults, AFolderThatMayNotBeWrittenKeepsEveryFile) {
    if (running_as_root() && runs_through_launcher()) {
        GTEST_SKIP() << "root may write any folder, and Wine starts for no other user than the "
                        "owner of its prefix";
    }
    ScratchDirectory scratch;
    make_clips(scratch.path() / "Locked", 3);
    if (running_as_root()) {
        // The program runs as "nobody", who may write the current directory but not the folder.
        ASSERT_EQ(chown(scratch.path().c_str(), unprivileged_user_id(), unprivileged_user_id()), 0);
        fs::permissions(scratch.path(), fs::perms::all, fs::perm_options::add);
    } else {
        fs::permissions(scratch.path() / "Locked", fs::perms::owner_write,
                        fs::perm_options::remove);
    }
    const ProgramRun run =
        run_program(scratch.path(), answers("Locked", "2024 03 01 00 00 00", "2024 03 01 01 00 00"),
                    RunAs::unprivileged_user);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_NE(run.output.find(" Could not rename Locked/" + clip_name(0) + "\r\n"),
              std::string::npos);
    EXPECT_EQ(run.output.find("Successfully renamed"), std::string::npos);
    EXPECT_NE(run.output.find("     0 files successfully renamed\r\n"), std::string::npos);
    fs::permissions(scratch.path() / "Locked", fs::perms::owner_all, fs::perm_options::add);
    expect_every_clip_once(scratch.path() / "Locked", 3);
    for (int index = 0; index < 3; ++index) {
        EXPECT_TRUE(fs::exists(scratch.path() / "Locked" / clip_name(index)));
    }
}

}  // namespace
}  // namespace e2e
