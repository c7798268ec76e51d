// Whole runs of the program: every console line, error line, report line, final folder and exit
// status, byte for byte.
#include <gtest/gtest.h>

#include "program_runner.hpp"

namespace e2e {
namespace {

using namespace std::string_literals;

// Console lines, written with bare line feeds; the program ends every line with CR LF.
std::string pad(std::string text, std::size_t width) {
    return text.append(width - std::min(width, text.size()), ' ') + "\n";
}
const std::string opening =
    pad("", 76) + pad("  Corrects the date & time on video files first labeled with Renamer", 76) +
    "\n" + pad("Have you used Renamer with Meta Tag File_DateModified to relabel the files?", 76) +
    pad("Enter Y for yes, N for no", 76);
const std::string folder_prompt =
    opening + pad("Enter folder name containing all video files to be renamed, then ENTER", 76) +
    pad("  The folder name is case sensitive and cannot have embedded blanks", 76) +
    pad("  Example: Acceptable: Files_to_Rename, SpecialCases; Error: Relabel Folder", 76);
const std::string form =
    pad("  Enter this date and time as it appears with one space between fields", 75);
const std::string camera_prompt =
    folder_prompt + "\n" + pad("Enter the date & time on the camera as yyyy mn dy hr mn sc", 75) +
    pad("  For example, you visit the camera and the date is 2025 11 21 15 30 00", 75) + form;
const std::string actual_prompt =
    camera_prompt + "\n" + pad("Enter the actual date & time the camera should have been", 75) +
    pad("  For example, you visit the camera and the date is 2013 01 15 16 30 00", 75) + form;
const std::string pause = " Press Enter to terminate\n";
const std::string no_answer =
    opening + "    Use Renamer with Meta Tag File_DateModified to relabel the video files  \n" +
    pause;
const std::string no_folder =
    folder_prompt + pad("There was a problem with the folder name ... TERMINATING", 56) + pause;
const std::string stopped = "Program stopped\r\n", error_check = "Stop in error check\r\n";
const std::string not_video = " At least one file is NOT an AVI or MP4 file ...Terminating\n";

// The complaint about each typed field out of range ("" for one in range), and the stop.
std::string out_of_range(const std::vector<std::string>& values) {
    const char* const labels[] = {
        "Year   =", "Month  =", "Day    =", "Hour   =", "Minute =", "Second ="};
    std::string lines;
    for (std::size_t field = 0; field < values.size(); ++field) {
        if (!values[field].empty()) {
            lines += " "s + labels[field] + std::string(14 - values[field].size(), ' ') +
                     values[field] + "  is out of range\n";
        }
    }
    return lines + " Date and/or time entry error\n The proper form is YYYY MN DY HR MN SC\n" +
           pause;
}

// A diagnostic opens with a line in plain words, then tells the operation, reason and place.
std::string failure(std::string_view plain, std::string_view what, std::string_view where) {
    return std::string(plain) +
           "\r\nDoridivezizoziRUR: input/output failure: " + std::string(what) + "\r\n  at " +
           std::string(where) + "\r\n";
}
const std::string input_ended = "The console input ended before the program had all its answers.";
std::string integer_failure(std::string_view what, char line) {
    const std::size_t quote = what.find('"');
    const std::string plain =
        quote == std::string_view::npos
            ? input_ended
            : "The answer " + std::string(what.substr(quote, what.rfind('"') + 1 - quote)) +
                  " is not a whole number: type the six numbers of a date and time, such as "
                  "2025 11 21 15 30 00.";
    return failure(plain, "whitespace-separated integer input on channel 5: " + std::string(what),
                   "standard input, line "s + line);
}

const std::string clip = "2025_11_21_15_40_10.mp4";
const std::string camera = "Y\nClips\n2025 11 21 15 30 00\n";
const std::string huge(std::size_t{10} << 20, ' ');

// One run in a directory that holds the run's folder and "Cl", a copy that no run may touch.
struct Case {
    std::string name, input;
    int exit_status = 0;
    std::string output;
    std::string error = stopped;
    Files clips = {{clip, clip}}, clips_after = clips;
    std::string report = "", folder = "Clips";
    std::string start = "";  // the directory, under the scratch one, where the program starts
    bool dropped = false;    // the folder is dropped onto the program, started in "elsewhere"
    friend void PrintTo(const Case& row, std::ostream* out) { *out << row.name; }
};

// The typed timestamps and what the program makes of them.
struct Correction {
    std::string typed;          // both timestamps, each ending in a line feed
    std::string console_lines;  // the correction's console line
    std::string report_head;    // the report's two timestamp lines and its correction line
};
const Correction minus_75{
    "2025 11 21 15 30 00\n2025 11 21 14 15 00\n",
    "You are subtracting about  0 years,  0 months,  0 days,  1 hours, 15 minutes\n",
    "2025 11 21 15 30  0\n2025 11 21 14 15  0\nMinutes to correct =      -75\n"};

// The first 23 columns of `name`, a UTF-8 character to a column.
std::string columns_23(const std::string& name) {
    std::size_t end = 0;
    for (int column = 0; column < 23 && end < name.size(); ++column) {
        for (++end; end < name.size() && (name[end] & 0xC0) == 0x80; ++end) {
        }
    }
    return name.substr(0, end);
}

// A whole run over files named as listed, each holding its own name, in listing order, with the
// name each gets ("" when it keeps its own). Only the first 23 columns of a name are shown.
Case renaming(std::string name, const Correction& correction,
              const std::vector<std::pair<std::string, std::string>>& outcomes,
              const std::string& folder = "Clips") {
    Case run{name, "Y\n" + folder + "\n" + correction.typed + "\n", 0,
             actual_prompt + "\n" + correction.console_lines + "\n"};
    run.clips.clear();
    run.clips_after.clear();
    run.report = correction.report_head + "\n";
    run.folder = folder;
    int renamed = 0;
    for (const auto& [listed, renamed_to] : outcomes) {
        std::string outcome = "Could not rename " + folder + "/" + columns_23(listed);
        if (!renamed_to.empty()) {
            outcome = "Successfully renamed " + folder + "/" + renamed_to;
            ++renamed;
        }
        run.clips[listed] = listed;
        run.clips_after[renamed_to.empty() ? listed : renamed_to] = listed;
        run.output += "File name = " + columns_23(listed) + "\n " + outcome + "\n\n";
        run.report += outcome + "\n\n";
    }
    const std::string count = std::to_string(renamed);
    const std::string count_line =
        std::string(6 - count.size(), ' ') + count + " files successfully renamed\n";
    run.output += count_line + " DONE ... Press Enter to terminate\n";
    run.report += count_line;
    return run;
}

// What the error stream names when the entries `refused` (name, extension read, none for a name
// too short to have one) stop the run.
std::string refused(const std::vector<std::pair<std::string, std::string>>& entries, bool own,
                    int more = 0) {
    std::string told =
        "These entries of the folder are not video clips (avi, mp4, m4v), so nothing "
        "was renamed:\r\n";
    for (const auto& [name, extension] : entries) {
        told += "  " + name +
                (extension.empty() ? "   (not named like a clip)\r\n"
                                   : "   (extension \"" + extension + "\")\r\n");
    }
    told += more > 0 ? "  and " + std::to_string(more) + " more\r\n" : "";
    return told +
           (own ? "The folder holds this program's own files: start the program in the "
                  "folder that holds the clip folder instead.\r\n"
                : "Move them out of the folder, then start the program again.\r\n") +
           stopped;
}

// Five refused entries are named, the rest counted.
Case six_entries_no_clips() {
    Case run{"SixEntriesThatAreNoClips", "Y\nClips\n\n", 0, folder_prompt + not_video + pause,
             refused({{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}, {"e", ""}}, false, 1)};
    run.clips = run.clips_after = {{clip, clip}, {"a", ""}, {"b", ""}, {"c", ""},
                                   {"d", ""},    {"e", ""}, {"f", ""}};
    return run;
}

Case not_video_beside(std::string name, const std::string& other, const std::string& extension) {
    Case run{std::move(name), "Y\nClips\n\n", 0, folder_prompt + not_video + pause,
             refused({{other, extension}}, false)};
    run.clips = run.clips_after = {{clip, clip}, {other, ""}};
    return run;
}

Case one_clip(std::string name, std::string input, const std::string& folder = "Clips") {
    Case run = renaming(std::move(name), minus_75, {{clip, "2025 11 21 14 25 10.mp4"}}, folder);
    run.input = input.empty() ? run.input : std::move(input);
    return run;
}

std::vector<Case> cases() {
    const std::string typed = "Y\nClips\n" + minus_75.typed + "\n";
    std::vector<Case> table = {
        {"AnswerN", "N\n\n", 0, no_answer},
        {"AnswerNoInLowerCase", "no thanks\n\n", 0, no_answer},
        one_clip("AnswerBlankThenN", " N" + typed.substr(1)),
        one_clip("AnswerNul", "\0"s + typed.substr(1)),
        one_clip("AnswerOfTenMegabytes", "Y" + huge + typed.substr(1)),
        one_clip("LinesEndingInCarriageReturns", crlf(typed)),
        one_clip("FolderOf36Characters", "", "Folder_" + std::string(29, 'x')),
        one_clip("FolderOf37Characters", "", "Folder_" + std::string(30, 'x')),
        // A blank answer names the current directory, whose first entry is the folder "Cl".
        {"BlankFolderIsTheCurrentDirectory", "Y\n\n\n", 0, folder_prompt + not_video + pause,
         refused({{"Cl", ""}, {"Clips", ""}, {"list.txt", ""}, {"precious.txt", ""}}, true)},
        {"NoSuchFolder", "Y\nMissing\n\n", 0, no_folder},
        {"FolderHandedToNoShell", "Y\nClips;touch y\n\n", 0, no_folder},
        {"NulInTheFolder", "Y\nCl\0ips\n\n"s, 0, no_folder},
        not_video_beside("ExtensionInMixedCase", "2025_11_21_15_40_11.Mp4", "Mp4"),
        not_video_beside("NameWithoutExtension", "short.mp4", ""),
        not_video_beside("NotesBesideTheClips", "notes.txt", ""),
        six_entries_no_clips(),
        {"CameraOutOfRange", "Y\nClips\n2008 13 0 -1 61 -1\n\n", 0,
         camera_prompt + out_of_range({"2008", "13", "0", "-1", "61", "-1"}), error_check},
        // Without a month there is no longest day to hold the day against.
        {"ActualOutOfRange", camera + "2051 0 40 24 -1 61\n\n", 0,
         actual_prompt + out_of_range({"2051", "0", "", "24", "-1", "61"}), error_check},
        {"InputEndsAtOnce", "", 127, opening,
         failure(input_ended, "fixed-width field input on channel 5: the console input ended",
                 "standard input, line 1")},
        {"InputEndsInATimestamp", "Y\nClips\n2025 11 21\n", 127, camera_prompt,
         integer_failure("the console input ended before all 6 values were read", '4')},
        {"LettersInATimestamp", "Y\nClips\n2025 11 x1 1 1 1\n", 127, camera_prompt,
         integer_failure("the item \"x1\" is not an integer", '3')},
        {"CarriageReturnInATimestamp", "Y\nClips\n2025 11 21\r15 30 00\n", 127, camera_prompt,
         integer_failure("the item \"21?15\" is not an integer", '3')},
        {"TenMegabytesOfSigns", camera + std::string(huge.size(), '-') + "\n", 127, actual_prompt,
         integer_failure("the item \"" + std::string(40, '-') + "...\" is not an integer", '4')},
        {"ListingLinked", "Y\nClips\n", 127, folder_prompt,
         failure("The folder's listing list.txt could not be written here: list.txt is a symbolic "
                 "link, which the program never writes through.",
                 "folder listing into list.txt: list.txt is a symbolic link, which the program "
                 "never writes through",
                 "file \"list.txt\" in the current directory")},
        {"ReportLinked", typed, 127, actual_prompt + "\n" + minus_75.console_lines + "\n",
         failure("The report file " + report_name +
                     " could not be created here: the name is a symbolic link, which the program "
                     "never follows.",
                 "open on channel 2: the name is a symbolic link, which the program never follows",
                 "file \"" + report_name + "\"")},
        renaming("BurstsCapitalsAndTakenBurstNumbers", minus_75,
                 {{"2025 11 21 15 40 10.mp4", "2025 11 21 14 25 10.mp4"},
                  {"2025-11-21-15-40-10.mp4", "2025 11 21 14 25 01.mp4"},
                  {"2025-11-21-15-50-01.mp4", "2025 11 21 14 35 01.mp4"},
                  {"2025.11.21.15.40.10.mp4", "2025 11 21 14 25 02.mp4"},
                  {"2025_11_21_15_40_10.mp4", "2025 11 21 14 25 03.mp4"},
                  {"2025_11_21_15_40_11.AVI", "2025 11 21 14 25 11.AVI"},
                  {"2025_11_21_15_40_12.M4V", "2025 11 21 14 25 12.M4V"},
                  // Its seconds are the first burst number, so "01" repeats the taken name.
                  {"2025_11_21_15_50_01.mp4", "2025 11 21 14 35 02.mp4"}}),
        // Across 29 February 2016 and the turn of the year. A name that holds no minute of the
        // calendar, or that the shift takes past 2050, keeps its name, and so does a listed name
        // longer than 23 characters, even when its first 23 name a file by then.
        renaming("AcrossLeapDayAndNewYear",
                 {"2015 12 31 23 00 00\n2016 03 01 23 00 00\n",
                  "You are adding about  0 years,  2 months,  1 days, 23 hours, 60 minutes\n",
                  "2015 12 31 23  0  0\n2016  3  1 23  0  0\nMinutes to correct =    87840\n"},
                 {{"2015_02_29_10_00_00.mp4", ""},
                  {"2015_12_31_23_30_45.mp4", "2016 03 01 23 30 45.mp4"},
                  {"2016 03 01 23 30 45.mp4.part", ""},
                  {"2016_02_28_12_00_00.mp4", "2016 04 29 12 00 00.mp4"},
                  {"2016_13_01_00_00_00.mp4", ""},
                  {"2050_12_01_00_00_00.mp4", ""}}),
        // En dashes as separators: a character is a column, whatever its bytes.
        renaming("EnDashSeparators", minus_75,
                 {{"2025–11–21_15_40_10.mp4", "2025 11 21 14 25 10.mp4"},
                  {"2025–11–21_15_40_11.mp4.part", ""}}),
        // A correction too wide for its report column, which would take the clip before 2009.
        renaming("CorrectionWiderThanItsColumn",
                 {"2050 12 31 23 60 60\n2009 01 01 00 00 00\n",
                  "You are subtracting about 41 years, 11 months, 30 days, 23 hours, 60 minutes\n",
                  "2050 12 31 23 60 60\n2009  1  1  0  0  0\nMinutes to correct = ********\n"},
                 {{clip, ""}}),
    };
    // A folder answer longer than its 50 columns is refused, and the folder its first 50 name is
    // not touched; a character is a column, and blanks after the name do not count.
    const std::string cyrillic = "ДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДДД";
    table.push_back(one_clip("FolderOf50CyrillicLetters", "", cyrillic));
    Case too_long{"FolderLongerThanItsField", "Y\n" + cyrillic + "x\n\n", 0, no_folder};
    too_long.folder = cyrillic;
    too_long.error =
        crlf("The folder name has 51 characters; 50 is the most the program takes.\n") + stopped;
    table.push_back(too_long);
    table.push_back(one_clip("FolderFollowedByBlanksPastItsField",
                             "Y\nClips" + std::string(60, ' ') + "\n" + minus_75.typed + "\n"));
    // Explorer's "Copy as path" quotes the folder; no Windows name holds a quote.
    const std::string quoted = "Y\n\"Clips\"\n" + minus_75.typed + "\n";
    table.push_back(runs_through_launcher() ? one_clip("QuotedFolder", quoted)
                                            : Case{"QuotedFolder", quoted, 0, no_folder});
    // On Windows the paths go beyond 260 characters, which only the \\?\ form takes.
    Case long_path = one_clip("PathsLongerThan260Characters", "", "Clips_" + std::string(44, 'y'));
    long_path.start =
        "Folder_" + std::string(48, 'x') + "/" + std::string(55, 'x') + "/" + std::string(55, 'x');
    table.push_back(long_path);
    // A dropped folder's name is shown as if typed; the program works in the folder above it.
    Case dropped = one_clip("FolderDropped", "Y\n" + minus_75.typed + "\n");
    dropped.output.insert(folder_prompt.size(), "Clips\n");
    dropped.dropped = true;
    table.push_back(dropped);
    Case last_wait = one_clip("InputEndsAtTheLastWait", typed.substr(0, typed.size() - 1));
    last_wait.exit_status = 127;
    last_wait.error = failure(input_ended, "wait for Enter on channel 5: the console input ended",
                              "standard input, line 5");
    table.push_back(last_wait);
    // Every burst name taken by a file already rightly named, which is renamed onto itself; the
    // odd one fails 41 times and keeps its name. 29 February of a common year is 1 March.
    std::vector<std::pair<std::string, std::string>> taken;
    for (int second = 1; second <= 40; ++second) {
        const auto name = "2025 11 21 14 25 " + std::to_string(100 + second).substr(1) + ".mp4";
        taken.emplace_back(name, name);
    }
    taken.emplace_back("2025_11_21_14_25_10.mp4", "");
    table.push_back(
        renaming("AllFortyBurstNamesTaken",
                 {"2025 02 29 00 00 00\n2025 03 01 00 00 00\n",
                  " No correction to date and time but account for burst pictures\n",
                  "2025  2 29  0  0  0\n2025  3  1  0  0  0\nMinutes to correct =        0\n"},
                 taken));
    // The day after every month's last (29 February in any year) is out of range.
    const int last_days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        const std::string day = std::to_string(last_days[month - 1] + 1);
        table.push_back({"DayAfterTheLastOfMonth" + std::to_string(month),
                         "Y\nClips\n2013 " + std::to_string(month) + " " + day + " 0 0 0\n\n", 0,
                         camera_prompt + out_of_range({"", "", day}), error_check});
    }
    return table;
}

class WholeRun : public ::testing::TestWithParam<Case> {};

TEST_P(WholeRun, WritesExactlyWhatTheUserExpects) {
    const Case& row = GetParam();
    const bool linked = row.name.ends_with("Linked");
    if (linked && runs_through_launcher()) {
        GTEST_SKIP() << "Wine sees a symbolic link as the file it names";
    }
    ScratchDirectory scratch;
    if (!row.start.empty()) {
        fs::create_directories(row.start);
        fs::current_path(row.start);
    }
    for (const auto& [name, contents] : row.clips) {
        ScratchDirectory::write_file(fs::path(row.folder) / name, contents);
        ScratchDirectory::write_file(fs::path("Cl") / name, contents);
    }
    ScratchDirectory::write_file("precious.txt", "precious");
    if (linked) {
        fs::create_symlink("precious.txt", row.name == "ListingLinked" ? "list.txt" : report_name);
    }
    if (row.dropped) {
        fs::create_directory("elsewhere");
    }
    const ProgramRun run = row.dropped ? run_program("elsewhere", row.input, false,
                                                     {fs::absolute(row.folder).string()})
                                       : run_program(fs::current_path(), row.input);
    EXPECT_TRUE(!row.dropped || fs::is_empty("elsewhere"));
    EXPECT_EQ(run.exit_status, row.exit_status);
    EXPECT_EQ(run.output, crlf(row.output));
    EXPECT_EQ(run.error, row.error);
    EXPECT_EQ(folder_contents(row.folder), row.clips_after);
    EXPECT_EQ(folder_contents("Cl"), row.clips);
    EXPECT_EQ(ScratchDirectory::read_file("precious.txt"), "precious");
    if (!linked) {
        EXPECT_EQ(ScratchDirectory::read_file(report_name), crlf(row.report));
    }
    // The report and the journal are made as any file is, readable by whom the user's mask allows.
    for (const std::string& made : {linked ? "" : report_name, journal_in(fs::current_path())}) {
        EXPECT_TRUE(!fs::exists(made) ||
                    fs::status(made).permissions() == fs::status("precious.txt").permissions());
    }
    // A run that lists the folder deletes the listing when it reaches its end, and only then.
    EXPECT_EQ(fs::exists("list.txt"), row.output.find("then ENTER") != std::string::npos &&
                                          row.output.find("DONE") == std::string::npos &&
                                          row.name != "FolderLongerThanItsField");
    EXPECT_FALSE(fs::exists("y"));
}

INSTANTIATE_TEST_SUITE_P(Dialogue, WholeRun, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace e2e
