// The plain line that opens a failure's diagnostic, for each kind of failure.
#include "lineio/plain_words.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(PlainWords, SayWhatWentWrongInTheUsersWords) {
    const std::string integers = "whitespace-separated integer input";
    const std::string advice =
        ": type the six numbers of a date and time, such as 2025 11 21 15 30 00.";
    // The operation, its channel, the reason, the place, and what the user reads.
    const std::tuple<std::string, int, std::string, std::string, std::string> table[] = {
        {integers, 5, "the item \"9\" 9\" lies outside the range of signed 32-bit integers", "",
         "The answer \"9\" 9\" is far too large a number" + advice},
        {integers, 5, "the item \"0*1...\" has a repeat count of 0", "",
         "The answer \"0*1...\" is not a date and time the program can read" + advice},
        {"open", 1, "Is a directory", "file \"list.txt\"",
         "The file list.txt could not be opened here: Is a directory."},
        {"formatted line output", 2, "No space left on device", "file \"r.txt\", line 7",
         "The file r.txt could not be read or written: No space left on device."},
        {"list-style line output", 6, "Broken pipe", "standard output, line 1",
         "The program's output could not be written: Broken pipe."},
        {"undo journal output", -1, "Disk full", "file \"j.txt\"",
         "The undo journal j.txt could not be written here, so nothing more was renamed: Disk "
         "full."},
        {"memory allocation", 6, "out of memory", "standard output, line 1",
         "The program ran out of memory: close other programs and run it again."},
        {"program", -1, "odd", "somewhere", "The program could not go on: odd."},
    };
    for (const auto& [operation, channel, reason, place, said] : table) {
        EXPECT_EQ(lineio::plain_words(operation, channel, reason, place), said) << reason;
    }
}

}  // namespace
