// A console for tests: hands out prepared input bytes and keeps every byte written.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "lineio/channels.hpp"
#include "lineio/console.hpp"

namespace test_support {

class FakeConsole final : public lineio::Console {
  public:
    explicit FakeConsole(std::string input_bytes = {}, bool interactive = true)
        : input(std::move(input_bytes)), interactive(interactive) {}

    int read_input(char* buffer, std::size_t capacity, std::size_t& count) override {
        count = input.copy(buffer, std::min(capacity, read_size));
        input.erase(0, count);
        return 0;
    }
    int write_output(std::string_view bytes) override {
        output.append(output_error == 0 ? bytes : std::string_view());
        return output_error;
    }
    int write_error(std::string_view bytes) override {
        error.append(bytes);
        return 0;
    }
    bool output_is_interactive() const override { return interactive; }
    bool input_is_interactive() const override { return typed; }

    std::string input;                // the bytes not yet read
    std::size_t read_size = 4096;     // the most one read hands out
    bool interactive, typed = false;  // typed: the input is typed at the console
    int output_error = 0;             // when not 0, every output write fails with it
    std::string output, error;
};

// Runs `action` and tells the exit status of the ProgramEnd it threw, if it threw one.
inline std::optional<int> program_end_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const lineio::ProgramEnd& end) {
        return end.exit_status;
    }
    return std::nullopt;
}

}  // namespace test_support
