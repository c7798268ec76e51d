// The plain line that opens a failure's diagnostic, for each kind of failure.
#include "lineio/plain_words.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PlainCase {
    std::string operation;
    int channel;
    std::string reason;
    std::string place;
    std::string said;
};

TEST(PlainWords, SayWhatWentWrongInTheUsersWords) {
    const std::string integers = "whitespace-separated integer input";
    const std::string advice =
        ": type the six numbers of a date and time, such as 2025 11 21 15 30 00.";
    const std::vector<PlainCase> table{
        {integers, 5, "the item \"2l\" is not an integer", "standard input, line 3",
         "The answer \"2l\" is not a whole number" + advice},
        {integers, 5, "the item \"9\" 9\" lies outside the range of signed 32-bit integers", "",
         "The answer \"9\" 9\" is far too large a number" + advice},
        {integers, 5, "the item \"0*1...\" has a repeat count of 0", "",
         "The answer \"0*1...\" is not a date and time the program can read" + advice},
        {integers, 5, "the console input ended before all 6 values were read", "",
         "The console input ended before the program had all its answers."},
        {"wait for Enter", 5, "the console input ended", "",
         "The console input ended before the program had all its answers."},
        {"open", 2, "Permission denied", "file \"DedUzarodivedizidUZOVU.txt\"",
         "The report file DedUzarodivedizidUZOVU.txt could not be created here: Permission "
         "denied."},
        {"open", 1, "Is a directory", "file \"list.txt\"",
         "The file list.txt could not be opened here: Is a directory."},
        {"formatted line output", 2, "No space left on device", "file \"r.txt\", line 7",
         "The file r.txt could not be read or written: No space left on device."},
        {"console output", 6, "Broken pipe", "standard output, line 1",
         "The program's output could not be written: Broken pipe."},
        {"list-style line output", 6, "Broken pipe", "standard output, line 1",
         "The program's output could not be written: Broken pipe."},
        {"folder listing into list.txt", -1, "Disk full", "file \"list.txt\" in the current",
         "The folder's listing list.txt could not be written here: Disk full."},
        {"undo journal output", -1, "Disk full", "file \"j.txt\"",
         "The undo journal j.txt could not be written here, so nothing more was renamed: Disk "
         "full."},
        {"undo journal input", -1, "it is not an undo journal of this program", "file \"a b\"",
         "The file a b is not an undo journal of this program."},
        {"undo journal input", -1, "Is a directory", "file \"d\"",
         "The undo journal d could not be read: Is a directory."},
        {"memory allocation", 6, "out of memory", "standard output, line 1",
         "The program ran out of memory: close other programs and run it again."},
        {"program", -1, "odd", "somewhere", "The program could not go on: odd."},
    };
    for (const PlainCase& row : table) {
        EXPECT_EQ(lineio::plain_words(row.operation, row.channel, row.reason, row.place), row.said)
            << row.operation << ": " << row.reason;
    }
}

}  // namespace
