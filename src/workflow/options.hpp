// The program's arguments. None at all is the dialogue as it always was.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace workflow {

struct Options {
    enum class Command { dialogue, help, version, dry_run, undo, usage_error };
    Command command = Command::dialogue;
    std::string journal;  // for undo
    std::string problem;  // for a usage error: one line naming what is wrong, without a line end
    bool journal_missing = false;  // the usage error is --undo without its journal
    // A folder dropped onto the program (or named as its one argument, also after --dry-run), as
    // given; then, once the program works in the folder above it, the folder's name there, which
    // answers the folder question.
    std::string dropped_folder;
    std::optional<std::string> folder_answer;
    // How to name the program in a command printed for the person at the console, so that it
    // works as typed.
    std::string program;
};

// `names_folder` tells whether an argument names an existing folder: only such an argument is
// taken as a dropped folder, any other stays a usage error.
Options parse_options(std::span<const std::string_view> arguments,
                      bool (*names_folder)(std::string_view));

// A usage error naming what is wrong and, when not empty, the argument.
Options usage_error(std::string_view what, std::string_view argument);

}  // namespace workflow
