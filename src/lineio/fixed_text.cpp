#include "lineio/fixed_text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace lineio {

std::size_t trimmed_length(std::string_view text) {
    // Paths and names sit in texts much wider than they are: pass over the blanks eight at a time.
    constexpr std::size_t word = sizeof(std::uint64_t);
    constexpr std::uint64_t eight_blanks = 0x2020202020202020ULL;
    std::size_t length = text.size();
    while (length >= word) {
        std::uint64_t tail = 0;
        std::memcpy(&tail, text.data() + length - word, word);
        if (tail != eight_blanks) {
            break;
        }
        length -= word;
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
    if (destination.empty()) {
        return;
    }
    const std::size_t count = std::min(source.size(), destination.size());
    // The source may be a part of the destination itself.
    if (count > 0) {
        std::memmove(destination.data(), source.data(), count);
    }
    std::fill(destination.begin() + static_cast<std::ptrdiff_t>(count), destination.end(), blank);
}

void concatenate(std::span<char> destination, std::initializer_list<std::string_view> pieces) {
    if (destination.empty()) {
        return;
    }
    // The pieces are gathered first, so that a piece may be read from the very columns being
    // written: on the stack for every text of the program, on the heap beyond.
    constexpr std::size_t stack_width = 256;
    std::array<char, stack_width> on_stack;
    std::string on_heap;
    char* joined = on_stack.data();
    if (destination.size() > stack_width) {
        on_heap.resize(destination.size());
        joined = on_heap.data();
    }
    std::size_t written = 0;
    for (const std::string_view piece : pieces) {
        const std::size_t count = std::min(piece.size(), destination.size() - written);
        // Most pieces are a separator or a two-digit field: a call to copy them would cost more
        // than the copy.
        if (count > 2) {
            std::memcpy(joined + written, piece.data(), count);
        } else if (count > 0) {
            joined[written] = piece[0];
            if (count == 2) {
                joined[written + 1] = piece[1];
            }
        }
        written += count;
    }
    std::memcpy(destination.data(), joined, written);
    std::fill(destination.begin() + static_cast<std::ptrdiff_t>(written), destination.end(), blank);
}

bool blank_padded_equal(std::string_view left, std::string_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    if (left.substr(0, common) != right.substr(0, common)) {
        return false;
    }
    const std::string_view rest = left.size() > common ? left.substr(common) : right.substr(common);
    return rest.find_first_not_of(blank) == std::string_view::npos;
}

}  // namespace lineio
