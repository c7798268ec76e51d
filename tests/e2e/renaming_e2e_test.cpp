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

// One listed file as the pass shows it: its name, then its outcome behind one blank.
struct Outcome {
    std::string listed_name;
    std::string outcome;  // "Successfully renamed <new path>" or "Could not rename <old path>"
};

struct JobCase {
    std::string name;
    std::string folder;
    Files before;  // file name to contents, inside the folder
    std::string camera;
    std::string actual;
    std::string correction_lines;   // the correction's console line and its empty line
    std::string report_head;        // the report's timestamp and correction lines
    std::vector<Outcome> outcomes;  // in listing order
    int renamed;
    Files after;
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

    const ProgramRun run = run_program(scratch.path(), answers(job.folder, job.camera, job.actual));

    std::string console = up_to_correction() + job.correction_lines;
    std::string report = job.report_head + "\n";
    for (const auto& file : job.outcomes) {
        console += "File name = " + file.listed_name + "\n " + file.outcome + "\n\n";
        report += file.outcome + "\n\n";
    }
    console += count_line(job.renamed) + std::string(closing);
    report += count_line(job.renamed);

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.error, stop_notice);
    EXPECT_EQ(run.output, crlf(console));
    EXPECT_EQ(read_file(scratch.path() / std::string(report_name)), crlf(report));
    EXPECT_EQ(folder_contents(scratch.path() / job.folder), job.after);
    EXPECT_FALSE(fs::exists(scratch.path() / "list.txt"));
}

const std::string minus_75 =
    "You are subtracting about  0 years,  0 months,  0 days,  1 hours, 15 minutes\n\n";
const std::string head_minus_75 =
    "2025 11 21 15 30  0\n2025 11 21 14 15  0\nMinutes to correct =      -75\n";
const std::string no_correction =
    " No correction to date and time but account for burst pictures\n\n";
const std::string head_no_correction =
    "2025 11 21 14 25  0\n2025 11 21 14 25  0\nMinutes to correct =        0\n";

std::vector<JobCase> job_cases() {
    std::vector<JobCase> cases;

    // Two clips of one burst: the first in the listing takes the corrected name, the second the
    // first burst number. Blanks sort before underscores, so the hyphenated name comes first.
    cases.push_back(
        {"TwoClipsOfABurst",
         "Files_to_Rename",
         {{"2025_11_21_15_40_10.mp4", "first"}, {"2025-11-21 15.40.10.mp4", "second"}},
         "2025 11 21 15 30 00",
         "2025 11 21 14 15 00",
         minus_75,
         head_minus_75,
         {{"2025-11-21 15.40.10.mp4",
           "Successfully renamed Files_to_Rename/2025 11 21 14 25 10.mp4"},
          {"2025_11_21_15_40_10.mp4",
           "Successfully renamed Files_to_Rename/2025 11 21 14 25 01.mp4"}},
         2,
         {{"2025 11 21 14 25 10.mp4", "second"}, {"2025 11 21 14 25 01.mp4", "first"}}});

    cases.push_back(
        {"FourClipsOfABurst",
         "Burst",
         {{"2025 11 21 15 40 10.mp4", "a"},
          {"2025-11-21-15-40-10.mp4", "b"},
          {"2025.11.21.15.40.10.mp4", "c"},
          {"2025_11_21_15_40_10.mp4", "d"}},
         "2025 11 21 15 30 00",
         "2025 11 21 14 15 00",
         minus_75,
         head_minus_75,
         {{"2025 11 21 15 40 10.mp4", "Successfully renamed Burst/2025 11 21 14 25 10.mp4"},
          {"2025-11-21-15-40-10.mp4", "Successfully renamed Burst/2025 11 21 14 25 01.mp4"},
          {"2025.11.21.15.40.10.mp4", "Successfully renamed Burst/2025 11 21 14 25 02.mp4"},
          {"2025_11_21_15_40_10.mp4", "Successfully renamed Burst/2025 11 21 14 25 03.mp4"}},
         4,
         {{"2025 11 21 14 25 10.mp4", "a"},
          {"2025 11 21 14 25 01.mp4", "b"},
          {"2025 11 21 14 25 02.mp4", "c"},
          {"2025 11 21 14 25 03.mp4", "d"}}});

    // Seconds equal to a burst number: the burst attempt "01" repeats the taken name and fails.
    cases.push_back(
        {"SecondsEqualABurstNumber",
         "Clips",
         {{"2025-11-21_15_40_01.avi", "a"}, {"2025_11_21_15_40_01.avi", "b"}},
         "2025 11 21 15 30 00",
         "2025 11 21 15 31 00",
         "You are adding about  0 years,  0 months,  0 days,  0 hours,  1 minutes\n\n",
         "2025 11 21 15 30  0\n2025 11 21 15 31  0\nMinutes to correct =        1\n",
         {{"2025-11-21_15_40_01.avi", "Successfully renamed Clips/2025 11 21 15 41 01.avi"},
          {"2025_11_21_15_40_01.avi", "Successfully renamed Clips/2025 11 21 15 41 02.avi"}},
         2,
         {{"2025 11 21 15 41 01.avi", "a"}, {"2025 11 21 15 41 02.avi", "b"}}});

    // A corrected name still held by a file whose turn has not come: the first file takes a burst
    // number, and the holder moves on in its own turn.
    cases.push_back(
        {"NameHeldByALaterFile",
         "Clips",
         {{"2025 11 21 15 40 10.m4v", "early"}, {"2025 11 21 16 40 10.m4v", "late"}},
         "2025 11 21 15 30 00",
         "2025 11 21 16 30 00",
         "You are adding about  0 years,  0 months,  0 days,  0 hours, 60 minutes\n\n",
         "2025 11 21 15 30  0\n2025 11 21 16 30  0\nMinutes to correct =       60\n",
         {{"2025 11 21 15 40 10.m4v", "Successfully renamed Clips/2025 11 21 16 40 01.m4v"},
          {"2025 11 21 16 40 10.m4v", "Successfully renamed Clips/2025 11 21 17 40 10.m4v"}},
         2,
         {{"2025 11 21 16 40 01.m4v", "early"}, {"2025 11 21 17 40 10.m4v", "late"}}});

    // Extensions in capitals keep their case.
    cases.push_back(
        {"ExtensionsInCapitals",
         "Caps",
         {{"2025_11_21_15_40_10.MP4", "m"},
          {"2025_11_21_15_40_11.AVI", "a"},
          {"2025_11_21_15_40_12.M4V", "v"}},
         "2025 11 21 15 30 00",
         "2025 11 21 14 15 00",
         minus_75,
         head_minus_75,
         {{"2025_11_21_15_40_10.MP4", "Successfully renamed Caps/2025 11 21 14 25 10.MP4"},
          {"2025_11_21_15_40_11.AVI", "Successfully renamed Caps/2025 11 21 14 25 11.AVI"},
          {"2025_11_21_15_40_12.M4V", "Successfully renamed Caps/2025 11 21 14 25 12.M4V"}},
         3,
         {{"2025 11 21 14 25 10.MP4", "m"},
          {"2025 11 21 14 25 11.AVI", "a"},
          {"2025 11 21 14 25 12.M4V", "v"}}});

    // A shift of 61 days across 29 February 2016 and the turn of the year. A file dated on a day
    // that does not exist, or that the shift would take past 2050, keeps its name.
    cases.push_back(
        {"AcrossLeapDayAndNewYear",
         "Leap",
         {{"2015_12_31_23_30_45.mp4", "new year"},
          {"2016_02_28_12_00_00.mp4", "leap"},
          {"2015_02_29_10_00_00.mp4", "no such day"},
          {"2050_12_01_00_00_00.mp4", "too late"},
          {"2016_13_01_00_00_00.mp4", "no such month"}},
         "2015 12 31 23 00 00",
         "2016 03 01 23 00 00",
         "You are adding about  0 years,  2 months,  1 days, 23 hours, 60 minutes\n\n",
         "2015 12 31 23  0  0\n2016  3  1 23  0  0\nMinutes to correct =    87840\n",
         {{"2015_02_29_10_00_00.mp4", "Could not rename Leap/2015_02_29_10_00_00.mp4"},
          {"2015_12_31_23_30_45.mp4", "Successfully renamed Leap/2016 03 01 23 30 45.mp4"},
          {"2016_02_28_12_00_00.mp4", "Successfully renamed Leap/2016 04 29 12 00 00.mp4"},
          {"2016_13_01_00_00_00.mp4", "Could not rename Leap/2016_13_01_00_00_00.mp4"},
          {"2050_12_01_00_00_00.mp4", "Could not rename Leap/2050_12_01_00_00_00.mp4"}},
         2,
         {{"2016 03 01 23 30 45.mp4", "new year"},
          {"2016 04 29 12 00 00.mp4", "leap"},
          {"2015_02_29_10_00_00.mp4", "no such day"},
          {"2016_13_01_00_00_00.mp4", "no such month"},
          {"2050_12_01_00_00_00.mp4", "too late"}}});

    // A listed name longer than 23 characters is not the file its first 23 name: nothing is
    // renamed for it, not even a file that bears those 23 characters.
    cases.push_back(
        {"ListedNameLongerThan23",
         "Long",
         {{"2025_11_21_15_40_10.mp4", "clip"}, {"2026 11 21 15 40 10.mp4.part", "partial"}},
         "2025 01 01 00 00 00",
         "2026 01 01 00 00 00",
         "You are adding about  0 years, 11 months, 30 days, 23 hours, 60 minutes\n\n",
         "2025  1  1  0  0  0\n2026  1  1  0  0  0\nMinutes to correct =   525600\n",
         {{"2025_11_21_15_40_10.mp4", "Successfully renamed Long/2026 11 21 15 40 10.mp4"},
          {"2026 11 21 15 40 10.mp4", "Could not rename Long/2026 11 21 15 40 10.mp4"}},
         1,
         {{"2026 11 21 15 40 10.mp4", "clip"}, {"2026 11 21 15 40 10.mp4.part", "partial"}}});

    // A second run with no correction: names that are already right stay as they are, with no
    // burst number, and count as renamed.
    cases.push_back(
        {"SecondRunWithoutCorrection",
         "Done",
         {{"2025 11 21 14 25 10.mp4", "x"}, {"2025 11 21 14 25 01.mp4", "y"}},
         "2025 11 21 14 25 00",
         "2025 11 21 14 25 00",
         no_correction,
         head_no_correction,
         {{"2025 11 21 14 25 01.mp4", "Successfully renamed Done/2025 11 21 14 25 01.mp4"},
          {"2025 11 21 14 25 10.mp4", "Successfully renamed Done/2025 11 21 14 25 10.mp4"}},
         2,
         {{"2025 11 21 14 25 10.mp4", "x"}, {"2025 11 21 14 25 01.mp4", "y"}}});

    // Every burst name taken: 41 failed attempts, then the file keeps its name.
    JobCase all_taken{"AllFortyBurstNamesTaken",
                      "Full",
                      {},
                      "2025 11 21 14 25 00",
                      "2025 11 21 14 25 00",
                      no_correction,
                      head_no_correction,
                      {},
                      40,
                      {}};
    for (int second = 1; second <= 40; ++second) {
        const std::string numeral = (second < 10 ? "0" : "") + std::to_string(second);
        const std::string name = "2025 11 21 14 25 " + numeral + ".mp4";
        all_taken.before[name] = numeral;
        all_taken.after[name] = numeral;
        all_taken.outcomes.push_back({name, "Successfully renamed Full/" + name});
    }
    all_taken.before["2025_11_21_14_25_10.mp4"] = "odd one";
    all_taken.after["2025_11_21_14_25_10.mp4"] = "odd one";
    all_taken.outcomes.push_back(
        {"2025_11_21_14_25_10.mp4", "Could not rename Full/2025_11_21_14_25_10.mp4"});
    cases.push_back(all_taken);

    // Folder names of 36, 37 and 50 characters: paths are never cut.
    for (const std::size_t length : {36, 37, 50}) {
        const std::string folder = "Folder_" + std::string(length - 7, 'x');
        cases.push_back({"FolderOf" + std::to_string(length) + "Characters",
                         folder,
                         {{"2025_11_21_15_40_10.mp4", "clip"}},
                         "2025 11 21 15 30 00",
                         "2025 11 21 14 15 00",
                         minus_75,
                         head_minus_75,
                         {{"2025_11_21_15_40_10.mp4",
                           "Successfully renamed " + folder + "/2025 11 21 14 25 10.mp4"}},
                         1,
                         {{"2025 11 21 14 25 10.mp4", "clip"}}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Jobs, RenamingJobTest, ::testing::ValuesIn(job_cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// Answers typed in a Windows console, or piped from a file made there, end in carriage return and
// line feed. They read as the same answers, and no line written gains a second carriage return.
class WorkedExample : public ::testing::TestWithParam<const char*> {};

TEST_P(WorkedExample, TheReportReadsExactlyAsTheUserExpects) {
    ScratchDirectory scratch;
    write_file(scratch.path() / "Files_to_Rename" / "2025_11_21_15_40_10.mp4");
    write_file(scratch.path() / "Files_to_Rename" / "2025-11-21 15.40.10.mp4");
    const std::string typed =
        answers("Files_to_Rename", "2025 11 21 15 30 00", "2025 11 21 14 15 00");
    const bool windows_line_ends = std::string_view(GetParam()) == "CRLF";
    const ProgramRun run = run_program(scratch.path(), windows_line_ends ? crlf(typed) : typed);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.output, crlf(up_to_correction() + minus_75 +
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
}

INSTANTIATE_TEST_SUITE_P(TypedLineEnds, WorkedExample, ::testing::Values("LF", "CRLF"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace e2e
