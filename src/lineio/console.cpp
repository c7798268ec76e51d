#include "lineio/console.hpp"

#include "lineio/platform.hpp"

namespace lineio {

SystemConsole::SystemConsole() : interactive_(platform::standard_output_is_terminal()) {}

int SystemConsole::read_input(char* buffer, std::size_t capacity, std::size_t& count) {
    return platform::read_standard_input(buffer, capacity, count);
}

int SystemConsole::write_output(std::string_view bytes) {
    if (!interactive_) {
        return platform::write_standard_output(bytes);
    }
    // A file name may hold control characters, and a crafted one could steer the terminal
    // (retitle it, hide lines). On a terminal each is shown as '?', except the carriage return
    // and line feed that end every line; redirected output keeps every byte.
    shown_.assign(bytes);
    for (std::size_t at = 0; at < shown_.size(); ++at) {
        const auto byte = static_cast<unsigned char>(shown_[at]);
        if (byte == '\r' && at + 1 < shown_.size() && shown_[at + 1] == '\n') {
            ++at;
        } else if (byte < 0x20 || byte == 0x7f) {
            shown_[at] = '?';
        }
    }
    return platform::write_standard_output(shown_);
}

int SystemConsole::write_error(std::string_view bytes) {
    return platform::write_standard_error(bytes);
}

bool SystemConsole::output_is_interactive() const {
    return interactive_;
}

bool SystemConsole::input_is_interactive() const {
    return platform::standard_input_is_terminal();
}

}  // namespace lineio
