// Trusting the program with the only copy of the clips: its options, a dry run that foretells the
// real run exactly, an undo journal that takes a run back, and the faults of real media.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "program_runner.hpp"

namespace e2e {
namespace {

const std::string camera_time = "2025 11 21 15 30 00", actual_time = "2025 11 21 14 15 00";

std::string answers(const std::string& folder, const std::string& camera, const std::string& real) {
    return "Y\n" + folder + "\n" + camera + "\n" + real + "\n\n";
}
const std::string one_hour_back = answers("Clips", "2024 03 01 01 00 00", "2024 03 01 00 00 00");

// How often `piece` stands in `text`.
std::ptrdiff_t count_of(const std::string& text, const std::string& piece) {
    const std::regex pattern(std::regex_replace(piece, std::regex("[.()]"), "\\$&"));
    return std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), {});
}

// What --help shows, as the README shows it.
std::string help_in_readme() {
    const std::string readme = ScratchDirectory::read_file(RUR_README);
    const std::size_t start = readme.find("```text\nUsage: ") + 8;
    return crlf(readme.substr(start, readme.find("```", start) - start));
}

TEST(Options, EachEndsAsToldAndAnyMistakeTouchesNothing) {
    const std::string typed = answers("F", camera_time, actual_time);
    const std::string hint = "; try DoridivezizoziRUR --help\r\n";
    const std::string unexpected = "DoridivezizoziRUR: unexpected argument ";
    const std::string clip = "F/2025_11_21_15_40_10.mp4";
    const std::string not_journal = " is not an undo journal of this program.\r\n";
    const std::string not_clip =
        "DoridivezizoziRUR: Drop the folder that holds the clips, not a clip: \"" + clip + "\"\r\n";
    const std::string dropped = "Y\n" + camera_time + "\n" + actual_time + "\n\n";
    const std::string unknown = "DoridivezizoziRUR: unknown option ";
    const bool slash_help = runs_through_launcher();  // Windows, where "/?" asks for help
    // The options, the input, the exit status and how the output (or the error stream) starts.
    const std::vector<std::tuple<std::vector<std::string>, std::string, int, std::string>> table{
        {{"--version"}, "", 0, "DoridivezizoziRUR 1.2.0\r\n"},
        {{"--help"}, "", 0, help_in_readme()},
        {{"--version", "F"}, "", 2, unexpected + "\"F\"" + hint},
        {{"--bogus"}, typed, 2, unknown + "\"--bogus\"" + hint},
        {{"-h"}, "", 0, "Usage: DoridivezizoziRUR [--dry-run | --undo JOURNAL"},
        {{"/?"}, typed, slash_help ? 0 : 2, slash_help ? "Usage" : "DoridivezizoziRUR: \"/?\" not"},
        {{clip}, typed, 2, not_clip},
        {{"--dry-run", clip}, typed, 2, not_clip},
        {{"--dry-run", "G"}, typed, 2, "DoridivezizoziRUR: \"G\" not found\r\n"},
        {{"G"}, typed, 2, "DoridivezizoziRUR: \"G\" not found\r\n"},
        // A folder named like an option, the same after --dry-run as alone.
        {{"--dry-run", "-F"}, dropped, 2, unknown + "(a folder of that name is ./-F) \"-F\"; try"},
        {{"--dry-run", "--", "-F"}, dropped, 0, " "},
        {{"--dry-run", "./-F"}, dropped, 0, " "},
        {{"--dry-run", "L"}, dropped, 0, " "},  // a link to the folder F
        {{"/"}, typed, 2, "DoridivezizoziRUR: a drive or top folder holds no clip folder \"/\""},
        {{"--undo"}, "", 2, "DoridivezizoziRUR: --undo needs the name of an undo journal" + hint},
        {{"--dry-run", "--dry-run"}, typed, 2, unknown},
        {{"--dates", "--dry-run", "--", "-F"}, dropped, 0, " "},
        {{"--dry-run", "--dates", "--dates"}, typed, 2, unknown},
        {{"--undo", "a", "b"}, "", 2, unexpected + "\"b\"" + hint},
        {{"--undo", "empty.txt"}, "", 127, "The file empty.txt" + not_journal},
        {{"--undo", "missing.txt"}, "", 127, "The undo journal missing.txt could not be read: "},
        {{"--undo", clip}, "", 127, "The file " + clip + not_journal},
    };
    for (const auto& [options, input, exit_status, start] : table) {
        ScratchDirectory scratch;
        ScratchDirectory::write_file(clip, "clip");
        ScratchDirectory::write_file(report_name, "last report");
        ScratchDirectory::write_file("empty.txt");  // as a run killed at its journal's creation
        ScratchDirectory::write_file("-F/2025_11_21_15_40_10.mp4", "clip");
        fs::create_directory_symlink("F", "L");
        const Files before = folder_contents(scratch.path());
        const ProgramRun run = run_program(scratch.path(), input, false, options);
        SCOPED_TRACE(options.back());
        EXPECT_EQ(run.exit_status, exit_status);
        const std::string& stream = exit_status == 0 ? run.output : run.error;
        EXPECT_TRUE(stream.starts_with(start)) << stream;
        EXPECT_EQ(folder_contents(scratch.path()), before);
        EXPECT_TRUE(exit_status != 2 ||
                    (run.output.empty() && run.error.find('\n') + 1 == run.error.size()));
    }
}

struct FolderCase {
    std::string folder;
    std::ptrdiff_t not_renamed;
    std::vector<std::string> clips;
    std::string camera = camera_time, actual = actual_time;
};

// Clips that all land on one name, their separators differing; their seconds, 50, are no burst
// number, so that the name and its 40 burst numbers hold 41 clips.
std::vector<std::string> one_burst(int count) {
    std::vector<std::string> clips;
    for (int index = 0; index < count; ++index) {
        std::string& name = clips.emplace_back("2025_11_21_15_40_50.mp4");
        for (std::size_t position = 4, rest = index; position < 19; position += 3, rest /= 6) {
            name[position] = "_-.,;+"[rest % 6];
        }
    }
    return clips;
}

// clang-format off
const std::vector<FolderCase> folder_cases{
    {"F", 0, {"2025-11-21 15.40.10.mp4", "2025.11.21.16.02.33.avi", "2025_11_21_15_40_10.mp4",
              "2025_11_21_16_02_33.avi", "2025_12_31_23_30_00.MP4", "2026_01_01_00_15_00.mp4"}},
    {"FullBurst", 1, one_burst(42)},
    {"AlreadyCorrect", 1,
     {"2025 11 21 14 25 10.mp4", "2025_11_21_14_25_10.mp4", "2025_13_45_99_99_99.mp4"},
     camera_time, camera_time},
    // The first clip's new name is held by the second, which moves on; the third takes the
    // first's old name, and the fourth's is held by the second's new name.
    {"NameHeldByTheNextClip", 0,
     {"2025 11 21 10 00 00.mp4", "2025 11 21 10 01 00.mp4", "2025_11_21_09_59_00.mp4",
      "2025_11_21_10_01_00.mp4"},
     "2025 11 21 10 00 00", "2025 11 21 10 01 00"},
    // Names that differ only in case are one name on Windows, two on Linux.
    {"CaseOnly", 0, {"2025-11-21-15-40-10.MP4", "2025_11_21_15_40_10.mp4"}},
    // En dashes as separators, a character to a column; the plain name takes a burst number.
    {"Urlaub–Köln", 0, {"2025_11_21_15_40_10.mp4", "2025–11–21_15_40_10.mp4"}},
    // Blanks and tabs in the folder's and the clips' names; Windows allows no tab in a name.
    {"My Clips\t2", 0,
     {"2025\t11\t21\t15\t40\t10.mp4", "2025 11 21 15 40 10.mp4", "2025-11-21 15 40\t10.m4v"}},
    // Whatever Linux allows between the fields, each extension the run takes; Windows allows none.
    {"Any:Name\t3", 0,
     {"2025:11:21:15:40:10.mp4", "2025\\11|21*15?40\"11.AVI", "2025<11>21:15:40:12.M4V",
      "2025:11:21:15:40:13.avi", "2025\\11\\21\\15\\40\\14.MP4"}},
};
// clang-format on

Files make_folder(const fs::path& directory, const FolderCase& row) {
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
        SCOPED_TRACE(row.folder);
        ScratchDirectory scratch;
        const fs::path at = scratch.path();
        const Files start = make_folder(at, row);
        const std::string typed = answers(row.folder, row.camera, row.actual);
        // A list.txt of the user's own outlives the preview, which writes nothing at all.
        ScratchDirectory::write_file(at / "list.txt", "mine");
        const ProgramRun dry = run_program(at, typed, false, {"--dry-run"});
        EXPECT_EQ(dry.exit_status, 0);
        EXPECT_EQ(dry.output.find("Successfully"), std::string::npos);
        EXPECT_EQ(ScratchDirectory::read_file(at / "list.txt"), "mine");
        fs::remove(at / "list.txt");
        EXPECT_EQ(folder_contents(at), start);
        // Dropped onto the program from elsewhere, the folder gets the same dry run.
        const ProgramRun dropped =
            run_program(fs::temp_directory_path(), "Y\n" + row.camera + "\n" + row.actual + "\n\n",
                        false, {"--dry-run", (at / row.folder).string()});
        EXPECT_EQ(dropped.output.substr(dropped.output.find(" Dry run")),
                  dry.output.substr(dry.output.find(" Dry run")));
        const ProgramRun real = run_program(at, typed);
        EXPECT_EQ(real.exit_status, 0);
        EXPECT_EQ(count_of(real.output, "File name = "), std::ssize(row.clips));
        EXPECT_EQ(count_of(real.output, "Could not rename"), row.not_renamed);
        EXPECT_EQ(as_real(dry.output), real.output);
        const std::string journal = journal_in(at);
        ASSERT_TRUE(std::regex_match(journal, std::regex(journal_start + "\\d{8}-\\d{6}\\.txt")));
        // As a run killed before it wrote the names taken: the undo finds each clip by its
        // identity among the names it could have got.
        const std::regex untold("(renamed|     as|end of run): [^\r]*\r\n");
        ScratchDirectory::write_file(
            at / journal,
            std::regex_replace(ScratchDirectory::read_file(at / journal), untold, ""));
        // Undone from the run's directory, then again from elsewhere, which changes nothing.
        for (const fs::path& named : {fs::path(journal), at / journal}) {
            ScratchDirectory elsewhere;
            const fs::path from = named.is_absolute() ? elsewhere.path() : at;
            const ProgramRun undo = run_program(from, "", false, {"--undo", named.string()});
            EXPECT_EQ(undo.exit_status, 0) << undo.output << undo.error;
            Files after = folder_contents(at);
            after.erase(journal);
            after[report_name] = "last report";
            EXPECT_EQ(after, start);
        }
    }
}

TEST(DryRunAndUndo, AClipMovedAwayAndAnOldNameTakenAreToldAndTheRestRestored) {
    ScratchDirectory scratch;
    make_folder(scratch.path(), folder_cases.front());
    Files expected = folder_contents("F");
    // Journals of this second and the next ones are there already, and stay as they are.
    std::set<std::string> earlier;
    for (std::time_t now = std::time(nullptr), at = now; at < now + 30; ++at) {
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&at));
        ScratchDirectory::write_file(*earlier.insert(journal_start + stamp + ".txt").first,
                                     "earlier");
    }
    run_program(scratch.path(), answers("F", camera_time, actual_time));
    const std::string journal = journal_in(scratch.path(), earlier);
    EXPECT_TRUE(std::regex_match(journal, std::regex(journal_start + "\\d{8}-\\d{6}-2\\.txt")))
        << journal;
    for (const std::string& name : earlier) {
        EXPECT_EQ(ScratchDirectory::read_file(name), "earlier");
    }
    // Asked for no journal, the program names the newest by its date and time, then the number of
    // the run within its second, passing over a name that only looks like a journal's.
    const std::size_t stamp_end = journal_start.size() + 15;
    std::erase_if(earlier, [&](const std::string& name) {
        return name.compare(0, stamp_end, journal, 0, stamp_end) > 0 && fs::remove(name);
    });
    ScratchDirectory::write_file(journal_start + "99999999999.txt", "no journal");
    const ProgramRun bare = run_program(scratch.path(), "", false, {"--undo"});
    EXPECT_NE(bare.error.find(" --undo " + journal + "\r\n"), std::string::npos) << bare.error;
    fs::remove("F/2025 12 31 23 00 00.mp4");  // the newest rename's clip
    ScratchDirectory::write_file("F/2025_12_31_23_30_00.MP4", "a newer clip");
    // A rename by link cut between its two steps: the clip under its old and its new name.
    fs::create_hard_link("F/2025 11 21 14 25 01.mp4", "F/2025_11_21_15_40_10.mp4");
    // A clip replaced by another under its name; made first, the other cannot take its number.
    ScratchDirectory::write_file("F/other", "another clip");
    fs::rename("F/other", "F/2025 11 21 14 47 33.avi");

    const ProgramRun undo = run_program(scratch.path(), "", false, {"--undo", journal});

    EXPECT_EQ(undo.exit_status, 1);
    for (const char* told :
         {" Could not restore F/2025 12 31 23 00 00.mp4: it is no longer there\r\n",
          " Could not restore F/2025 12 31 22 15 00.MP4: its old name F/2025_12_31_23_30_00.MP4 is "
          "taken\r\n",
          " Could not restore F/2025 11 21 14 47 33.avi: a different file now bears this name\r\n",
          " Restored F/2025_11_21_15_40_10.mp4\r\n", "     3 of 6 files restored\r\n"}) {
        EXPECT_NE(undo.output.find(told), std::string::npos) << told << undo.output;
    }
    expected.erase("2026_01_01_00_15_00.mp4");
    expected.erase("2025.11.21.16.02.33.avi");
    expected["2025 11 21 14 47 33.avi"] = "another clip";
    expected["2025_12_31_23_30_00.MP4"] = "a newer clip";
    expected["2025 12 31 22 15 00.MP4"] = "clip 2025_12_31_23_30_00.MP4";
    EXPECT_EQ(folder_contents("F"), expected);
}

// A journal of 1.1.0 holds no file numbers: its clips go back by name alone, newest first.
TEST(DryRunAndUndo, AJournalOf110IsUndoneByName) {
    ScratchDirectory scratch;
    ScratchDirectory::write_file("My F/2025 11 21 14 25 10.mp4", "renamed");
    ScratchDirectory::write_file("My F/2025_11_21_16_02_33.avi", "back already");
    const std::string renamed = "\r\nrenamed: My F/";
    ScratchDirectory::write_file(
        "old.txt",
        "DoridivezizoziRUR undo journal" + renamed +
            "2025_11_21_15_40_10.mp4\r\n     to: My F/2025 11 21 14 25 10.mp4" + renamed +
            "2025_11_21_16_02_33.avi\r\n     to: My F/2025 11 21 14 47 33.avi" + renamed +
            "2025_11_21_17_00_00.avi\r\n     to: My F/2025 11 21 15 45 00.avi\r\n");
    const ProgramRun undo = run_program(scratch.path(), "", false, {"--undo", "old.txt"});
    EXPECT_EQ(
        undo.output,
        " Could not restore My F/2025 11 21 15 45 00.avi: it is no longer there\r\n"
        " Already back My F/2025_11_21_16_02_33.avi\r\n Restored My F/2025_11_21_15_40_10.mp4\r\n"
        "     2 of 3 files restored\r\n");
    EXPECT_EQ(undo.exit_status, 1);
    EXPECT_EQ(folder_contents("My F"), (Files{{"2025_11_21_15_40_10.mp4", "renamed"},
                                              {"2025_11_21_16_02_33.avi", "back already"}}));
}

// A journal that no longer fits the folder touches no clip; one reached through a link is read
// beside itself; what is no journal is refused whole.
TEST(DryRunAndUndo, AStaleJournalTouchesNothingAndALinkedOneWorks) {
    ScratchDirectory scratch;
    make_folder(scratch.path(), folder_cases.front());
    run_program(scratch.path(), answers("F", camera_time, actual_time));
    const std::string first = journal_in(scratch.path());
    EXPECT_EQ(run_program(scratch.path(), "", false, {"--undo", first}).exit_status, 0);
    run_program(scratch.path(), answers("F", camera_time, "2025 11 21 14 16 00"));
    const std::string second = journal_in(scratch.path(), {first});
    const Files shifted = folder_contents("F");
    EXPECT_EQ(run_program(scratch.path(), "", false, {"--undo", first}).exit_status, 1);
    EXPECT_EQ(folder_contents("F"), shifted);
    fs::create_directory("elsewhere");
    fs::create_symlink("../" + second, "elsewhere/link.txt");
    EXPECT_EQ(run_program(".", "", false, {"--undo", "elsewhere/link.txt"}).exit_status, 0);
    EXPECT_EQ(folder_contents("F").count("2025_11_21_15_40_10.mp4"), 1U);
    // A folder put in the place of the run's, with the same names, is not the run's folder
    // (where the filesystem keeps file numbers, which Wine's need not); nor is a link to the run's.
    if (!runs_through_launcher()) {
        fs::rename("F", "F.moved");
        fs::copy("F.moved", "F");
        EXPECT_EQ(run_program(".", "", false, {"--undo", second}).exit_status, 127);
        EXPECT_EQ(folder_contents("F"), folder_contents("F.moved"));
        fs::remove_all("F");
        fs::create_directory_symlink("F.moved", "F");
        EXPECT_EQ(run_program(".", "", false, {"--undo", second}).exit_status, 127);
    }
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    const ProgramRun pipe = run_program(".", "", false, {"--undo", "pipe"});
    EXPECT_EQ(pipe.exit_status, 127);
    EXPECT_NE(pipe.error.find("pipe could not be read: it is not a regular"), std::string::npos);
}

// Clips named a second apart, each holding its own number, in `folder`.
Files make_clips(const fs::path& folder, int count) {
    for (int index = 0; index < count; ++index) {
        char name[32];
        std::snprintf(name, sizeof name, "2024_03_%02d_%02d_%02d_%02d.mp4", 1 + index / 1440,
                      index / 60 % 24, index % 60, index % 60);
        ScratchDirectory::write_file(folder / name, std::to_string(index));
    }
    return folder_contents(folder);
}

// A clip under two names ends under one, whichever is listed first; one outside the folder stays.
TEST(TwoNames, EndUnderOneNameInEitherListingOrder) {
    struct Case {
        std::string old_name, new_name, input, final_name;
    };
    for (const Case& row : std::vector<Case>{
             // The new name sorts first and is shifted on; the old one then names a renamed clip.
             {"2025_11_21_15_40_10.mp4", "2025 11 21 14 25 10.mp4",
              answers("Clips", camera_time, actual_time), "2025 11 21 13 10 10.mp4"},
             // The old name sorts first and finds its new name taken by the very same clip. Wine
             // moves a file onto another name of itself by doing nothing.
             {"2025 11 21 14 25 10.mp4", "2025 11 21 15 40 10.mp4",
              answers("Clips", actual_time, camera_time), "2025 11 21 15 40 10.mp4"}}) {
        if (row.new_name.starts_with("2025 11 21 15") && runs_through_launcher()) {
            continue;
        }
        ScratchDirectory scratch;
        ScratchDirectory::write_file("Clips/" + row.old_name, "clip");
        fs::create_hard_link("Clips/" + row.old_name, "Clips/" + row.new_name);
        ScratchDirectory::write_file("kept.mp4", "kept");
        fs::create_hard_link("kept.mp4", "Clips/2025_11_21_18_00_00.mp4");
        const ProgramRun dry = run_program(scratch.path(), row.input, false, {"--dry-run"});
        const ProgramRun run = run_program(scratch.path(), row.input);
        EXPECT_EQ(run.exit_status, 0) << run.error;
        EXPECT_EQ(as_real(dry.output), run.output);
        const Files after = folder_contents("Clips");
        ASSERT_EQ(after.size(), 2U) << run.output;
        EXPECT_EQ(after.at(row.final_name), "clip");
        EXPECT_EQ(fs::hard_link_count("Clips/" + row.final_name), 1U);
        EXPECT_EQ(fs::hard_link_count("kept.mp4"), 2U);
        const std::string report = ScratchDirectory::read_file(report_name);
        EXPECT_EQ(count_of(report, "Successfully renamed "), 3);
        EXPECT_EQ(count_of(report, "Successfully renamed Clips/" + row.final_name + "\r\n"), 2);
        // The journal tells of a name removed after its file's rename; undo gives both names back.
        EXPECT_EQ(
            ScratchDirectory::read_file(journal_in(".")).find("\nremoved: ") != std::string::npos,
            row.new_name < row.old_name);
        EXPECT_EQ(run_program(".", "", false, {"--undo", journal_in(".")}).exit_status, 0);
        EXPECT_EQ(fs::hard_link_count("Clips/" + row.old_name), 2U);
        EXPECT_TRUE(fs::equivalent("Clips/" + row.old_name, "Clips/" + row.new_name));
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

// A directory where no file can be made: the listing and the report are written over in place,
// and the listing, which cannot be deleted, stays behind. A report its user may only read then
// stops the next run before any rename, naming where.
TEST(OwnFile, IsWrittenInPlaceWhereNoFileCanBeMade) {
    if (geteuid() == 0 && runs_through_launcher()) {
        GTEST_SKIP() << "Wine starts for no other user than the owner of its prefix";
    }
    ScratchDirectory scratch;
    make_clips("Clips", 2);
    ScratchDirectory::write_file("list.txt", std::string(200, 'x'));
    ScratchDirectory::write_file(report_name, std::string(200, 'x'));
    for (const std::string& own : {std::string("list.txt"), report_name, std::string("Clips")}) {
        // Run by root, the program runs as "nobody", to whom the directory does not belong.
        ASSERT_TRUE(geteuid() != 0 ||
                    chown(own.c_str(), unprivileged_user_id, unprivileged_user_id) == 0);
    }
    fs::permissions(".", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const std::string typed = answers("Clips", "2024 03 01 00 00 00", "2024 03 01 01 00 00");
    const ProgramRun run = run_program(scratch.path(), typed, true);
    EXPECT_EQ(run.exit_status, 0) << run.error;
    EXPECT_EQ(count_of(run.error, "No undo journal could be made here, so this run cannot"), 1);
    EXPECT_NE(run.output.find("     2 files successfully renamed"), std::string::npos);
    EXPECT_EQ(ScratchDirectory::read_file(report_name).find('x'), std::string::npos);
    EXPECT_EQ(ScratchDirectory::read_file("list.txt").find('x'), std::string::npos);
    const Files renamed{{"2024 03 01 01 00 00.mp4", "0"}, {"2024 03 01 01 01 01.mp4", "1"}};
    EXPECT_EQ(folder_contents("Clips"), renamed);
    fs::permissions(report_name, fs::perms::owner_write, fs::perm_options::remove);
    const ProgramRun refused = run_program(scratch.path(), typed, true);
    EXPECT_EQ(refused.exit_status, 127);
    EXPECT_NE(refused.error.find("reading only\r\n  at file \"" + report_name + "\", line 1\r\n"),
              std::string::npos);
    EXPECT_EQ(folder_contents("Clips"), renamed);
}

}  // namespace
}  // namespace e2e
