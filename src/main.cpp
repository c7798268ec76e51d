// Entry point: reads the options, runs the program on the system's console and turns its end into
// the exit status.
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/console.hpp"
#include "lineio/platform.hpp"
#include "workflow/journal.hpp"
#include "workflow/options.hpp"
#include "workflow/program.hpp"

namespace {
constexpr int usage_exit_status = 2;
}

int main(int argc, char** argv) {
    lineio::platform::prepare_standard_streams();
    lineio::SystemConsole console;
    const std::vector<std::string> given = lineio::platform::program_arguments(argc, argv);
    const std::vector<std::string_view> arguments(given.begin(), given.end());
    workflow::Options options = workflow::parse_options(arguments);
    options.program = lineio::platform::command_name(argc > 0 ? argv[0] : "");
    if (options.command == workflow::Options::Command::usage_error) {
        const std::string newest = options.journal_missing ? workflow::newest_journal() : "";
        if (!newest.empty()) {
            options.problem += "; the newest here: " + options.program + " --undo " + newest;
        }
        console.write_error(options.problem + "\r\n");
        return usage_exit_status;
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
        return end.exit_status;
    }
    return lineio::orderly_exit_status;
}
