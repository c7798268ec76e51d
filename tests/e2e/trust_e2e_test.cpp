// Trusting the program with the only copy of the clips: the options, a dry run that foretells the
// real run exactly, and an undo journal that takes any run back, even a killed one.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "program_runner.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using Contents = std::map<std::string, std::string>;

void write_file(const fs::path& name, std::string_view bytes = {}) {
    ScratchDirectory::write_file(name, bytes);
}
std::string read_file(const fs::path& name) {
    return ScratchDirectory::read_file(name);
}

constexpr std::string_view report_name = "DedUzarodivedizidUZOVU.txt";

// The typed answers of a whole run, and the Enter that ends it.
std::string answers(std::string_view folder, std::string_view camera, std::string_view actual) {
    return "Y\n" + std::string(folder) + "\n" + std::string(camera) + "\n" + std::string(actual) +
           "\n\n";
}

const std::string journal_start = "DoridivezizoziRUR-undo-";

// The journal the last run left in `directory`, or "" when there is none; `earlier` journals
// were there before.
std::string journal_in(const fs::path& directory, const std::set<std::string>& earlier = {}) {
    std::string found;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(journal_start) && !earlier.contains(name)) {
            EXPECT_EQ(found, "") << "two journals";
            found = name;
        }
    }
    return found;
}

// Every outcome line of a run's output: whether the file is (or would be) renamed, and its path.
std::vector<std::pair<bool, std::string>> outcomes(const std::string& output, bool dry) {
    const std::string yes = dry ? " Dry run: would be renamed " : " Successfully renamed ";
    const std::string no = dry ? " Dry run: could not be renamed " : " Could not rename ";
    std::vector<std::pair<bool, std::string>> found;
    for (std::size_t start = 0, end = 0; (end = output.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const std::string line = output.substr(start, end - start);
        for (const bool renamed : {true, false}) {
            const std::string& message = renamed ? yes : no;
            if (line.starts_with(message)) {
                found.emplace_back(renamed, line.substr(message.size()));
            }
        }
    }
    return found;
}

// ---- Options ----

struct OptionCase {
    std::vector<std::string> options;
    std::string input;
    int exit_status;
    std::string output_start;  // in the output, or the error stream when exit_status is not 0
};

TEST(Options, EachEndsAsToldAndAnyMistakeTouchesNothing) {
    const std::string typed = answers("F", "2025 11 21 15 30 00", "2025 11 21 14 15 00");
    const std::string hint = "; try DoridivezizoziRUR --help\r\n";
    const std::vector<OptionCase> table{
        {{"--version"}, "", 0, "DoridivezizoziRUR 1.1.0\r\n"},
        {{"--help"}, "", 0, "Usage: DoridivezizoziRUR [--dry-run | --undo JOURNAL"},
        {{"--bogus"}, typed, 2, "DoridivezizoziRUR: unknown option \"--bogus\"" + hint},
        {{"-"}, typed, 2, "DoridivezizoziRUR: unknown option \"-\"" + hint},
        {{"F"}, typed, 2, "DoridivezizoziRUR: unexpected argument \"F\"" + hint},
        {{"--undo"}, "", 2, "DoridivezizoziRUR: --undo needs the name of an undo journal" + hint},
        {{"--dry-run", "--dry-run"}, typed, 2, "DoridivezizoziRUR: unexpected argument"},
        {{"--help", "--version"}, "", 2, "DoridivezizoziRUR: unexpected argument \"--version\""},
        {{"--undo", "a", "b"}, "", 2, "DoridivezizoziRUR: unexpected argument \"b\"" + hint},
        {{"--undo", "empty.txt"}, "", 0, "     0 of 0 files restored\r\n"},
        {{"--undo", "missing.txt"}, "", 127, "The undo journal missing.txt could not be read: "},
        {{"--undo", "F/2025_11_21_15_40_10.mp4"},
         "",
         127,
         "The file F/2025_11_21_15_40_10.mp4 is not an undo journal of this program.\r\n"},
        {{},
         "Y\nF\n2025 11 2l 15 30 00\n",
         127,
         "The answer \"2l\" is not a whole number: type the six numbers of a date and time, such "
         "as 2025 11 21 15 30 00.\r\nDoridivezizoziRUR: input/output failure: "},
        {{"--dry-run"},
         "Y\nF\n",
         127,
         "The console input ended before the program had all its answers.\r\n"},
    };
    for (const OptionCase& row : table) {
        ScratchDirectory scratch;
        write_file(scratch.path() / "F" / "2025_11_21_15_40_10.mp4", "clip");
        write_file(scratch.path() / std::string(report_name), "last report");
        write_file(scratch.path() / "empty.txt");  // as a run killed at its journal's creation
        const Contents before = folder_contents(scratch.path());
        const ProgramRun run = run_program(scratch.path(), row.input, false, {}, row.options);
        const std::string what = row.options.empty() ? "(none)" : row.options.back();
        EXPECT_EQ(run.exit_status, row.exit_status) << what;
        const std::string& stream = row.exit_status == 0 ? run.output : run.error;
        EXPECT_TRUE(stream.starts_with(row.output_start)) << what << ": " << stream;
        Contents after = folder_contents(scratch.path());
        if (row.exit_status == 127) {
            after.erase("list.txt");  // a failed dialogue leaves its listing, as it always has
        }
        EXPECT_EQ(after, before) << what;
        if (row.exit_status == 2) {
            EXPECT_EQ(run.output, "") << what;
            EXPECT_EQ(run.error.find('\n'), run.error.size() - 1) << what;
        }
    }
}

TEST(Options, HelpFitsOneScreen) {
    ScratchDirectory scratch;
    const std::string help = run_program(scratch.path(), "", false, {}, {"--help"}).output;
    std::size_t lines = 0;
    for (std::size_t start = 0, end = 0; (end = help.find("\r\n", start)) != std::string::npos;
         start = end + 2, ++lines) {
        EXPECT_LE(end - start, 80U) << help.substr(start, end - start);
    }
    EXPECT_LE(lines, 40U);
    for (const char* needed : {"--dry-run", "--undo", "Files_to_Rename", "2025 11 21 14 15 00",
                               "DedUzarodivedizidUZOVU.txt", "list.txt", "127"}) {
        EXPECT_NE(help.find(needed), std::string::npos) << needed;
    }
}

// ---- Dry run, real run, undo ----

struct FolderCase {
    std::string name;
    std::string folder;
    std::vector<std::string> clips;
    std::string camera;
    std::string actual;
    std::size_t not_renamed;
};

// Clips that all land on one name: every separator differs, the date and time do not. Their
// seconds, 50, are no burst number, so that the name and its 40 burst numbers are 41 names.
std::vector<std::string> one_burst(int count) {
    std::vector<std::string> clips;
    const std::string separators = "_-.,;+";
    for (int index = 0; index < count; ++index) {
        std::string name = "2025_11_21_15_40_50.mp4";
        for (int position = 0, rest = index; position < 5; ++position, rest /= 6) {
            name[4 + 3 * static_cast<std::size_t>(position)] = separators[rest % 6];
        }
        clips.push_back(name);
    }
    return clips;
}

const std::vector<FolderCase> folder_cases{
    {"Bursts",
     "Files_to_Rename",
     {"2025-11-21 15.40.10.mp4", "2025.11.21.16.02.33.avi", "2025_11_21_15_40_10.mp4",
      "2025_11_21_16_02_33.avi", "2025_12_31_23_30_00.MP4", "2026_01_01_00_15_00.mp4"},
     "2025 11 21 15 30 00",
     "2025 11 21 14 15 00",
     0},
    // 41 clips fill the name and its 40 burst numbers; the 42nd cannot be renamed.
    {"FullBurst", "Burst", one_burst(42), "2025 11 21 15 30 00", "2025 11 21 14 15 00", 1},
    {"AlreadyCorrect",
     "Same",
     {"2025 11 21 14 25 10.mp4", "2025_11_21_14_25_10.mp4", "2025_13_45_99_99_99.mp4"},
     "2025 11 21 15 30 00",
     "2025 11 21 15 30 00",
     1},
    // The first clip's new name is held by the second, which moves on; the third takes the
    // first's old name, and the fourth's is held by the second's new name.
    {"NameHeldByTheNextClip",
     "Held",
     {"2025 11 21 10 00 00.mp4", "2025 11 21 10 01 00.mp4", "2025_11_21_09_59_00.mp4",
      "2025_11_21_10_01_00.mp4"},
     "2025 11 21 10 00 00",
     "2025 11 21 10 01 00",
     0},
    {"BlanksAndTabs",
     "My Clips\t2",
     {"2025\t11\t21\t15\t40\t10.mp4", "2025 11 21 15 40 10.mp4", "2025-11-21 15 40\t10.m4v"},
     "2025 11 21 15 30 00",
     "2025 11 21 14 15 00",
     0},
};

Contents make_folder(const fs::path& directory, const FolderCase& row) {
    for (const std::string& clip : row.clips) {
        write_file(directory / row.folder / clip, "clip " + clip);
    }
    write_file(directory / std::string(report_name), "last report");
    return folder_contents(directory);
}

TEST(DryRunAndUndo, TheDryRunForetellsTheRealRunWhichUndoTakesBack) {
    for (const FolderCase& row : folder_cases) {
        if (row.name == "BlanksAndTabs" && runs_through_launcher()) {
            continue;  // Windows allows no tab in a name
        }
        ScratchDirectory scratch;
        ScratchDirectory elsewhere;
        const Contents start = make_folder(scratch.path(), row);
        const std::string typed = answers(row.folder, row.camera, row.actual);

        const ProgramRun dry = run_program(scratch.path(), typed, false, {}, {"--dry-run"});
        EXPECT_EQ(dry.exit_status, 0) << row.name;
        EXPECT_EQ(dry.output.find("Successfully"), std::string::npos) << row.name;
        EXPECT_EQ(folder_contents(scratch.path()), start) << row.name;

        const ProgramRun real = run_program(scratch.path(), typed);
        EXPECT_EQ(real.exit_status, 0) << row.name;
        const auto foretold = outcomes(dry.output, true);
        EXPECT_EQ(foretold.size(), row.clips.size()) << row.name;
        EXPECT_EQ(std::count_if(foretold.begin(), foretold.end(),
                                [](const auto& outcome) { return !outcome.first; }),
                  static_cast<std::ptrdiff_t>(row.not_renamed))
            << row.name;
        EXPECT_EQ(foretold, outcomes(real.output, false)) << row.name;
        EXPECT_NE(folder_contents(scratch.path() / row.folder), Contents{}) << row.name;

        const std::string journal = journal_in(scratch.path());
        ASSERT_NE(journal, "") << row.name;
        const std::string text = read_file(scratch.path() / journal);
        EXPECT_TRUE(text.starts_with("DoridivezizoziRUR undo journal\r\n")) << text;
        EXPECT_TRUE(text.ends_with(" files renamed\r\n")) << text;
        // Undone from the run's directory, then again from elsewhere, which changes nothing.
        for (const auto& [from, named] : {std::pair{scratch.path(), fs::path(journal)},
                                          std::pair{elsewhere.path(), scratch.path() / journal}}) {
            const ProgramRun undo = run_program(from, "", false, {}, {"--undo", named.string()});
            EXPECT_EQ(undo.exit_status, 0) << row.name << undo.output << undo.error;
            Contents after = folder_contents(scratch.path());
            after.erase(journal);
            after[std::string(report_name)] = "last report";
            EXPECT_EQ(after, start) << row.name;
        }
    }
}

TEST(DryRunAndUndo, AClipMovedAwayAndAnOldNameTakenAreToldAndTheRestRestored) {
    const FolderCase& row = folder_cases.front();
    ScratchDirectory scratch;
    const Contents start = make_folder(scratch.path(), row);
    // Journals of this second and the next ones are there already, and stay as they are.
    std::set<std::string> earlier;
    for (std::time_t now = std::time(nullptr), at = now; at < now + 30; ++at) {
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&at));
        earlier.insert(journal_start + stamp + ".txt");
        write_file(scratch.path() / (journal_start + stamp + ".txt"), "earlier");
    }
    run_program(scratch.path(), answers(row.folder, row.camera, row.actual));
    const std::string journal = journal_in(scratch.path(), earlier);
    EXPECT_TRUE(std::regex_match(journal, std::regex(journal_start + "\\d{8}-\\d{6}-2\\.txt")))
        << journal;
    for (const std::string& name : earlier) {
        EXPECT_EQ(read_file(scratch.path() / name), "earlier");
    }
    const fs::path folder = scratch.path() / row.folder;
    fs::remove(folder / "2025 12 31 23 00 00.mp4");  // the newest rename's clip
    write_file(folder / "2025_12_31_23_30_00.MP4", "a newer clip");

    const ProgramRun undo = run_program(scratch.path(), "", false, {}, {"--undo", journal});

    EXPECT_EQ(undo.exit_status, 1);
    EXPECT_NE(undo.output.find(" Could not restore Files_to_Rename/2025 12 31 23 00 00.mp4: it is "
                               "no longer there\r\n"),
              std::string::npos)
        << undo.output;
    EXPECT_NE(undo.output.find(" Could not restore Files_to_Rename/2025 12 31 22 15 00.MP4: its "
                               "old name Files_to_Rename/2025_12_31_23_30_00.MP4 is taken\r\n"),
              std::string::npos)
        << undo.output;
    EXPECT_TRUE(undo.output.ends_with("     4 of 6 files restored\r\n")) << undo.output;
    Contents expected;
    for (const std::string& clip : row.clips) {
        expected[clip] = "clip " + clip;
    }
    expected.erase("2026_01_01_00_15_00.mp4");
    expected["2025_12_31_23_30_00.MP4"] = "a newer clip";
    expected["2025 12 31 22 15 00.MP4"] = "clip 2025_12_31_23_30_00.MP4";
    EXPECT_EQ(folder_contents(folder), expected);
}

}  // namespace
}  // namespace e2e
