#include "lineio/fixed_text.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace lineio {

std::size_t trimmed_length(std::string_view text) {
    // Eight blanks at a time from the end: a listed name's field is mostly blanks, and scanning
    // them a character at a time, twice a clip, cost a twentieth of a run.
    constexpr std::size_t word = sizeof(std::uint64_t);
    std::uint64_t blanks = 0;
    std::memset(&blanks, blank, word);
    std::size_t length = text.size();
    for (std::uint64_t chunk = 0; length >= word; length -= word) {
        std::memcpy(&chunk, text.data() + length - word, word);
        if (chunk != blanks) {
            break;
        }
    }
    while (length > 0 && text[length - 1] == blank) {
        --length;
    }
    return length;
}

std::string_view trimmed(std::string_view text) {
    return text.substr(0, trimmed_length(text));
}

void fixed_copy(std::span<char> destination, std::string_view source) {
    const std::string_view kept = source.substr(0, destination.size());
    std::fill(std::copy(kept.begin(), kept.end(), destination.begin()), destination.end(), blank);
}

void concatenate(std::span<char> destination, std::initializer_list<std::string_view> pieces) {
    // The pieces are gathered first: a piece may be read from the very columns being written.
    std::string joined;
    for (const std::string_view piece : pieces) {
        joined.append(piece);
    }
    fixed_copy(destination, joined);
}

}  // namespace lineio
