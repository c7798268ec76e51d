#include "lineio/plain_words.hpp"

#include "lineio/channels.hpp"

namespace lineio {
namespace {

constexpr std::string_view report_file = "DedUzarodivedizidUZOVU.txt";
constexpr std::string_view timestamp_advice =
    ": type the six numbers of a date and time, such as 2025 11 21 15 30 00.";

// The file a place names ("file \"NAME\"..."), or nothing when it names none.
std::string_view file_in(std::string_view place) {
    constexpr std::string_view start = "file \"";
    if (!place.starts_with(start)) {
        return {};
    }
    place.remove_prefix(start.size());
    return place.substr(0, place.rfind('"'));
}

// An integer input's reason reads: the item "TEXT" WHAT.
std::string answer_sentence(std::string_view reason) {
    constexpr std::string_view start = "the item \"";
    const std::size_t end = reason.rfind("\" ");
    const std::string_view item = reason.substr(start.size(), end - start.size());
    const std::string_view what = reason.substr(end + 2);
    std::string_view verdict = "is not a date and time the program can read";
    if (what.starts_with("is not an integer")) {
        verdict = "is not a whole number";
    } else if (what.starts_with("lies outside")) {
        verdict = "is far too large a number";
    }
    std::string sentence = "The answer \"";
    sentence.append(item).append("\" ").append(verdict).append(timestamp_advice);
    return sentence;
}

}  // namespace

std::string plain_words(std::string_view operation, int channel, std::string_view reason,
                        std::string_view place) {
    const std::string reason_end = std::string(": ").append(reason).append(".");
    const std::string file(file_in(place));
    if (reason.starts_with("the console input ended")) {
        return "The console input ended before the program had all its answers.";
    }
    if (operation == "whitespace-separated integer input" && reason.starts_with("the item \"") &&
        reason.rfind("\" ") != std::string_view::npos) {
        return answer_sentence(reason);
    }
    if (operation == "memory allocation") {
        return "The program ran out of memory: close other programs and run it again.";
    }
    if (operation == "undo journal input") {
        return reason.starts_with("it is not an undo journal")
                   ? "The file " + file + " is not an undo journal of this program."
                   : "The undo journal " + file + " could not be read" + reason_end;
    }
    if (operation == "undo journal output") {
        return "The undo journal " + file +
               " could not be written here, so nothing more was renamed" + reason_end;
    }
    if (operation == "folder listing into list.txt") {
        return "The folder's listing list.txt could not be written here" + reason_end;
    }
    if (operation == "open") {
        return file == report_file
                   ? "The report file " + file + " could not be created here" + reason_end
                   : "The file " + file + " could not be opened here" + reason_end;
    }
    if (channel == console_output || operation == "console output") {
        return "The program's output could not be written" + reason_end;
    }
    if (!file.empty()) {
        return "The file " + file + " could not be read or written" + reason_end;
    }
    return "The program could not go on" + reason_end;
}

}  // namespace lineio
