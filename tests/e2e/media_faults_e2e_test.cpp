// Faults of real media: a disk that fills during the pass, a clip left under two names, a name
// taken by another program, own files with a second name, and control bytes bound for a terminal.
// Each way of renaming is forced in turn through RUR_FORCE_RENAME_FALLBACK.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "program_runner.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const std::string report_name = "DedUzarodivedizidUZOVU.txt";

void write_file(const fs::path& name, std::string_view bytes = {}) {
    ScratchDirectory::write_file(name, bytes);
}
std::string read_file(const fs::path& name) {
    return ScratchDirectory::read_file(name);
}

// The typed answers of a whole run, and the Enter that ends it.
std::string answers(std::string_view folder, std::string_view camera, std::string_view actual) {
    return "Y\n" + std::string(folder) + "\n" + std::string(camera) + "\n" + std::string(actual) +
           "\n\n";
}

// The renaming way for the programs started while it lives.
class ForcedRename {
  public:
    explicit ForcedRename(const std::string& way) {
        if (!way.empty()) {
            setenv("RUR_FORCE_RENAME_FALLBACK", way.c_str(), 1);
        }
    }
    ForcedRename(const ForcedRename&) = delete;
    ForcedRename& operator=(const ForcedRename&) = delete;
    ~ForcedRename() { unsetenv("RUR_FORCE_RENAME_FALLBACK"); }
};

const std::vector<std::string> rename_ways{"", "link-then-unlink", "claim-then-rename"};

std::string way_name(const ::testing::TestParamInfo<std::string>& way) {
    return std::array{"NoReplaceFlag", "LinkThenUnlink", "ClaimThenRename"}.at(way.index);
}

bool way_needs_posix(const std::string& way) {
    return !way.empty() && runs_through_launcher();
}

// The paths that the report's "Successfully renamed" lines name; fails on a cut line.
std::vector<std::string> renamed_paths(const std::string& report) {
    std::vector<std::string> paths;
    const std::string renamed = "Successfully renamed ";
    for (std::size_t start = report.find(renamed); start != std::string::npos;
         start = report.find(renamed, start)) {
        const std::size_t end = report.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a cut line";
        paths.push_back(report.substr(start + renamed.size(), end - start - renamed.size()));
        start = end;
    }
    return paths;
}

// Every clip's contents under exactly one file (names of one file count once); any other file is
// empty, a name claimed by a rename that a kill cut short.
void expect_every_clip_once(const fs::path& folder, const std::set<std::string>& clips) {
    std::map<ino_t, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        struct stat status {};
        ASSERT_EQ(lstat(entry.path().c_str(), &status), 0);
        files[status.st_ino] = read_file(entry.path());
    }
    std::multiset<std::string> found;
    for (const auto& [inode, contents] : files) {
        if (!contents.empty()) {
            found.insert(contents);
        }
    }
    EXPECT_EQ(found, std::multiset<std::string>(clips.begin(), clips.end()));
}

std::set<std::string> make_clips(const fs::path& folder, int count, bool with_contents = true) {
    fs::create_directories(folder);
    std::set<std::string> contents;
    for (int index = 0; index < count; ++index) {
        char name[32];
        std::snprintf(name, sizeof name, "2024_03_%02d_%02d_%02d_%02d.mp4", 1 + index / 1440,
                      index / 60 % 24, index % 60, index % 60);
        write_file(folder / name, with_contents ? std::to_string(index) : "");
        contents.insert(std::to_string(index));
    }
    return contents;
}

const std::string one_hour_back = answers("Clips", "2024 03 01 01 00 00", "2024 03 01 00 00 00");

// ---- Every way of renaming ----

class RenameWay : public ::testing::TestWithParam<std::string> {};

// Another program's file under the clip's new name is never replaced, whichever way the rename
// goes. (That file's own name would leave the calendar, so it is listed but not renamed.)
TEST_P(RenameWay, NeverReplacesAnotherProgramsFile) {
    if (way_needs_posix(GetParam())) {
        GTEST_SKIP() << "the fallbacks are POSIX ones";
    }
    ScratchDirectory scratch;
    write_file(scratch.path() / "Clips/2050_12_31_22_00_00.mp4", "clip");
    write_file(scratch.path() / "Clips/2050 12 31 23 15 00.mp4", "other");
    const ForcedRename forced(GetParam());
    const ProgramRun run =
        run_program(scratch.path(), answers("Clips", "2050 12 31 20 00 00", "2050 12 31 21 15 00"));
    EXPECT_EQ(run.exit_status, 0) << run.error;
    EXPECT_EQ(folder_contents(scratch.path() / "Clips"),
              (Files{{"2050 12 31 23 15 00.mp4", "other"}, {"2050 12 31 23 15 01.mp4", "clip"}}));
}

// Killed at any moment, a run loses no clip, its report says nothing untrue, and its undo journal
// takes back every rename it made.
TEST_P(RenameWay, AKilledRunLosesNoClipAndItsJournalTakesItBack) {
    if (way_needs_posix(GetParam())) {
        GTEST_SKIP() << "the fallbacks are POSIX ones";
    }
    const ForcedRename forced(GetParam());
    std::mt19937 random(20261207);
    for (int round = 0; round < 3; ++round) {
        ScratchDirectory scratch;
        const std::set<std::string> clips = make_clips(scratch.path() / "Clips", 600);
        const Files start = folder_contents(scratch.path() / "Clips");
        const fs::path report = scratch.path() / report_name;
        run_program(scratch.path(), one_hour_back, false, [&](const std::function<void()>& kill) {
            // Once the pass has begun, at a random moment of it.
            for (int wait = 0; wait < 5000 && (!fs::exists(report) || fs::file_size(report) == 0);
                 ++wait) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            std::this_thread::sleep_for(
                std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
            kill();
        });
        expect_every_clip_once(scratch.path() / "Clips", clips);
        for (const std::string& path : renamed_paths(read_file(report))) {
            EXPECT_TRUE(fs::exists(scratch.path() / path)) << path;
        }
        for (const auto& entry : fs::directory_iterator(scratch.path())) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("DoridivezizoziRUR-undo-")) {
                const ProgramRun undo =
                    run_program(scratch.path(), "", false, {}, {"--undo", name});
                EXPECT_EQ(undo.exit_status, 0) << undo.output << undo.error;
            }
        }
        // A name claimed by a rename the kill cut short stays behind, empty.
        Files after = folder_contents(scratch.path() / "Clips");
        std::erase_if(after, [](const auto& file) { return file.second.empty(); });
        EXPECT_EQ(after, start) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, RenameWay, ::testing::ValuesIn(rename_ways), way_name);

// ---- One clip, one name ----

struct TwoNamesCase {
    std::string name;
    std::string old_name;
    std::string new_name;  // a second name of the same clip, made before the run
    std::string input;
    std::string final_name;
};

void PrintTo(const TwoNamesCase& row, std::ostream* out) {
    *out << row.name;
}

class TwoNames : public ::testing::TestWithParam<TwoNamesCase> {};

TEST_P(TwoNames, EndUnderOneName) {
    const TwoNamesCase& row = GetParam();
    if (row.name == "OldNameFirst" && runs_through_launcher()) {
        GTEST_SKIP() << "Wine moves a file onto another name of itself by doing nothing, where "
                        "Windows refuses the taken name";
    }
    ScratchDirectory scratch;
    const fs::path clips = scratch.path() / "Clips";
    write_file(clips / row.old_name, "clip");
    fs::create_hard_link(clips / row.old_name, clips / row.new_name);
    // A clip with a second name outside the folder is renamed as any other; that name stays.
    write_file(scratch.path() / "kept.mp4", "kept");
    fs::create_hard_link(scratch.path() / "kept.mp4", clips / "2025_11_21_18_00_00.mp4");

    const ProgramRun run = run_program(scratch.path(), row.input);

    EXPECT_EQ(run.exit_status, 0) << run.error;
    const Files after = folder_contents(clips);
    ASSERT_EQ(after.size(), 2U) << run.output;
    EXPECT_EQ(after.at(row.final_name), "clip");
    EXPECT_EQ(fs::hard_link_count(clips / row.final_name), 1U);
    EXPECT_EQ(read_file(scratch.path() / "kept.mp4"), "kept");
    EXPECT_EQ(fs::hard_link_count(scratch.path() / "kept.mp4"), 2U);
    const std::string report = read_file(scratch.path() / report_name);
    const std::vector<std::string> paths = renamed_paths(report);
    ASSERT_EQ(paths.size(), 3U) << report;
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "Clips/" + row.final_name), 2);
    EXPECT_NE(report.find("     2 files successfully renamed\r\n"), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(
    ListingOrders, TwoNames,
    ::testing::Values(
        // The new name sorts first and is shifted on; the old one then names a renamed clip.
        TwoNamesCase{"NewNameFirst", "2025_11_21_15_40_10.mp4", "2025 11 21 14 25 10.mp4",
                     answers("Clips", "2025 11 21 15 30 00", "2025 11 21 14 15 00"),
                     "2025 11 21 13 10 10.mp4"},
        // The old name sorts first and finds its new name taken by the very same clip.
        TwoNamesCase{"OldNameFirst", "2025 11 21 14 25 10.mp4", "2025 11 21 15 40 10.mp4",
                     answers("Clips", "2025 11 21 14 15 00", "2025 11 21 15 30 00"),
                     "2025 11 21 15 40 10.mp4"}),
    [](const auto& info) { return info.param.name; });

// ---- Own files with a second name ----

class LinkedOwnFile : public ::testing::TestWithParam<std::string> {};

TEST_P(LinkedOwnFile, IsRefusedAndItsOtherNameKeepsItsContents) {
    ScratchDirectory scratch;
    make_clips(scratch.path() / "Clips", 2);
    const Files clips = folder_contents(scratch.path() / "Clips");
    write_file(scratch.path() / "precious.txt", "precious\r\n");
    fs::create_hard_link(scratch.path() / "precious.txt", scratch.path() / GetParam());

    const ProgramRun run = run_program(scratch.path(), one_hour_back);

    EXPECT_EQ(run.exit_status, 127);
    EXPECT_NE(run.error.find("(hard links)"), std::string::npos) << run.error;
    EXPECT_EQ(read_file(scratch.path() / "precious.txt"), "precious\r\n");
    EXPECT_EQ(folder_contents(scratch.path() / "Clips"), clips);
}

INSTANTIATE_TEST_SUITE_P(ListingAndReport, LinkedOwnFile,
                         ::testing::Values("list.txt", report_name),
                         [](const auto& info) { return info.index == 0 ? "Listing" : "Report"; });

// ---- A disk that fills during the pass ----

// A tmpfs of 128 KiB mounted on a scratch directory, for as long as it lives.
class SmallDisk {
  public:
    SmallDisk() : mounted_(mount("tmpfs", scratch_.path().c_str(), "tmpfs", 0, "size=128k") == 0) {}
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk() {
        if (mounted_) {
            umount(scratch_.path().c_str());
        }
    }
    bool mounted() const { return mounted_; }
    const fs::path& path() const { return scratch_.path(); }

  private:
    ScratchDirectory scratch_;
    bool mounted_;
};

class FullDisk : public ::testing::TestWithParam<int> {};

// The report's pages left free after the listing: the disk fills that far into the pass.
TEST_P(FullDisk, LeavesAWholeAndTrueReportAndNamesTheUnrecordedClip) {
    const SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "no tmpfs may be mounted here";
    }
    constexpr int clip_count = 400;
    make_clips(disk.path() / "Clips", clip_count, false);
    constexpr std::uintmax_t page = 4096;
    const std::uintmax_t listing_pages = (clip_count * 25 + page - 1) / page;
    struct statvfs space {};
    ASSERT_EQ(statvfs(disk.path().c_str(), &space), 0);
    const std::uintmax_t free_pages = space.f_bavail * space.f_frsize / page;
    write_file(disk.path() / "filler",
               std::string((free_pages - listing_pages - GetParam()) * page, 'f'));

    const ProgramRun run = run_program(disk.path(), one_hour_back);

    EXPECT_EQ(run.exit_status, 127);
    const std::string report = read_file(disk.path() / report_name);
    EXPECT_TRUE(report.ends_with("\r\n\r\n"));
    const std::vector<std::string> paths = renamed_paths(report);
    for (const std::string& path : paths) {
        EXPECT_TRUE(fs::exists(disk.path() / path)) << path;
    }
    // The journal, written ahead of each rename, may be the first to find the disk full: then
    // nothing more is renamed. Otherwise the report is, and the diagnostic names the clip it could
    // not record.
    std::smatch note;
    const bool unrecorded = std::regex_search(
        run.error, note,
        std::regex("The clip \"(.*)\" was renamed to \"(.*)\", but the report could not record "
                   "it\\.\r\n$"));
    if (unrecorded) {
        EXPECT_FALSE(fs::exists(disk.path() / note[1].str()));
        EXPECT_TRUE(fs::exists(disk.path() / note[2].str()));
    } else {
        EXPECT_NE(run.error.find("so nothing more was renamed"), std::string::npos) << run.error;
    }
    // Nothing else was renamed, and nothing lost.
    std::size_t renamed = 0;
    for (const auto& entry : fs::directory_iterator(disk.path() / "Clips")) {
        renamed += entry.path().filename().string().find(' ') != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(renamed, paths.size() + (unrecorded ? 1 : 0));
    EXPECT_EQ(folder_contents(disk.path() / "Clips").size(), std::size_t{clip_count});
}

INSTANTIATE_TEST_SUITE_P(ReportPagesLeft, FullDisk, ::testing::Values(1, 2, 3));

// ---- Control bytes on a terminal ----

TEST(Terminal, ShowsControlBytesOfANameAsQuestionMarks) {
    if (runs_through_launcher()) {
        GTEST_SKIP() << "Wine's console is not the pseudo-terminal";
    }
    ScratchDirectory scratch;
    const std::string name = "2024_03_01_00_00\x1b\x07x.mp4";
    write_file(scratch.path() / "Clips" / name, "clip");
    write_file(scratch.path() / "answers", one_hour_back);
    termios raw{};
    cfmakeraw(&raw);
    int terminal = -1;
    int program_side = -1;
    ASSERT_EQ(openpty(&terminal, &program_side, nullptr, &raw, nullptr), 0);
    const pid_t process = fork();
    ASSERT_GE(process, 0);
    if (process == 0) {
        const int answers_file = open((scratch.path() / "answers").c_str(), O_RDONLY);
        if (answers_file < 0 || dup2(answers_file, 0) < 0 || dup2(program_side, 1) < 0 ||
            dup2(program_side, 2) < 0 || chdir(scratch.path().c_str()) != 0) {
            _exit(126);
        }
        execl(RUR_PROGRAM_PATH, RUR_PROGRAM_PATH, nullptr);
        _exit(126);
    }
    close(program_side);
    std::string shown;
    char buffer[4096];
    for (ssize_t got = 0; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = 0;
    waitpid(process, &status, 0);
    EXPECT_EQ(status, 0);

    EXPECT_NE(shown.find("File name = 2024_03_01_00_00??x.mp4"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" Could not rename Clips/2024_03_01_00_00??x.mp4\r\n"), std::string::npos);
    EXPECT_EQ(shown.find_first_of("\x1b\x07"), std::string::npos);
    EXPECT_NE(
        read_file(scratch.path() / report_name).find("Could not rename Clips/" + name + "\r\n"),
        std::string::npos);
}

}  // namespace
}  // namespace e2e
