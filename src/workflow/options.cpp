#include "workflow/options.hpp"

#include "lineio/channels.hpp"
#include "version.hpp"

namespace workflow {
namespace {

// Help, where each system's users look for it: -h and --help everywhere, /? on Windows too.
bool asks_for_help(std::string_view argument) {
    return argument == "--help" || argument == "-h" ||
           (platform::help_option_slash && argument == "/?");
}

// A usage error that says what to do in its own words, with no pointer to --help: it is what a
// drop onto the program ends in, and a window opened for the program alone has no prompt to type
// --help at.
Options drop_error(const std::string& problem) {
    Options options;
    options.command = Options::Command::usage_error;
    options.problem.assign(rur::program_name).append(": ").append(problem);
    return options;
}

}  // namespace

Options usage_error(std::string_view what, std::string_view argument) {
    Options options;
    options.command = Options::Command::usage_error;
    options.problem.assign(rur::program_name).append(": ").append(what);
    if (!argument.empty()) {
        options.problem.append(" \"").append(lineio::printable(argument)).append("\"");
    }
    options.problem.append("; try DoridivezizoziRUR --help");
    return options;
}

std::string undo_command(std::string_view program, std::string_view journal) {
    if (program.empty()) {
        return "drop " + std::string(journal) + " onto " + std::string(rur::program_name) +
               (platform::help_option_slash ? ".exe" : "");
    }
    return std::string(program) + " --undo " + platform::command_argument(journal);
}

Options parse_options(std::span<const std::string_view> arguments,
                      PathKind (*kind_of)(std::string_view)) {
    Options options;
    if (arguments.empty()) {
        return options;
    }
    const std::string_view first = arguments.front();
    std::size_t used = 1;
    if (asks_for_help(first)) {
        options.command = Options::Command::help;
    } else if (first == "--version") {
        options.command = Options::Command::version;
    } else if (first == "--undo") {
        if (arguments.size() < 2) {
            Options missing = usage_error("--undo needs the name of an undo journal", {});
            missing.journal_missing = true;
            return missing;
        }
        options.command = Options::Command::undo;
        options.journal = arguments[1];
        used = 2;
    } else {
        // The clip folder, alone or after --dry-run, read the same way in both: a name that
        // starts with '-' is an option unless "--" comes first, and ./-F names such a folder.
        used = 0;
        // --dry-run and --dates, each at most once, in either order.
        for (bool more = true; more && used < arguments.size();) {
            more = false;
            if (arguments[used] == "--dry-run" && options.command != Options::Command::dry_run) {
                options.command = Options::Command::dry_run;
                more = true;
            } else if (arguments[used] == "--dates" && !options.dates) {
                options.dates = true;
                more = true;
            }
            used += more ? 1 : 0;
        }
        const bool options_ended = used < arguments.size() && arguments[used] == "--";
        used += options_ended ? 1 : 0;
        if (used < arguments.size()) {
            const std::string_view path = arguments[used];
            if (path.starts_with('-') && !options_ended) {
                return usage_error(
                    kind_of(path) == PathKind::folder
                        ? "unknown option (a folder of that name is ./" + std::string(path) + ")"
                        : "unknown option",
                    path);
            }
            switch (kind_of(path)) {
                case PathKind::folder:
                    options.dropped_folder = path;
                    break;
                case PathKind::undo_journal:
                    if (options.command == Options::Command::dry_run) {
                        return usage_error("a dry run takes the clip folder, not an undo journal",
                                           path);
                    }
                    options.journal = path;
                    // --dates after the journal as well as before it: never an undo.
                    if (!options.dates && used + 1 < arguments.size() &&
                        arguments[used + 1] == "--dates") {
                        options.dates = true;
                        ++used;
                    }
                    options.command =
                        options.dates ? Options::Command::journal_dates : Options::Command::undo;
                    options.journal_dropped = !options.dates;
                    break;
                case PathKind::other_file:
                    return drop_error("Drop the folder that holds the clips, not a clip: \"" +
                                      lineio::printable(path) + "\"");
                case PathKind::nothing:
                    return drop_error("\"" + lineio::printable(path) + "\" not found");
            }
            ++used;
        }
    }
    if (arguments.size() > used) {
        return usage_error("unexpected argument", arguments[used]);
    }
    return options;
}

}  // namespace workflow
