// Texts the program quotes in its diagnostics come from files and from what was typed; control
// characters among them could steer the terminal, so they are shown as '?'.
#pragma once

#include <string>
#include <string_view>

namespace lineio {

inline std::string printable(std::string_view text) {
    std::string shown(text);
    for (char& character : shown) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7f) {
            character = '?';
        }
    }
    return shown;
}

}  // namespace lineio
