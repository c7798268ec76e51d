// Runs a piece of the program on a console fed from memory and keeps what it wrote.
#pragma once

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "lineio/channels.hpp"
#include "lineio/console.hpp"

namespace timestamp::testing {

class MemoryConsole final : public lineio::Console {
  public:
    explicit MemoryConsole(std::string input) : input_(std::move(input)) {}

    int read_input(char* buffer, std::size_t capacity, std::size_t& count) override {
        count = std::min(capacity, input_.size() - read_);
        std::memcpy(buffer, input_.data() + read_, count);
        read_ += count;
        return 0;
    }
    int write_output(std::string_view bytes) override {
        output.append(bytes);
        return 0;
    }
    int write_error(std::string_view bytes) override {
        error.append(bytes);
        return 0;
    }
    bool output_is_interactive() const override { return false; }

    std::string output;
    std::string error;

  private:
    std::string input_;
    std::size_t read_ = 0;
};

struct ConsoleRun {
    std::string output;
    std::string error;
    std::optional<int> exit_status;  // empty when the piece returned
};

template <typename Piece>
ConsoleRun run_on_console(std::string input, Piece piece) {
    MemoryConsole console(std::move(input));
    ConsoleRun run;
    {
        lineio::Channels channels(console);
        try {
            piece(channels);
        } catch (const lineio::ProgramEnd& end) {
            run.exit_status = end.exit_status;
        }
    }
    run.output = console.output;
    run.error = console.error;
    return run;
}

}  // namespace timestamp::testing
