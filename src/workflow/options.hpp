// The program's arguments. None at all is the dialogue as it always was.
#pragma once

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
    // How to name the program in a command printed for the person at the console, so that it
    // works as typed.
    std::string program;
};

Options parse_options(std::span<const std::string_view> arguments);

}  // namespace workflow
