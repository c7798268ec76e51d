// The two-digit numerals "00" to "60" in which a video file's name carries its date and time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace timestamp {

inline constexpr std::int32_t highest_numeral = 60;
inline constexpr std::int32_t not_a_numeral = -1;

// The value of `text` when it equals one of the numerals "00" to "60" once the shorter of the
// two is padded with blanks (so "7 " is no numeral, and neither is "07" followed by a digit);
// otherwise not_a_numeral.
constexpr std::int32_t numeral_value(std::span<const char> text) {
    if (text.size() < 2) {
        return not_a_numeral;
    }
    for (std::size_t i = 2; i < text.size(); ++i) {
        if (text[i] != ' ') {
            return not_a_numeral;
        }
    }
    const char tens = text[0];
    const char units = text[1];
    if (tens < '0' || tens > '9' || units < '0' || units > '9') {
        return not_a_numeral;
    }
    const std::int32_t value = (tens - '0') * 10 + (units - '0');
    return value <= highest_numeral ? value : not_a_numeral;
}

// Writes the numeral of `value` (0 to 99) into `text`, cut at its width and blank-filled behind.
constexpr void write_numeral(std::span<char> text, std::int32_t value) {
    if (!text.empty()) {
        text[0] = static_cast<char>('0' + value / 10);
    }
    if (text.size() > 1) {
        text[1] = static_cast<char>('0' + value % 10);
    }
    for (std::size_t at = 2; at < text.size(); ++at) {
        text[at] = ' ';
    }
}

}  // namespace timestamp
