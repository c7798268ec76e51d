// The two-digit numerals "00" to "60" in which a video file's name carries its date and time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace timestamp {

inline constexpr std::int32_t highest_numeral = 60;
inline constexpr std::int32_t not_a_numeral = -1;

// The digits "00" to "99", two by two: a numeral is written with one look-up.
inline constexpr char digit_pairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

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
    // A byte below '0' wraps round to a large value, so one comparison a digit tells it.
    const auto tens = static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) - '0';
    const auto units = static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) - '0';
    if (tens > 9 || units > 9) {
        return not_a_numeral;
    }
    const auto value = static_cast<std::int32_t>(tens * 10 + units);
    return value <= highest_numeral ? value : not_a_numeral;
}

// Writes the numeral of `value` (0 to 99) into `text`, cut at its width and blank-filled behind.
constexpr void write_numeral(std::span<char> text, std::int32_t value) {
    const char* const pair = digit_pairs + std::ptrdiff_t{2} * value;
    if (text.size() == 2) {
        text[0] = pair[0];
        text[1] = pair[1];
        return;
    }
    if (!text.empty()) {
        text[0] = pair[0];
    }
    if (text.size() > 1) {
        text[1] = pair[1];
    }
    for (std::size_t at = 2; at < text.size(); ++at) {
        text[at] = ' ';
    }
}

}  // namespace timestamp
