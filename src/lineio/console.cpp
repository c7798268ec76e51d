#include "lineio/console.hpp"

#include "lineio/printable.hpp"
#include "platform/platform.hpp"

namespace lineio {

SystemConsole::SystemConsole() : interactive_(platform::standard_output_is_terminal()) {}

int SystemConsole::read_input(char* buffer, std::size_t capacity, std::size_t& count) {
    return platform::read_standard_input(buffer, capacity, count);
}

int SystemConsole::write_output(std::string_view bytes) {
    if (!interactive_) {
        return platform::write_standard_output(bytes);
    }
    // A file name may hold control characters; redirected output keeps every byte.
    shown_ = printable(bytes, true);
    return platform::write_standard_output(shown_);
}

int SystemConsole::write_error(std::string_view bytes) {
    // The error stream is meant for a person even when redirected: nothing raw goes there.
    shown_ = printable(bytes, true);
    return platform::write_standard_error(shown_);
}

bool SystemConsole::output_is_interactive() const {
    return interactive_;
}

bool SystemConsole::input_is_interactive() const {
    return platform::standard_input_is_terminal();
}

}  // namespace lineio
