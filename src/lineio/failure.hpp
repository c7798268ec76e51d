// An input/output failure as a value: what the program was doing, on which channel, why, and
// which file it concerns. The diagnostic's lines are made from it: a sentence in plain words,
// chosen from its kinds, and the technical lines.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "lineio/integer_input.hpp"

namespace lineio {

// What the program was doing.
enum class Activity {
    list_line_output,
    empty_line_output,
    formatted_line_output,
    console_output,
    field_input,
    integer_input,
    wait_for_enter,
    open,
    close,
    listing,
    journal_input,
    journal_output,
    memory_allocation,
    program,
};

// Why, as far as the plain words tell causes apart.
enum class Cause {
    other,                // the reason's words say it
    console_input_ended,  // the person's answers ended first
    bad_answer,           // an answer was not a number the program can read
    not_a_journal,        // a file given as a journal is none
};

// Which of the program's files a failure concerns, as the person knows it.
enum class FileRole { other, report };

struct Failure {
    Failure(Activity what, int on_channel, Cause why, std::string words, std::string where = {},
            std::string file_name = {})
        : activity(what),
          channel(on_channel),
          cause(why),
          reason(std::move(words)),
          place(std::move(where)),
          file(std::move(file_name)) {}

    Activity activity = Activity::program;
    int channel = -1;  // -1: none
    Cause cause = Cause::other;
    std::string reason;  // the technical words
    std::string place;   // where: the file or stream, and the line
    std::string file;    // the file's name, when the failure concerns one
    FileRole role = FileRole::other;
    // A last line of the diagnostic, told by whoever wrote what failed.
    std::string note;
    // For a bad answer: the answer as shown, and what is wrong with it.
    std::string answer;
    IntegerInputResult::Fault answer_fault = IntegerInputResult::Fault::none;
};

// The words of the technical line for what was being done.
std::string_view activity_words(Activity activity);

// The first line of the diagnostic: what went wrong, in the words of the person at the console,
// and what to do about it; without a line end.
std::string plain_words(const Failure& failure);

}  // namespace lineio
