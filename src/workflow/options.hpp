// The program's arguments. None at all is the dialogue as it always was.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace workflow {

struct Options {
    // journal_dates: --dates with an undo journal, whose clips' dates are corrected now.
    enum class Command { dialogue, help, version, dry_run, undo, journal_dates, usage_error };
    Command command = Command::dialogue;
    std::string journal;  // for undo and journal_dates
    // The journal was dropped onto the program (or named as its one argument), not named after
    // --undo: a person is asked first, and a script is told to name --undo.
    bool journal_dropped = false;
    std::string problem;  // for a usage error: one line naming what is wrong, without a line end
    bool journal_missing = false;  // the usage error is --undo without its journal
    // A folder dropped onto the program (or named as its one argument, also after --dry-run), as
    // given; then, once the program works in the folder above it, the folder's name there, which
    // answers the folder question.
    std::string dropped_folder;
    std::optional<std::string> folder_answer;
    // How to name the program in a command printed for the person at the console, so that it
    // works as typed; empty in a window opened for the program alone, where no command can be
    // typed (see undo_command).
    std::string program;
    // --dates: the clips' file times and the dates recorded inside them are corrected with their
    // names.
    bool dates = false;
};

// What an argument names on the disk.
enum class PathKind { nothing, folder, undo_journal, other_file };

// `kind_of` tells what an argument names: only a folder is taken as a dropped folder, only an
// undo journal as one to take back.
Options parse_options(std::span<const std::string_view> arguments,
                      PathKind (*kind_of)(std::string_view));

// A usage error naming what is wrong and, when not empty, the argument, and pointing to --help.
Options usage_error(std::string_view what, std::string_view argument);

// How the person takes back the run of `journal`: the command to type, or in a window opened for
// the program alone (`program` empty) the file to drop onto it.
std::string undo_command(std::string_view program, std::string_view journal);

}  // namespace workflow
