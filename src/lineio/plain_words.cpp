#include "lineio/channels.hpp"
#include "lineio/failure.hpp"

namespace lineio {
namespace {

constexpr std::string_view timestamp_advice =
    ": type the six numbers of a date and time, such as 2025 11 21 15 30 00.";

std::string answer_sentence(const Failure& failure) {
    const std::string_view verdict =
        failure.answer_fault == IntegerInputResult::Fault::not_an_integer ? "is not a whole number"
        : failure.answer_fault == IntegerInputResult::Fault::out_of_range
            ? "is far too large a number"
        : failure.answer_fault == IntegerInputResult::Fault::slash_too_early
            ? "is cut short by a slash before its last number"
            : "is not a date and time the program can read";
    return "The answer \"" + failure.answer + "\" " + std::string(verdict) +
           std::string(timestamp_advice);
}

}  // namespace

std::string_view activity_words(Activity activity) {
    switch (activity) {
        case Activity::list_line_output:
            return "list-style line output";
        case Activity::empty_line_output:
            return "empty line output";
        case Activity::formatted_line_output:
            return "formatted line output";
        case Activity::console_output:
            return "console output";
        case Activity::field_input:
            return "fixed-width field input";
        case Activity::integer_input:
            return "whitespace-separated integer input";
        case Activity::wait_for_enter:
            return "wait for Enter";
        case Activity::open:
            return "open";
        case Activity::close:
            return "close";
        case Activity::listing:
            return "folder listing into list.txt";
        case Activity::journal_input:
            return "undo journal input";
        case Activity::journal_output:
            return "undo journal output";
        case Activity::memory_allocation:
            return "memory allocation";
        case Activity::program:
            break;
    }
    return "program";
}

std::string plain_words(const Failure& failure) {
    const std::string reason_end = ": " + failure.reason + ".";
    const std::string& file = failure.file;
    switch (failure.cause) {
        case Cause::console_input_ended:
            return "The console input ended before the program had all its answers.";
        case Cause::bad_answer:
            return answer_sentence(failure);
        case Cause::not_a_journal:
            return "The file " + file + " is not an undo journal of this program.";
        case Cause::other:
            break;
    }
    switch (failure.activity) {
        case Activity::memory_allocation:
            return "The program ran out of memory: close other programs and run it again.";
        case Activity::journal_input:
            return "The undo journal " + file + " could not be read" + reason_end;
        case Activity::journal_output:
            return "The undo journal " + file +
                   " could not be written here, so nothing more was renamed" + reason_end;
        case Activity::listing:
            return "The folder's listing " + file + " could not be written here" + reason_end;
        case Activity::open:
            return failure.role == FileRole::report
                       ? "The report file " + file + " could not be created here" + reason_end
                       : "The file " + file + " could not be opened here" + reason_end;
        case Activity::console_output:
            return "The program's output could not be written" + reason_end;
        default:
            break;
    }
    if (failure.channel == console_output) {
        return "The program's output could not be written" + reason_end;
    }
    if (!file.empty()) {
        return "The file " + file + " could not be read or written" + reason_end;
    }
    return "The program could not go on" + reason_end;
}

}  // namespace lineio
