// Runs a piece of the program on a console fed from memory and keeps what it wrote.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lineio/channels.hpp"
#include "support/fake_console.hpp"

namespace timestamp::testing {

struct ConsoleRun {
    std::string output;
    std::string error;
    std::optional<int> exit_status;            // empty when the piece returned
    std::vector<std::string> output_at_reads;  // what the user had seen at each read
};

template <typename Piece>
ConsoleRun run_on_console(std::string input, Piece piece) {
    test_support::FakeConsole console(std::move(input));
    ConsoleRun run;
    {
        lineio::Channels channels(console);
        run.exit_status = test_support::program_end_of([&] { piece(channels); });
    }
    run.output = console.output;
    run.error = console.error;
    run.output_at_reads = console.output_at_reads;
    return run;
}

}  // namespace timestamp::testing
