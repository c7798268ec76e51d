// Whole runs of the renaming pass: every console line, every report line and every name the folder
// holds afterwards, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "expected_output.hpp"
#include "program_runner.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;

// The two timestamps typed, and the lines the program makes of them.
struct Correction {
    std::string camera;
    std::string actual;
    std::string console_lines;  // the correction's console line and its empty line
    std::string report_head;    // the report's timestamp and correction lines
};

// One listed file: the name the pass shows, and the name it gets ("" when it keeps its own).
struct Outcome {
    std::string listed_name;
    std::string new_name;
};

struct JobCase {
    std::string name;
    std::string folder;
    Files before;  // file name to contents, inside the folder
    Correction correction;
    std::vector<Outcome> outcomes;  // in listing order
};

void PrintTo(const JobCase& job, std::ostream* out) {
    *out << job.name;
}

std::string count_line(int renamed) {
    std::string count = std::to_string(renamed);
    return std::string(6 - count.size(), ' ') + count + " files successfully renamed\n";
}

class RenamingJobTest : public ::testing::TestWithParam<JobCase> {};

TEST_P(RenamingJobTest, RenamesAndReportsEveryFile) {
    const JobCase& job = GetParam();
    ScratchDirectory scratch;
    fs::create_directories(scratch.path() / job.folder);
    for (const auto& [name, contents] : job.before) {
        write_file(scratch.path() / job.folder / name, contents);
    }

    const ProgramRun run = run_program(
        scratch.path(), answers(job.folder, job.correction.camera, job.correction.actual));

    std::string console = up_to_correction() + job.correction.console_lines;
    std::string report = job.correction.report_head + "\n";
    Files after = job.before;
    int renamed = 0;
    for (const auto& file : job.outcomes) {
        std::string outcome = "Could not rename " + job.folder + "/" + file.listed_name;
        if (!file.new_name.empty()) {
            outcome = "Successfully renamed " + job.folder + "/" + file.new_name;
            ++renamed;
            auto moved = after.extract(file.listed_name);
            moved.key() = file.new_name;
            after.insert(std::move(moved));
        }
        console += "File name = " + file.listed_name + "\n " + outcome + "\n\n";
        report += outcome + "\n\n";
    }
    console += count_line(renamed) + std::string(closing);
    report += count_line(renamed);

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.error, stop_notice);
    EXPECT_EQ(run.output, crlf(console));
    EXPECT_EQ(read_file(scratch.path() / std::string(report_name)), crlf(report));
    EXPECT_EQ(folder_contents(scratch.path() / job.folder), after);
    EXPECT_FALSE(fs::exists(scratch.path() / "list.txt"));
}

const std::string minus_75_line =
    "You are subtracting about  0 years,  0 months,  0 days,  1 hours, 15 minutes\n\n";
const Correction minus_75{
    "2025 11 21 15 30 00", "2025 11 21 14 15 00", minus_75_line,
    "2025 11 21 15 30  0\n2025 11 21 14 15  0\nMinutes to correct =      -75\n"};
const Correction none{"2025 11 21 14 25 00", "2025 11 21 14 25 00",
                      " No correction to date and time but account for burst pictures\n\n",
                      "2025 11 21 14 25  0\n2025 11 21 14 25  0\nMinutes to correct =        0\n"};

std::vector<JobCase> job_cases() {
    std::vector<JobCase> cases = {
        {"FourClipsOfABurst",
         "Burst",
         {{"2025 11 21 15 40 10.mp4", "a"},
          {"2025-11-21-15-40-10.mp4", "b"},
          {"2025.11.21.15.40.10.mp4", "c"},
          {"2025_11_21_15_40_10.mp4", "d"}},
         minus_75,
         {{"2025 11 21 15 40 10.mp4", "2025 11 21 14 25 10.mp4"},
          {"2025-11-21-15-40-10.mp4", "2025 11 21 14 25 01.mp4"},
          {"2025.11.21.15.40.10.mp4", "2025 11 21 14 25 02.mp4"},
          {"2025_11_21_15_40_10.mp4", "2025 11 21 14 25 03.mp4"}}},
        // Seconds equal to a burst number: the burst attempt "01" repeats the taken name and
        // fails.
        {"SecondsEqualABurstNumber",
         "Clips",
         {{"2025-11-21_15_40_01.avi", "a"}, {"2025_11_21_15_40_01.avi", "b"}},
         {"2025 11 21 15 30 00", "2025 11 21 15 31 00",
          "You are adding about  0 years,  0 months,  0 days,  0 hours,  1 minutes\n\n",
          "2025 11 21 15 30  0\n2025 11 21 15 31  0\nMinutes to correct =        1\n"},
         {{"2025-11-21_15_40_01.avi", "2025 11 21 15 41 01.avi"},
          {"2025_11_21_15_40_01.avi", "2025 11 21 15 41 02.avi"}}},
        // A corrected name still held by a file whose turn has not come: the first file takes a
        // burst number, and the holder moves on in its own turn.
        {"NameHeldByALaterFile",
         "Clips",
         {{"2025 11 21 15 40 10.m4v", "early"}, {"2025 11 21 16 40 10.m4v", "late"}},
         {"2025 11 21 15 30 00", "2025 11 21 16 30 00",
          "You are adding about  0 years,  0 months,  0 days,  0 hours, 60 minutes\n\n",
          "2025 11 21 15 30  0\n2025 11 21 16 30  0\nMinutes to correct =       60\n"},
         {{"2025 11 21 15 40 10.m4v", "2025 11 21 16 40 01.m4v"},
          {"2025 11 21 16 40 10.m4v", "2025 11 21 17 40 10.m4v"}}},
        // Extensions in capitals keep their case.
        {"ExtensionsInCapitals",
         "Caps",
         {{"2025_11_21_15_40_10.MP4", "m"},
          {"2025_11_21_15_40_11.AVI", "a"},
          {"2025_11_21_15_40_12.M4V", "v"}},
         minus_75,
         {{"2025_11_21_15_40_10.MP4", "2025 11 21 14 25 10.MP4"},
          {"2025_11_21_15_40_11.AVI", "2025 11 21 14 25 11.AVI"},
          {"2025_11_21_15_40_12.M4V", "2025 11 21 14 25 12.M4V"}}},
        // A shift of 61 days across 29 February 2016 and the turn of the year. A file dated on a
        // day that does not exist, or that the shift would take past 2050, keeps its name.
        {"AcrossLeapDayAndNewYear",
         "Leap",
         {{"2015_12_31_23_30_45.mp4", "new year"},
          {"2016_02_28_12_00_00.mp4", "leap"},
          {"2015_02_29_10_00_00.mp4", "no such day"},
          {"2050_12_01_00_00_00.mp4", "too late"},
          {"2016_13_01_00_00_00.mp4", "no such month"}},
         {"2015 12 31 23 00 00", "2016 03 01 23 00 00",
          "You are adding about  0 years,  2 months,  1 days, 23 hours, 60 minutes\n\n",
          "2015 12 31 23  0  0\n2016  3  1 23  0  0\nMinutes to correct =    87840\n"},
         {{"2015_02_29_10_00_00.mp4", ""},
          {"2015_12_31_23_30_45.mp4", "2016 03 01 23 30 45.mp4"},
          {"2016_02_28_12_00_00.mp4", "2016 04 29 12 00 00.mp4"},
          {"2016_13_01_00_00_00.mp4", ""},
          {"2050_12_01_00_00_00.mp4", ""}}},
        // A listed name longer than 23 characters is not the file its first 23 name: nothing is
        // renamed for it, not even a file that bears those 23 characters.
        {"ListedNameLongerThan23",
         "Long",
         {{"2025_11_21_15_40_10.mp4", "clip"}, {"2026 11 21 15 40 10.mp4.part", "partial"}},
         {"2025 01 01 00 00 00", "2026 01 01 00 00 00",
          "You are adding about  0 years, 11 months, 30 days, 23 hours, 60 minutes\n\n",
          "2025  1  1  0  0  0\n2026  1  1  0  0  0\nMinutes to correct =   525600\n"},
         {{"2025_11_21_15_40_10.mp4", "2026 11 21 15 40 10.mp4"}, {"2026 11 21 15 40 10.mp4", ""}}},
        // A second run with no correction: names that are already right stay as they are, with
        // no burst number, and count as renamed.
        {"SecondRunWithoutCorrection",
         "Done",
         {{"2025 11 21 14 25 10.mp4", "x"}, {"2025 11 21 14 25 01.mp4", "y"}},
         none,
         {{"2025 11 21 14 25 01.mp4", "2025 11 21 14 25 01.mp4"},
          {"2025 11 21 14 25 10.mp4", "2025 11 21 14 25 10.mp4"}}},
    };

    // Every burst name taken: 41 failed attempts, then the file keeps its name.
    JobCase all_taken{"AllFortyBurstNamesTaken", "Full", {}, none, {}};
    for (int second = 1; second <= 40; ++second) {
        const std::string numeral = (second < 10 ? "0" : "") + std::to_string(second);
        const std::string name = "2025 11 21 14 25 " + numeral + ".mp4";
        all_taken.before[name] = numeral;
        all_taken.outcomes.push_back({name, name});
    }
    all_taken.before["2025_11_21_14_25_10.mp4"] = "odd one";
    all_taken.outcomes.push_back({"2025_11_21_14_25_10.mp4", ""});
    cases.push_back(all_taken);

    // Folder names of 36, 37 and 50 characters: paths are never cut.
    for (const std::size_t length : {36, 37, 50}) {
        cases.push_back({"FolderOf" + std::to_string(length) + "Characters",
                         "Folder_" + std::string(length - 7, 'x'),
                         {{"2025_11_21_15_40_10.mp4", "clip"}},
                         minus_75,
                         {{"2025_11_21_15_40_10.mp4", "2025 11 21 14 25 10.mp4"}}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Jobs, RenamingJobTest, ::testing::ValuesIn(job_cases()),
                         [](const auto& info) { return info.param.name; });

// Two clips of one burst: the first in the listing takes the corrected name, the second the first
// burst number. Blanks sort before underscores, so the hyphenated name comes first.
// Answers typed in a Windows console, or piped from a file made there, end in carriage return and
// line feed. They read as the same answers, and no line written gains a second carriage return.
class WorkedExample : public ::testing::TestWithParam<const char*> {};

TEST_P(WorkedExample, TheReportReadsExactlyAsTheUserExpects) {
    ScratchDirectory scratch;
    write_file(scratch.path() / "Files_to_Rename" / "2025_11_21_15_40_10.mp4", "first");
    write_file(scratch.path() / "Files_to_Rename" / "2025-11-21 15.40.10.mp4", "second");
    const std::string typed =
        answers("Files_to_Rename", "2025 11 21 15 30 00", "2025 11 21 14 15 00");
    const bool windows_line_ends = std::string_view(GetParam()) == "CRLF";
    const ProgramRun run = run_program(scratch.path(), windows_line_ends ? crlf(typed) : typed);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.output, crlf(up_to_correction() + minus_75_line +
                               "File name = 2025-11-21 15.40.10.mp4\n"
                               " Successfully renamed Files_to_Rename/2025 11 21 14 25 10.mp4\n\n"
                               "File name = 2025_11_21_15_40_10.mp4\n"
                               " Successfully renamed Files_to_Rename/2025 11 21 14 25 01.mp4\n\n" +
                               count_line(2) + std::string(closing)));
    EXPECT_EQ(read_file(scratch.path() / std::string(report_name)),
              "2025 11 21 15 30  0\r\n"
              "2025 11 21 14 15  0\r\n"
              "Minutes to correct =      -75\r\n"
              "\r\n"
              "Successfully renamed Files_to_Rename/2025 11 21 14 25 10.mp4\r\n"
              "\r\n"
              "Successfully renamed Files_to_Rename/2025 11 21 14 25 01.mp4\r\n"
              "\r\n"
              "     2 files successfully renamed\r\n");
    EXPECT_EQ(run.output.find("\r\r"), std::string::npos);
    EXPECT_EQ(folder_contents(scratch.path() / "Files_to_Rename"),
              (Files{{"2025 11 21 14 25 10.mp4", "second"}, {"2025 11 21 14 25 01.mp4", "first"}}));
    EXPECT_FALSE(fs::exists(scratch.path() / "list.txt"));
}

INSTANTIATE_TEST_SUITE_P(TypedLineEnds, WorkedExample, ::testing::Values("LF", "CRLF"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace e2e
