// Faults of real media: a run killed mid-pass, a disk that fills, a clip under two names, a name
// taken by another program, own files with a second name, and control bytes bound for a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <termios.h>

#include <array>
#include <chrono>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "program_runner.hpp"

namespace e2e {
namespace {

using Files = std::map<std::string, std::string>;
const std::string report_name = "DedUzarodivedizidUZOVU.txt";

std::string answers(const std::string& camera, const std::string& actual) {
    return "Y\nClips\n" + camera + "\n" + actual + "\n\n";
}
const std::string one_hour_back = answers("2024 03 01 01 00 00", "2024 03 01 00 00 00");

// The paths that the report's "Successfully renamed" lines name, each of which must be there.
std::vector<std::string> renamed_paths(const fs::path& directory) {
    const std::string report = ScratchDirectory::read_file(directory / report_name);
    static const std::regex line("Successfully renamed ([^\r\n]*)(\r\n)?");
    std::vector<std::string> paths;
    for (std::sregex_iterator at(report.begin(), report.end(), line), end; at != end; ++at) {
        EXPECT_TRUE((*at)[2].matched && fs::exists(directory / (*at)[1].str())) << (*at)[0];
        paths.push_back((*at)[1].str());
    }
    return paths;
}

// Clips named a second apart, `contents` or else each its own number, in `folder`.
Files make_clips(const fs::path& folder, int count, const char* contents = nullptr) {
    for (int index = 0; index < count; ++index) {
        char name[32];
        std::snprintf(name, sizeof name, "2024_03_%02d_%02d_%02d_%02d.mp4", 1 + index / 1440,
                      index / 60 % 24, index % 60, index % 60);
        ScratchDirectory::write_file(folder / name, contents ? contents : std::to_string(index));
    }
    return folder_contents(folder);
}

// Each way of renaming is forced in turn; the two fallbacks are POSIX ones.
class RenameWay : public ::testing::TestWithParam<std::string> {
    void SetUp() override {
        if (!GetParam().empty() && runs_through_launcher()) {
            GTEST_SKIP() << "the fallbacks are POSIX ones";
        }
        setenv("RUR_FORCE_RENAME_FALLBACK", GetParam().c_str(), 1);
    }
    void TearDown() override { unsetenv("RUR_FORCE_RENAME_FALLBACK"); }
};

// Another program's file under a clip's new name is never replaced. Killed at a random moment of
// its pass, a run loses no clip, its report says nothing untrue, and its journal takes it back.
TEST_P(RenameWay, NeverReplacesAFileAndAKilledRunIsTakenBack) {
    {
        ScratchDirectory scratch;
        ScratchDirectory::write_file("Clips/2050_12_31_22_00_00.mp4", "clip");
        ScratchDirectory::write_file("Clips/2050 12 31 23 15 00.mp4", "other");
        const ProgramRun run =
            run_program(scratch.path(), answers("2050 12 31 20 00 00", "2050 12 31 21 15 00"));
        EXPECT_EQ(run.exit_status, 0) << run.error;
        EXPECT_EQ(folder_contents("Clips"), (Files{{"2050 12 31 23 15 00.mp4", "other"},
                                                   {"2050 12 31 23 15 01.mp4", "clip"}}));
    }
    std::mt19937 random(20261207);
    for (int round = 0; round < 3; ++round) {
        ScratchDirectory scratch;
        const Files start = make_clips("Clips", 600);
        run_program(scratch.path(), one_hour_back, false, [&](const std::function<void()>& kill) {
            const fs::path report = scratch.path() / report_name;
            for (int wait = 0; wait < 5000 && (!fs::exists(report) || fs::file_size(report) == 0);
                 ++wait) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            std::this_thread::sleep_for(
                std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
            kill();
        });
        renamed_paths(scratch.path());
        for (const auto& entry : fs::directory_iterator(".")) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("DoridivezizoziRUR-undo-")) {
                EXPECT_EQ(run_program(".", "", false, {}, {"--undo", name}).exit_status, 0);
            }
        }
        Files after = folder_contents("Clips");
        // A name claimed by a rename the kill cut short stays behind, empty.
        std::erase_if(after, [](const auto& file) { return file.second.empty(); });
        EXPECT_EQ(after, start) << "round " << round;
    }
}

std::string way_name(const ::testing::TestParamInfo<std::string>& way) {
    return std::array{"NoReplaceFlag", "LinkThenUnlink", "ClaimThenRename"}.at(way.index);
}
INSTANTIATE_TEST_SUITE_P(Ways, RenameWay,
                         ::testing::Values("", "link-then-unlink", "claim-then-rename"), way_name);

// A clip under two names ends under one, whichever name is listed first; a second name outside
// the folder stays.
TEST(TwoNames, EndUnderOneNameInEitherListingOrder) {
    struct Case {
        std::string old_name, new_name, input, final_name;
    };
    for (const Case& row : std::vector<Case>{
             // The new name sorts first and is shifted on; the old one then names a renamed clip.
             {"2025_11_21_15_40_10.mp4", "2025 11 21 14 25 10.mp4",
              answers("2025 11 21 15 30 00", "2025 11 21 14 15 00"), "2025 11 21 13 10 10.mp4"},
             // The old name sorts first and finds its new name taken by the very same clip. Wine
             // moves a file onto another name of itself by doing nothing.
             {"2025 11 21 14 25 10.mp4", "2025 11 21 15 40 10.mp4",
              answers("2025 11 21 14 15 00", "2025 11 21 15 30 00"), "2025 11 21 15 40 10.mp4"}}) {
        if (row.new_name.starts_with("2025 11 21 15") && runs_through_launcher()) {
            continue;
        }
        ScratchDirectory scratch;
        ScratchDirectory::write_file("Clips/" + row.old_name, "clip");
        fs::create_hard_link("Clips/" + row.old_name, "Clips/" + row.new_name);
        ScratchDirectory::write_file("kept.mp4", "kept");
        fs::create_hard_link("kept.mp4", "Clips/2025_11_21_18_00_00.mp4");
        const ProgramRun run = run_program(scratch.path(), row.input);
        EXPECT_EQ(run.exit_status, 0) << run.error;
        const Files after = folder_contents("Clips");
        ASSERT_EQ(after.size(), 2U) << run.output;
        EXPECT_EQ(after.at(row.final_name), "clip");
        EXPECT_EQ(fs::hard_link_count("Clips/" + row.final_name), 1U);
        EXPECT_EQ(fs::hard_link_count("kept.mp4"), 2U);
        const std::vector<std::string> paths = renamed_paths(scratch.path());
        EXPECT_EQ(paths.size(), 3U);
        EXPECT_EQ(std::count(paths.begin(), paths.end(), "Clips/" + row.final_name), 2);
    }
}

TEST(OwnFile, WithASecondNameIsRefusedAndTheOtherNameKeepsItsContents) {
    for (const std::string& own : {std::string("list.txt"), report_name}) {
        ScratchDirectory scratch;
        const Files clips = make_clips("Clips", 2);
        ScratchDirectory::write_file("precious.txt", "precious\r\n");
        fs::create_hard_link("precious.txt", own);
        const ProgramRun run = run_program(scratch.path(), one_hour_back);
        EXPECT_EQ(run.exit_status, 127) << own;
        EXPECT_NE(run.error.find("(hard links)"), std::string::npos) << run.error;
        EXPECT_EQ(ScratchDirectory::read_file("precious.txt"), "precious\r\n");
        EXPECT_EQ(folder_contents("Clips"), clips);
    }
}

// The disk, a 128 KiB tmpfs, fills 1, 2 or 3 pages into the report, after the 3 of the listing.
// The journal, written ahead of each rename, may find it full first: then nothing more is renamed.
// Otherwise the diagnostic names the one clip renamed that the report could not record.
TEST(FullDisk, LeavesAWholeAndTrueReportAndNamesTheUnrecordedClip) {
    const std::regex unrecorded(
        "The clip \"(.*)\" was renamed to \"(.*)\", but the report could not record it\\.\r\n$");
    for (std::uintmax_t pages_left = 1; pages_left <= 3; ++pages_left) {
        ScratchDirectory disk;
        if (mount("tmpfs", disk.path().c_str(), "tmpfs", 0, "size=128k") != 0) {
            GTEST_SKIP() << "no tmpfs may be mounted here";
        }
        make_clips(disk.path() / "Clips", 400, "");
        struct statvfs space {};
        statvfs(disk.path().c_str(), &space);
        const std::uintmax_t filler = space.f_bavail * space.f_frsize / 4096 - 3 - pages_left;
        ScratchDirectory::write_file(disk.path() / "filler", std::string(filler * 4096, 'f'));
        const ProgramRun run = run_program(disk.path(), one_hour_back);
        EXPECT_EQ(run.exit_status, 127);
        EXPECT_TRUE(ScratchDirectory::read_file(disk.path() / report_name).ends_with("\r\n\r\n"));
        std::smatch note;
        const bool named = std::regex_search(run.error, note, unrecorded);
        EXPECT_TRUE(named ? !fs::exists(disk.path() / note[1].str()) &&
                                fs::exists(disk.path() / note[2].str())
                          : run.error.find("so nothing more was renamed") != std::string::npos)
            << run.error;
        const Files clips = folder_contents(disk.path() / "Clips");
        EXPECT_EQ(clips.size(), 400U);
        EXPECT_EQ(static_cast<std::size_t>(std::count_if(
                      clips.begin(), clips.end(),
                      [](const auto& clip) { return clip.first.find(' ') != std::string::npos; })),
                  renamed_paths(disk.path()).size() + (named ? 1 : 0));
        umount(disk.path().c_str());
    }
}

TEST(Terminal, ShowsControlBytesOfANameAsQuestionMarksAndKeepsThemInTheReport) {
    if (runs_through_launcher()) {
        GTEST_SKIP() << "Wine's console is not the pseudo-terminal";
    }
    ScratchDirectory scratch;
    const std::string name = "2024_03_01_00_00\x1b\x07x.mp4";
    ScratchDirectory::write_file("Clips/" + name, "clip");
    ScratchDirectory::write_file("answers", one_hour_back);
    termios raw{};  // the program's own line ends, unchanged by the terminal
    cfmakeraw(&raw);
    int terminal = -1;
    int program_side = -1;
    ASSERT_EQ(openpty(&terminal, &program_side, nullptr, &raw, nullptr), 0);
    const pid_t process = fork();
    if (process == 0) {
        const int typed = open("answers", O_RDONLY);
        if (typed >= 0 && dup2(typed, 0) == 0 && dup2(program_side, 1) == 1 &&
            dup2(program_side, 2) == 2) {
            execl(RUR_PROGRAM_PATH, RUR_PROGRAM_PATH, nullptr);
        }
        _exit(126);
    }
    close(program_side);
    std::string shown;
    char buffer[4096];
    for (ssize_t got = 0; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = -1;
    waitpid(process, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_NE(shown.find("File name = 2024_03_01_00_00??x.mp4"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" Could not rename Clips/2024_03_01_00_00??x.mp4\r\n"), std::string::npos);
    EXPECT_EQ(shown.find_first_of("\x1b\x07"), std::string::npos);
    EXPECT_NE(
        ScratchDirectory::read_file(report_name).find("Could not rename Clips/" + name + "\r\n"),
        std::string::npos);
}

}  // namespace
}  // namespace e2e
