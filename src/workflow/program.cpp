#include "workflow/program.hpp"

#include <string>

#include "version.hpp"
#include "workflow/dialogue.hpp"
#include "workflow/help_text.hpp"
#include "workflow/journal_dates_run.hpp"
#include "workflow/renamer.hpp"
#include "workflow/undo.hpp"

namespace workflow {
namespace {

// Every line of `text` (lines end in a line feed) on the console, then the end of the program.
[[noreturn]] void show_text(lineio::Channels& channels, std::string_view text) {
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        channels.text_line(lineio::console_output, text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    channels.finish(lineio::orderly_exit_status);
}

}  // namespace

void run_program(lineio::Channels& channels, const Options& options) {
    switch (options.command) {
        case Options::Command::help:
            show_text(channels, texts::help);
        case Options::Command::version:
            show_text(channels, std::string(rur::program_name) + " " +
                                    std::string(rur::program_version) + "\n");
        case Options::Command::undo:
            run_undo(channels, options.journal, options.journal_dropped);
        case Options::Command::journal_dates:
            run_journal_dates(channels, options.journal, options.program);
        case Options::Command::dry_run: {
            RealFolder folder([](const std::string&, const std::string&) { return 0; });
            DryRun renamer(channels, folder);
            renamer.correct_dates(options.dates);
            run_main_dialogue(channels, renamer, options.program, options.folder_answer);
            break;
        }
        case Options::Command::dialogue:
        case Options::Command::usage_error: {
            RealRun renamer(channels, options.program);
            renamer.correct_dates(options.dates);
            run_main_dialogue(channels, renamer, options.program, options.folder_answer);
            break;
        }
    }
    // The dialogue always ends through the orderly stop or a failure.
    channels.orderly_stop();
}

}  // namespace workflow
