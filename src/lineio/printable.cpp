#include "lineio/printable.hpp"

namespace lineio {

std::string printable(std::string_view text, bool keep_line_ends) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool line_end = (byte == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ||
                              (byte == '\n' && at > 0 && text[at - 1] == '\r');
        const bool c1 = byte == 0xC2 && at + 1 < text.size() &&
                        static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[at + 1]) <= 0x9F;
        if (c1) {
            ++at;
        }
        shown.push_back(c1 || ((byte < 0x20 || byte == 0x7f) && !(keep_line_ends && line_end))
                            ? '?'
                            : text[at]);
    }
    return shown;
}

}  // namespace lineio
