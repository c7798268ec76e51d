#include "lineio/printable.hpp"

#include "lineio/unicode_text.hpp"

namespace lineio {

std::string printable(std::string_view text, bool keep_line_ends) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x80U) {
            const std::size_t length = unicode::utf8_sequence_length(text.substr(at));
            const bool c1 =
                byte == 0xC2U && length == 2 && static_cast<unsigned char>(text[at + 1]) <= 0x9FU;
            if (length == 0 || c1) {
                shown.push_back('?');
            } else {
                shown.append(text.substr(at, length));
            }
            at += length == 0 ? 1 : length;
            continue;
        }
        const bool line_end = (byte == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ||
                              (byte == '\n' && at > 0 && text[at - 1] == '\r');
        shown.push_back((byte < 0x20 || byte == 0x7f) && !(keep_line_ends && line_end) ? '?'
                                                                                       : text[at]);
        ++at;
    }
    return shown;
}

}  // namespace lineio
