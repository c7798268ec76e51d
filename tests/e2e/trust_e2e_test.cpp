// Trusting the program with the only copy of the clips: the options, a dry run that foretells the
// real run exactly, and an undo journal that takes a run back.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "program_runner.hpp"

namespace e2e {
namespace {

using Contents = std::map<std::string, std::string>;
const std::string report_name = "DedUzarodivedizidUZOVU.txt";
const std::string journal_start = "DoridivezizoziRUR-undo-";
const std::string camera = "2025 11 21 15 30 00";
const std::string actual = "2025 11 21 14 15 00";

std::string answers(const std::string& folder, const std::string& camera,
                    const std::string& actual) {
    return "Y\n" + folder + "\n" + camera + "\n" + actual + "\n\n";
}

// The journal the last run left in `directory`; the `earlier` ones were there before it.
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

// Each outcome line of a run's output, a dry run's read as the real run's: renamed or not, path.
std::vector<std::pair<bool, std::string>> outcomes(const std::string& output) {
    static const std::regex line(
        "\n (Dry run: would be renamed|Successfully renamed|Dry run: "
        "could not be renamed|Could not rename) ([^\r]*)\r");
    std::vector<std::pair<bool, std::string>> found;
    for (std::sregex_iterator at(output.begin(), output.end(), line), end; at != end; ++at) {
        found.emplace_back((*at)[1].str().find("not") == std::string::npos, (*at)[2].str());
    }
    return found;
}

struct OptionCase {
    std::vector<std::string> options;
    std::string input;
    int exit_status;
    std::string start;  // of the output, or of the error stream when exit_status is not 0
};

TEST(Options, EachEndsAsToldAndAnyMistakeTouchesNothing) {
    const std::string typed = answers("F", camera, actual);
    const std::string hint = "; try DoridivezizoziRUR --help\r\n";
    const std::string unexpected = "DoridivezizoziRUR: unexpected argument ";
    const std::vector<OptionCase> table{
        {{"--version"}, "", 0, "DoridivezizoziRUR 1.1.0\r\n"},
        {{"--help"}, "", 0, "Usage: DoridivezizoziRUR [--dry-run | --undo JOURNAL"},
        {{"--bogus"}, typed, 2, "DoridivezizoziRUR: unknown option \"--bogus\"" + hint},
        {{"-"}, typed, 2, "DoridivezizoziRUR: unknown option \"-\"" + hint},
        {{"F"}, typed, 2, unexpected + "\"F\"" + hint},
        {{"--undo"}, "", 2, "DoridivezizoziRUR: --undo needs the name of an undo journal" + hint},
        {{"--dry-run", "--dry-run"}, typed, 2, unexpected},
        {{"--help", "--version"}, "", 2, unexpected + "\"--version\""},
        {{"--undo", "a", "b"}, "", 2, unexpected + "\"b\"" + hint},
        {{"--undo", "empty.txt"}, "", 0, "     0 of 0 files restored\r\n"},
        {{"--undo", "missing.txt"}, "", 127, "The undo journal missing.txt could not be read: "},
        {{"--undo", "F/2025_11_21_15_40_10.mp4"},
         "",
         127,
         "The file F/2025_11_21_15_40_10.mp4 is not an undo journal of this program.\r\n"},
        {{"--dry-run"}, "Y\nF\n", 127, "The console input ended before the program had all"},
    };
    for (const OptionCase& row : table) {
        ScratchDirectory scratch;
        ScratchDirectory::write_file("F/2025_11_21_15_40_10.mp4", "clip");
        ScratchDirectory::write_file(report_name, "last report");
        ScratchDirectory::write_file("empty.txt");  // as a run killed at its journal's creation
        const Contents before = folder_contents(scratch.path());
        const ProgramRun run = run_program(scratch.path(), row.input, false, {}, row.options);
        const std::string what = row.options.empty() ? "(none)" : row.options.back();
        EXPECT_EQ(run.exit_status, row.exit_status) << what;
        const std::string& stream = row.exit_status == 0 ? run.output : run.error;
        EXPECT_TRUE(stream.starts_with(row.start)) << what << ": " << stream;
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

struct FolderCase {
    std::string folder;
    std::string camera;
    std::string actual;
    std::ptrdiff_t not_renamed;
    std::vector<std::string> clips;
};

// Clips that all land on one name, their separators differing; their seconds, 50, are no burst
// number, so that the name and its 40 burst numbers hold 41 clips.
std::vector<std::string> one_burst(int count) {
    std::vector<std::string> clips;
    for (int index = 0; index < count; ++index) {
        std::string name = "2025_11_21_15_40_50.mp4";
        for (std::size_t position = 4, rest = index; position < 19; position += 3, rest /= 6) {
            name[position] = "_-.,;+"[rest % 6];
        }
        clips.push_back(name);
    }
    return clips;
}

const std::vector<FolderCase> folder_cases{
    {"F",
     camera,
     actual,
     0,
     {"2025-11-21 15.40.10.mp4", "2025.11.21.16.02.33.avi", "2025_11_21_15_40_10.mp4",
      "2025_11_21_16_02_33.avi", "2025_12_31_23_30_00.MP4", "2026_01_01_00_15_00.mp4"}},
    {"FullBurst", camera, actual, 1, one_burst(42)},
    {"AlreadyCorrect",
     camera,
     camera,
     1,
     {"2025 11 21 14 25 10.mp4", "2025_11_21_14_25_10.mp4", "2025_13_45_99_99_99.mp4"}},
    // The first clip's new name is held by the second, which moves on; the third takes the
    // first's old name, and the fourth's is held by the second's new name.
    {"NameHeldByTheNextClip",
     "2025 11 21 10 00 00",
     "2025 11 21 10 01 00",
     0,
     {"2025 11 21 10 00 00.mp4", "2025 11 21 10 01 00.mp4", "2025_11_21_09_59_00.mp4",
      "2025_11_21_10_01_00.mp4"}},
    // Blanks and tabs in the folder's and the clips' names; Windows allows no tab in a name.
    {"My Clips\t2",
     camera,
     actual,
     0,
     {"2025\t11\t21\t15\t40\t10.mp4", "2025 11 21 15 40 10.mp4", "2025-11-21 15 40\t10.m4v"}},
};

Contents make_folder(const fs::path& directory, const FolderCase& row) {
    for (const std::string& clip : row.clips) {
        ScratchDirectory::write_file(directory / row.folder / clip, "clip " + clip);
    }
    ScratchDirectory::write_file(directory / report_name, "last report");
    return folder_contents(directory);
}

TEST(DryRunAndUndo, TheDryRunForetellsTheRealRunWhichUndoTakesBackTwice) {
    for (const FolderCase& row : folder_cases) {
        if (row.folder.find('\t') != std::string::npos && runs_through_launcher()) {
            continue;
        }
        ScratchDirectory scratch;
        const fs::path at = scratch.path();
        const Contents start = make_folder(at, row);
        const std::string typed = answers(row.folder, row.camera, row.actual);
        const ProgramRun dry = run_program(at, typed, false, {}, {"--dry-run"});
        EXPECT_EQ(dry.exit_status, 0) << row.folder;
        EXPECT_EQ(dry.output.find("Successfully"), std::string::npos) << row.folder;
        EXPECT_EQ(folder_contents(at), start) << row.folder;
        const ProgramRun real = run_program(at, typed);
        EXPECT_EQ(real.exit_status, 0) << row.folder;
        const auto foretold = outcomes(dry.output);
        ASSERT_EQ(foretold.size(), row.clips.size()) << row.folder;
        EXPECT_EQ(std::count_if(foretold.begin(), foretold.end(), [](auto& o) { return !o.first; }),
                  row.not_renamed)
            << row.folder;
        EXPECT_EQ(outcomes(real.output), foretold) << row.folder;
        const std::string journal = journal_in(at);
        ASSERT_NE(journal, "") << row.folder;
        // Undone from the run's directory, then again from elsewhere, which changes nothing.
        for (const fs::path& named : {fs::path(journal), at / journal}) {
            ScratchDirectory elsewhere;
            const fs::path from = named.is_absolute() ? elsewhere.path() : at;
            const ProgramRun undo = run_program(from, "", false, {}, {"--undo", named.string()});
            EXPECT_EQ(undo.exit_status, 0) << row.folder << undo.output << undo.error;
            Contents after = folder_contents(at);
            after.erase(journal);
            after[report_name] = "last report";
            EXPECT_EQ(after, start) << row.folder;
        }
    }
}

TEST(DryRunAndUndo, AClipMovedAwayAndAnOldNameTakenAreToldAndTheRestRestored) {
    const FolderCase& row = folder_cases.front();
    ScratchDirectory scratch;
    make_folder(scratch.path(), row);
    Contents expected = folder_contents("F");
    // Journals of this second and the next ones are there already, and stay as they are.
    std::set<std::string> earlier;
    for (std::time_t now = std::time(nullptr), at = now; at < now + 30; ++at) {
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&at));
        earlier.insert(journal_start + stamp + ".txt");
        ScratchDirectory::write_file(journal_start + stamp + ".txt", "earlier");
    }
    run_program(scratch.path(), answers(row.folder, row.camera, row.actual));
    const std::string journal = journal_in(scratch.path(), earlier);
    EXPECT_TRUE(std::regex_match(journal, std::regex(journal_start + "\\d{8}-\\d{6}-2\\.txt")))
        << journal;
    for (const std::string& name : earlier) {
        EXPECT_EQ(ScratchDirectory::read_file(name), "earlier");
    }
    fs::remove("F/2025 12 31 23 00 00.mp4");  // the newest rename's clip
    ScratchDirectory::write_file("F/2025_12_31_23_30_00.MP4", "a newer clip");

    const ProgramRun undo = run_program(scratch.path(), "", false, {}, {"--undo", journal});

    EXPECT_EQ(undo.exit_status, 1);
    for (const char* told :
         {" Could not restore F/2025 12 31 23 00 00.mp4: it is no longer there\r\n",
          " Could not restore F/2025 12 31 22 15 00.MP4: its old name F/2025_12_31_23_30_00.MP4 is "
          "taken\r\n",
          "     4 of 6 files restored\r\n"}) {
        EXPECT_NE(undo.output.find(told), std::string::npos) << told << undo.output;
    }
    expected.erase("2026_01_01_00_15_00.mp4");
    expected["2025_12_31_23_30_00.MP4"] = "a newer clip";
    expected["2025 12 31 22 15 00.MP4"] = "clip 2025_12_31_23_30_00.MP4";
    EXPECT_EQ(folder_contents("F"), expected);
}

}  // namespace
}  // namespace e2e
