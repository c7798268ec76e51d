// The plain line that opens a failure's diagnostic, for each kind of failure.
#include <gtest/gtest.h>

#include <string>

#include "lineio/failure.hpp"

namespace {

using lineio::Activity;
using lineio::Cause;
using lineio::Failure;
using Fault = lineio::IntegerInputResult::Fault;

Failure answer(const std::string& shown, Fault fault) {
    Failure failure(Activity::integer_input, 5, Cause::bad_answer, "words");
    failure.answer = shown;
    failure.answer_fault = fault;
    return failure;
}

Failure report_open() {
    Failure failure(Activity::open, 2, Cause::other, "Is a directory", "", "r.txt");
    failure.role = lineio::FileRole::report;
    return failure;
}

TEST(PlainWords, SayWhatWentWrongInTheUsersWords) {
    const std::string advice =
        ": type the six numbers of a date and time, such as 2025 11 21 15 30 00.";
    const std::pair<Failure, std::string> table[] = {
        {answer("9\" 9", Fault::out_of_range),
         "The answer \"9\" 9\" is far too large a number" + advice},
        {answer("x", Fault::not_an_integer), "The answer \"x\" is not a whole number" + advice},
        {answer("0*1...", Fault::zero_repeat_count),
         "The answer \"0*1...\" is not a date and time the program can read" + advice},
        {{Activity::field_input, 5, Cause::console_input_ended, "ended"},
         "The console input ended before the program had all its answers."},
        {{Activity::open, 1, Cause::other, "Is a directory", "", "list.txt"},
         "The file list.txt could not be opened here: Is a directory."},
        {report_open(), "The report file r.txt could not be created here: Is a directory."},
        {{Activity::formatted_line_output, 2, Cause::other, "No space left on device", "", "r.txt"},
         "The file r.txt could not be read or written: No space left on device."},
        {{Activity::list_line_output, 6, Cause::other, "Broken pipe"},
         "The program's output could not be written: Broken pipe."},
        {{Activity::journal_output, -1, Cause::other, "Full", "", "j.txt"},
         "The undo journal j.txt could not be written here, so nothing more was renamed: Full."},
        {{Activity::journal_input, -1, Cause::not_a_journal, "", "", "j.txt"},
         "The file j.txt is not an undo journal of this program."},
        {{Activity::journal_input, -1, Cause::other, "it is not a regular file", "", "p"},
         "The undo journal p could not be read: it is not a regular file."},
        {{Activity::listing, -1, Cause::other, "Read-only file system", "", "list.txt"},
         "The folder's listing list.txt could not be written here: Read-only file system."},
        {{Activity::memory_allocation, 6, Cause::other, "out of memory"},
         "The program ran out of memory: close other programs and run it again."},
        {{Activity::program, -1, Cause::other, "odd"}, "The program could not go on: odd."},
    };
    for (const auto& [failure, said] : table) {
        EXPECT_EQ(lineio::plain_words(failure), said) << failure.reason;
    }
}

}  // namespace
