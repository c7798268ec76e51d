#include "workflow/options.hpp"

#include "lineio/channels.hpp"
#include "version.hpp"

namespace workflow {

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

Options parse_options(std::span<const std::string_view> arguments,
                      bool (*names_folder)(std::string_view)) {
    Options options;
    if (arguments.empty()) {
        return options;
    }
    const std::string_view first = arguments.front();
    std::size_t used = 1;
    if (first == "--help") {
        options.command = Options::Command::help;
    } else if (first == "--version") {
        options.command = Options::Command::version;
    } else if (first == "--dry-run") {
        options.command = Options::Command::dry_run;
        if (arguments.size() == 2 && names_folder(arguments[1])) {
            options.dropped_folder = arguments[1];
            used = 2;
        }
    } else if (first == "--undo") {
        if (arguments.size() < 2) {
            Options missing = usage_error("--undo needs the name of an undo journal", {});
            missing.journal_missing = true;
            return missing;
        }
        options.command = Options::Command::undo;
        options.journal = arguments[1];
        used = 2;
    } else if (first.starts_with('-')) {
        return usage_error("unknown option", first);
    } else if (names_folder(first)) {
        options.dropped_folder = first;
    } else {
        return usage_error("unexpected argument", first);
    }
    if (arguments.size() > used) {
        return usage_error("unexpected argument", arguments[used]);
    }
    return options;
}

}  // namespace workflow
