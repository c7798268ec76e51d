#include "lineio/fixed_text.hpp"

#include <algorithm>
#include <string>

namespace lineio {

std::size_t trimmed_length(std::string_view text) {
    std::size_t length = text.size();
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
