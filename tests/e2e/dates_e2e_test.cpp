// --dates on real clips made by ffmpeg: exactly the journaled fields change, players read the
// shifted creation time and still decode the clip, and --undo gives back every byte and time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>

#include "e2e/program_runner.hpp"
#include "workflow/journal.hpp"

namespace {

using namespace e2e;
using namespace std::chrono;

// What a command prints, or nothing where the tool is not installed.
std::string output_of(const std::string& command) {
    std::string text(1 << 16, '\0');
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    text.resize(pipe != nullptr ? std::fread(text.data(), 1, text.size(), pipe) : 0);
    return pipe != nullptr && ::pclose(pipe) >= 0 ? text : "";
}

TEST(Dates, PatchOnlyJournaledFieldsAndUndoGivesEveryByteAndTimeBack) {
    ::setenv("TMPDIR", fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp", 1);  // see `far`
    ScratchDirectory scratch;
    fs::create_directory("F");
    // Fixture, name, its line. Made at 2025-11-21 15:40:10 UTC; the AVI says local 16:40:10.
    const std::vector<std::tuple<std::string, std::string, std::string>> table{
        {"moov_first.mp4", "2025_11_21_15_40_10.mp4", "file time and 6 recorded dates corrected"},
        {"moov_last.mp4", "2025_11_21_15_40_12.mp4", "file time and 6 recorded dates corrected"},
        {"wide_moov.mp4", "2025_11_21_15_40_09.mp4", "file time and 6 recorded dates corrected"},
        {"quicktime_keys.mp4", "2025_11_21_15_40_13.mp4", "and 8 recorded dates corrected"},
        {"fragmented.mp4", "2025_11_21_15_40_11.mp4", "recorded dates corrected"},
        {"clip.m4v", "2025_11_21_15_40_06.m4v", "recorded dates corrected"},  // 4 s off: the most
        {"clip.avi", "2025_11_21_16_40_10.avi", "file time and 1 recorded date corrected"},
        // Names in the machine's local time, half an hour off UTC, or in UTC where the clip's
        // time is local (AVI): their file times disagree, and take the new name's local time.
        {"moov_first.mp4", "2025_11_21_21_10_10.mp4", "file time and 6 recorded dates corrected"},
        {"clip.avi", "2025_11_21_11_10_10.avi", "file time and 1 recorded date corrected"},
        // The evening before summer time begins: that evening's offset, not the night's.
        {"clip.m4v", "2025_03_29_17_15_10.m4v", "file time corrected; recorded dates left"},
        // A car camera's GPS time in the container, its name from a wrong clock.
        {"moov_first.mp4", "2025_11_21_09_00_00.mp4", "5-11-21 15:40:10 UTC is +24010 s off"},
        // A backup made with hard links shares the bytes.
        {"moov_last.mp4", "2025_11_21_09_10_00.mp4", "Dates left: it has more than one hard link"},
    };
    // A file time 14 h 4 s off its name agrees (shifted exactly); 14 h 15 min off, it does not.
    const auto named = file_clock::from_sys(sys_seconds(1763739610s)), agreeing = named + 14h + 4s;
    std::map<std::string, fs::file_time_type> file_times{
        {"2025_11_21_15_40_10.mp4", agreeing}, {"2025_11_21_21_10_10.mp4", named + 19h + 45min}};
    std::map<std::string, std::pair<std::string, fs::file_time_type>> before;
    for (const auto& [fixture, name, said] : table) {
        fs::copy_file(fs::path(RUR_FIXTURES) / fixture, "F/" + name);
        // Times in whole seconds, which Windows keeps, in its steps of 100 ns, as they are.
        file_times.try_emplace(name, floor<seconds>(fs::last_write_time("F/" + name)));
        fs::last_write_time("F/" + name, file_times.at(name));
        before[name] = {ScratchDirectory::read_file("F/" + name), fs::last_write_time("F/" + name)};
    }
    // 2300, past 64 bits of nanoseconds, is left (as an access time too); 1700 (tmpfs) is weighed.
    std::map<std::string, std::string> far{{"2025_11_21_15_40_14.m4v", "@10413792000"},
                                           {"2025_11_21_15_40_08.m4v", "@-8520336000"}};
    for (auto& [name, time] : far) {
        before[name].first = ScratchDirectory::read_file(RUR_FIXTURES "/clip.m4v");
        time =
            output_of("cd F && cp '" RUR_FIXTURES "/clip.m4v' " + name + " && touch -d " + time +
                      " " + name + " && touch -ad @10413792000 " + name + " && stat -c %Y " + name);
    }
    fs::create_hard_link("F/2025_11_21_09_10_00.mp4", "backup.mp4");
    ::setenv("TZ", "<+0530>-5:30<+0630>,M3.5.0,M10.5.0/3", 1);
    const ProgramRun run = run_program(
        scratch.path(), "Y\nF\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n\n", false, {"--dates"});
    ::unsetenv("TZ");
    ASSERT_EQ(run.exit_status, 0) << run.error;
    EXPECT_EQ(output_of("stat -c %X F/*.m4v").find('-'), run.output.npos) << "an atime of 1677";
    for (const auto& [fixture, name, said] : table) {
        EXPECT_NE(run.output.find(said), std::string::npos) << name << run.output;
    }
    EXPECT_NE(run.output.find("10 clips' recorded dates were corrected, 4 left"), run.output.npos);
    EXPECT_NE(run.output.find("left: its file time is too far from the present"), run.output.npos);
    const std::string journal = journal_in(scratch.path());
    workflow::Journal read;
    ASSERT_TRUE(workflow::read_journal(ScratchDirectory::read_file(journal), read).refused.empty());
    const bool probe = output_of("ffprobe -version").starts_with("ffprobe");
    EXPECT_TRUE(probe || !skips_refused()) << "no ffprobe: what a reader sees goes unchecked";
    for (const workflow::JournalClip& clip : read.clips) {
        std::string expected = before.at(clip.old_name).first;
        for (const workflow::JournalClip::Field& field : clip.fields) {
            expected.replace(field.offset, field.new_bytes.size(), field.new_bytes);
        }
        EXPECT_EQ(ScratchDirectory::read_file("F/" + clip.new_name), expected) << clip.new_name;
        if (probe && !clip.new_name.ends_with(".avi") && !clip.fields.empty()) {
            const std::string quoted = "'F/" + clip.new_name + "'";
            const std::string shown = output_of(
                "ffprobe -v error -of csv -show_entries format_tags:stream_tags " + quoted);
            EXPECT_NE(shown.find("2025-11-21T14:25:10"), std::string::npos) << shown;
            EXPECT_EQ(shown.find("15:40:10"), std::string::npos) << shown;
            EXPECT_EQ(output_of("ffmpeg -v error -i " + quoted + " -f null -"), "") << quoted;
        }
    }
    EXPECT_EQ(fs::last_write_time("F/2025 11 21 14 25 10.mp4"), agreeing - 75min);
    EXPECT_EQ(fs::last_write_time("F/2025 11 21 19 55 10.mp4"), named - 75min);
    // Under Wine a zone given by rules holds for the current year only.
    EXPECT_TRUE(runs_through_launcher() || fs::last_write_time("F/2025 03 29 16 00 10.m4v") ==
                                               file_clock::from_sys(sys_seconds(1743244210s)));
    EXPECT_EQ(ScratchDirectory::read_file("backup.mp4"),
              before.at("2025_11_21_09_10_00.mp4").first);
    ASSERT_EQ(run_program(scratch.path(), "", false, {"--undo", journal}).exit_status, 0);
    for (const auto& [name, time] : far) {
        EXPECT_EQ(output_of("stat -c %Y F/" + name), time) << name;
    }
    for (const auto& [fixture, name, said] : table) {
        EXPECT_EQ(
            std::pair(ScratchDirectory::read_file("F/" + name), fs::last_write_time("F/" + name)),
            before.at(name))
            << name;
    }
}

// A clip its user may only read keeps its dates, which the dry run foretells with the reason.
TEST(Dates, LeftOnAClipThatMayOnlyBeReadAsTheDryRunForetold) {
    ScratchDirectory scratch;
    const std::string clip = "F/2025_11_21_15_40_10.mp4";
    ScratchDirectory::write_file(clip, ScratchDirectory::read_file(RUR_FIXTURES "/moov_first.mp4"));
    for (const std::string owned : {".", "F", clip.c_str()}) {  // to "nobody", when run by root
        ASSERT_TRUE(geteuid() != 0 || chown(owned.c_str(), unprivileged_user_id, 0) == 0);
    }
    fs::permissions(clip, fs::perms::owner_write, fs::perm_options::remove);
    const std::string typed = "Y\nF\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n\n";
    const bool wine = runs_through_launcher();  // to which the clip is read-only
    const ProgramRun dry = run_program(".", typed, !wine, {"--dry-run", "--dates"});
    EXPECT_NE(dry.output.find("be left: the clip could not be opened to write"), dry.output.npos);
    // Wine run by root writes a read-only file, which Windows refuses to everyone.
    if (!wine || geteuid() != 0) {
        EXPECT_EQ(as_real(dry.output), run_program(".", typed, !wine, {"--dates"}).output);
    }
}

// --dates JOURNAL after a run without dates, of this version or of 1.1.0 (L): each clip still
// under the name the run gave it ends as a --dates run (G) leaves it, byte for byte and time for
// time. The run renames nothing and is undone apart, once only; the renames' undo takes theirs.
TEST(Dates, LaterFromAJournalAsADatesRunWouldAndTakenBackApart) {
    ScratchDirectory scratch;
    // Fixture, name, what befalls it after the renaming run, its line.
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> table{
        {"moov_first.mp4", "2025_11_21_15_40_10.mp4", "", "and 6 recorded dates corrected"},
        {"moov_last.mp4", "2025-11-21-15-40-10.mp4", "", "and 6 recorded dates corrected"},
        {"clip.avi", "2025_11_21_16_40_10.avi", "", "file time and 1 recorded date corrected"},
        {"wide_moov.mp4", "2025_11_21_15_40_09.mp4", "F/moved", "left: it is no longer there"},
        {"fragmented.mp4", "2025_11_21_15_40_11.mp4", "F/copy", "a different file now bears this"},
    };
    const auto state = [](const std::string& folder) {
        std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
        for (const auto& [name, bytes] : folder_contents(folder)) {
            files[name] = {bytes, fs::last_write_time(folder + "/" + name)};
        }
        return files;
    };
    for (const std::string folder : {"F/", "G/", "L/"}) {
        fs::create_directory(folder);
        for (const auto& [fixture, name, after, said] : table) {
            fs::copy_file(fs::path(RUR_FIXTURES) / fixture, folder + name);
            fs::last_write_time(folder + name, floor<seconds>(fs::last_write_time(folder + name)));
        }
    }
    const auto original = state("L");
    const std::string typed = "Y\nF\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n\n";
    ASSERT_EQ(run_program(".", typed).exit_status, 0);
    const std::string renames = journal_in(".");
    ASSERT_EQ(run_program(".", "Y\nG" + typed.substr(3), false, {"--dates"}).exit_status, 0);
    workflow::Journal read;
    workflow::read_journal(ScratchDirectory::read_file(renames), read);
    std::map<std::string, std::string> taken;  // by the old name
    for (const workflow::JournalClip& clip : read.clips) {
        taken[clip.old_name] = clip.renamed_as.empty() ? clip.new_name : clip.renamed_as;
    }
    std::string legacy = "DoridivezizoziRUR undo journal\r\n";
    for (const auto& [fixture, name, after, said] : table) {
        if (after.empty()) {
            fs::rename("L/" + name, "L/" + taken[name]);
            legacy += "renamed: L/" + name + "\r\n     to: L/" + taken[name] + "\r\n";
        } else if (after == "F/moved") {
            fs::rename("F/" + taken[name], after);
        } else {  // replaced by a copy
            fs::copy_file("F/" + taken[name], after);
            fs::rename(after, "F/" + taken[name]);
        }
    }
    ScratchDirectory::write_file("legacy.txt", legacy);
    const auto before = state("F");
    const std::set<std::string> journals{renames, journal_in(".", {renames})};
    const ProgramRun run = run_program(".", "", false, {"--dates", renames});
    ASSERT_EQ(run.exit_status, 0) << run.error;
    for (const auto& [fixture, name, after, said] : table) {
        EXPECT_NE(run.output.find(said), std::string::npos) << name << run.output;
    }
    EXPECT_NE(run.output.find("3 clips' recorded dates were corrected, 2 left"), run.output.npos);
    const std::string dates_only = journal_in(".", journals);
    EXPECT_NE(ScratchDirectory::read_file(dates_only).find("\r\nfolder: F\r\n"), std::string::npos);
    ASSERT_EQ(run_program(".", "", false, {"legacy.txt", "--dates"}).exit_status, 0);
    for (const auto& [fixture, name, after, said] : table) {
        if (after.empty()) {
            EXPECT_EQ(state("F").at(taken[name]), state("G").at(taken[name])) << name;
            EXPECT_EQ(state("L").at(taken[name]), state("G").at(taken[name])) << name;
        }
    }
    EXPECT_EQ(run_program(".", "", false, {"--dates", dates_only}).exit_status, 127);
    const std::string avi = "F/" + taken["2025_11_21_16_40_10.avi"];
    fs::rename(avi, "away");  // refused by the first undo, which must not count it as back
    EXPECT_EQ(run_program(".", "", false, {"--undo", dates_only}).exit_status, 1);
    fs::rename("away", avi);
    EXPECT_NE(run_program(".", "", false, {"--undo", dates_only}).output.find(" Already back F/"),
              std::string::npos);
    EXPECT_EQ(state("F"), before);
    EXPECT_EQ(run_program(".", "", false, {"--undo", "legacy.txt"}).exit_status, 0);
    EXPECT_EQ(state("L"), original);
}

}  // namespace
