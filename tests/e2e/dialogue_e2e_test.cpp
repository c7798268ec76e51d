// The dialogue's early ends and its normal end, run as a user runs the program.
#include <gtest/gtest.h>

#include <filesystem>

#include "expected_output.hpp"
#include "program_runner.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view not_video =
    " At least one file is NOT an AVI or MP4 file ...Terminating\n Press Enter to terminate\n";

TEST(DialogueEnd, OnlyAnAnswerBeginningWithNStops) {
    for (const std::string answer : {"N", "n", "No thanks"}) {
        ScratchDirectory scratch;
        const ProgramRun run = run_program(scratch.path(), answer + "\n\n\n");
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(run.output, crlf(opening() + "    Use Renamer with Meta Tag File_DateModified "
                                               "to relabel the video files  \n"
                                               " Press Enter to terminate\n"))
            << answer;
        EXPECT_EQ(run.error, stop_notice);
    }
    // Any other answer goes on to the folder prompt; the empty folder line lists the current
    // directory, whose list.txt is no video file.
    for (const std::string answer : {"", " N", "Y", "y", "x"}) {
        ScratchDirectory scratch;
        const ProgramRun run = run_program(scratch.path(), answer + "\n\n\n");
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(run.output, crlf(opening() + folder_prompt() + std::string(not_video))) << answer;
        EXPECT_FALSE(fs::exists(scratch.path() / std::string(report_name)));
    }
}

TEST(DialogueEnd, AFolderThatCannotBeListedStopsWithAnEmptyListing) {
    ScratchDirectory scratch;
    write_file(scratch.path() / "a_file", "not a folder");
    for (const std::string folder : {"Missing_Folder", "a_file", "x; touch y"}) {
        const ProgramRun run = run_program(scratch.path(), "Y\n" + folder + "\n\n");
        EXPECT_EQ(run.exit_status, 0) << folder;
        EXPECT_EQ(run.output,
                  crlf(opening() + folder_prompt() +
                       pad("There was a problem with the folder name ... TERMINATING", 56) +
                       " Press Enter to terminate\n"))
            << folder;
        EXPECT_EQ(run.error, stop_notice);
        // The listing stays behind after an early end, empty.
        EXPECT_EQ(read_file(scratch.path() / "list.txt"), "");
    }
    EXPECT_FALSE(fs::exists(scratch.path() / "y"));
}

TEST(DialogueEnd, AnEntryOfAnotherTypeStopsBeforeAnythingIsRenamed) {
    for (const std::string odd_one : {"2025_11_21_15_40_10.mov", "2025_11_21_15_40_10.Mp4",
                                      "short.mp4", "2025_11_21_15_40_10.mp"}) {
        ScratchDirectory scratch;
        write_file(scratch.path() / "Clips" / "2025_11_21_15_40_10.mp4", "clip");
        write_file(scratch.path() / "Clips" / odd_one, "other");
        const ProgramRun run = run_program(scratch.path(), "Y\nClips\n\n");
        EXPECT_EQ(run.output, crlf(opening() + folder_prompt() + std::string(not_video)))
            << odd_one;
        EXPECT_TRUE(fs::exists(scratch.path() / "Clips" / "2025_11_21_15_40_10.mp4"));
    }
}

TEST(DialogueEnd, BadTimestampFieldsAreListedAndTheProgramStops) {
    ScratchDirectory scratch;
    write_file(scratch.path() / "Clips" / "2025_11_21_15_40_10.mp4", "clip");
    const ProgramRun run = run_program(scratch.path(), "Y\nClips\n2051 2 30 24 61 0\n\n");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.output, crlf(opening() + folder_prompt() + "\n" + camera_prompt() +
                               " Year   =          2051  is out of range\n"
                               " Day    =            30  is out of range\n"
                               " Hour   =            24  is out of range\n"
                               " Minute =            61  is out of range\n"
                               " Date and/or time entry error\n"
                               " The proper form is YYYY MN DY HR MN SC\n"
                               " Press Enter to terminate\n"));
    EXPECT_EQ(run.error, "Stop in error check\r\n");
    EXPECT_TRUE(fs::exists(scratch.path() / "Clips" / "2025_11_21_15_40_10.mp4"));
}

// Input that ends at any prompt: status 127 and a diagnostic, never an orderly stop.
TEST(DialogueEnd, InputEndingEarlyIsAFailure) {
    for (const std::string input : {"", "Y\n", "Y\nClips\n2025 11 21\n",
                                    "Y\nClips\n2025 11 21 15 30 00\n2025 11 21 14 15 00\n"}) {
        ScratchDirectory scratch;
        write_file(scratch.path() / "Clips" / "2025_11_21_15_40_10.mp4", "clip");
        const ProgramRun run = run_program(scratch.path(), input);
        EXPECT_EQ(run.exit_status, 127) << input;
        EXPECT_NE(run.error, "");
        EXPECT_EQ(run.error.find("Program stopped"), std::string::npos);
        EXPECT_EQ(folder_contents(scratch.path() / "Clips").size(), 1U);
    }
}

TEST(DialogueEnd, AnEmptyFolderEndsNormallyWithNothingRenamed) {
    ScratchDirectory scratch;
    fs::create_directory(scratch.path() / "Empty");
    const ProgramRun run =
        run_program(scratch.path(), answers("Empty", "2013 01 15 16 30 00", "2013 01 15 16 30 00"));
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.output, crlf(up_to_correction() +
                               " No correction to date and time but account for burst pictures\n\n"
                               "     0 files successfully renamed\n") +
                              crlf(std::string(closing)));
    EXPECT_EQ(run.error, stop_notice);
    EXPECT_EQ(read_file(scratch.path() / std::string(report_name)),
              crlf("2013  1 15 16 30  0\n"
                   "2013  1 15 16 30  0\n"
                   "Minutes to correct =        0\n"
                   "\n"
                   "     0 files successfully renamed\n"));
    EXPECT_FALSE(fs::exists(scratch.path() / "list.txt"));
}

}  // namespace
}  // namespace e2e
