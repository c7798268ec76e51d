// Entry point: reads the options, runs the program on the system's console and turns its end into
// the exit status.
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/console.hpp"
#include "lineio/printable.hpp"
#include "platform/platform.hpp"
#include "version.hpp"
#include "workflow/journal.hpp"
#include "workflow/options.hpp"
#include "workflow/program.hpp"
#include "workflow/undo.hpp"

namespace {
constexpr int usage_exit_status = 2;

workflow::PathKind kind_of(std::string_view argument) {
    if (argument.empty()) {
        return workflow::PathKind::nothing;
    }
    const std::string path(argument);
    platform::Folder folder;
    if (folder.open(path, true) == 0) {
        return workflow::PathKind::folder;
    }
    if (workflow::is_undo_journal(path)) {
        return workflow::PathKind::undo_journal;
    }
    platform::File file;
    return platform::is_missing_path(file.open_to_read(path)) ? workflow::PathKind::nothing
                                                              : workflow::PathKind::other_file;
}

// The whole program but its last moment: how it ended.
lineio::ProgramEnd run(lineio::Console& console, int argc, char** argv) {
    const std::vector<std::string> given = platform::program_arguments(argc, argv);
    const std::vector<std::string_view> arguments(given.begin(), given.end());
    workflow::Options options = workflow::parse_options(arguments, kind_of);
    options.program = platform::command_name(argc > 0 ? argv[0] : "");
    const bool person_at_console =
        console.output_is_interactive() && console.input_is_interactive();
    if (options.journal_dropped && !person_at_console) {
        options.command = workflow::Options::Command::usage_error;
        options.problem = std::string(rur::program_name) + ": \"" +
                          lineio::printable(options.journal) +
                          "\" is an undo journal; to take its run back: " +
                          workflow::undo_command(options.program, options.journal);
    }
    if (!options.dropped_folder.empty()) {
        // The program works beside the dropped folder, as if started there, so that its report,
        // journal and listing stay out of the clip folder.
        std::string name;
        if (const int error = platform::enter_parent_folder(options.dropped_folder, name);
            error != 0) {
            console.write_error(std::string(rur::program_name) + ": the folder that holds \"" +
                                lineio::printable(options.dropped_folder) +
                                "\" cannot be worked in: " + platform::describe_error(error) +
                                "\r\n");
            return {lineio::failure_exit_status};
        }
        if (name.empty()) {
            options = workflow::usage_error("a drive or top folder holds no clip folder",
                                            options.dropped_folder);
        } else {
            options.folder_answer = name;
            // Named again from the folder the program now works in: a path resolved before stays
            // right, a name relative to the folder left behind does not.
            options.program = platform::command_name(options.program);
        }
    }
    // In a window opened for the program alone no command can be typed: a run is taken back by
    // dropping its journal onto the program.
    if (person_at_console && platform::console_process_count() == 1) {
        options.program.clear();
    }
    if (options.command == workflow::Options::Command::usage_error) {
        const std::string newest = options.journal_missing ? workflow::newest_journal() : "";
        if (!newest.empty()) {
            options.problem +=
                "; the newest here: " + workflow::undo_command(options.program, newest);
        }
        console.write_error(options.problem + "\r\n");
        return {usage_exit_status};
    }
    lineio::Channels channels(console);
    channels.open_failures_with_plain_words();
    try {
        try {
            workflow::run_program(channels, options);
        } catch (const std::bad_alloc&) {
            channels.fail(lineio::Activity::memory_allocation, lineio::console_output,
                          "out of memory");
        } catch (const std::exception& error) {
            channels.fail(lineio::Activity::program, lineio::console_output, error.what());
        }
    } catch (const lineio::ProgramEnd& end) {
        return end;
    }
    return {lineio::orderly_exit_status};
}

}  // namespace

int main(int argc, char** argv) {
    platform::prepare_standard_streams();
    lineio::SystemConsole console;
    const lineio::ProgramEnd end = run(console, argc, argv);
    // Only now, with every file closed: a window left waiting holds nothing open.
    lineio::keep_window_until_read(console, platform::console_process_count(), end);
    return end.exit_status;
}
