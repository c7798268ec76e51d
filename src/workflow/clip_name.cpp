#include "workflow/clip_name.hpp"

#include <algorithm>

#include "lineio/fixed_text.hpp"
#include "lineio/unicode_text.hpp"
#include "timestamp/corrected_date.hpp"
#include "timestamp/timestamp.hpp"
#include "workflow/layouts.hpp"

namespace workflow {

using lineio::FixedText;

std::optional<std::string> corrected_name(std::string_view name, std::int32_t correction) {
    std::string corrected;
    if (!corrected_name(name, correction, corrected)) {
        return std::nullopt;
    }
    return corrected;
}

bool corrected_name(std::string_view name, std::int32_t correction, std::string& corrected) {
    // The name's own columns are shifted in place and its separators made blanks: what stays is
    // the dot and the extension. A column is a character: the date and time columns are copied a
    // byte to a column, a character of several bytes (a separator such as an en dash) as a byte
    // that is no digit, and the dot and the extension follow as they are.
    FixedText<listed_name_column::dot> shifted;
    constexpr auto width = static_cast<std::size_t>(listed_name_width);
    // A name of ASCII bytes alone, as a camera's are, has its columns copied as they stand.
    const bool ascii = lineio::unicode::ascii_prefix(name, width) == std::min(name.size(), width);
    std::size_t at = 0;
    if (ascii) {
        at = std::min(name.size(), listed_name_column::dot);
        std::copy_n(name.begin(), at, shifted.chars.begin());
    }
    for (std::size_t column = 0; !ascii && column < listed_name_column::dot && at < name.size();
         ++column) {
        const bool ascii_byte = static_cast<unsigned char>(name[at]) < 0x80U;
        shifted.chars[column] = ascii_byte ? name[at] : '?';
        at += ascii_byte ? 1 : lineio::unicode::bytes_of_characters(name.substr(at), 1);
    }
    const auto field = [&shifted](std::size_t column, std::size_t width) {
        return shifted.span().subspan(column, width);
    };
    timestamp::ShiftOutcome shift = timestamp::ShiftOutcome::not_a_calendar_minute;
    const std::int32_t lowest_year = timestamp::lowest_year;
    timestamp::CORRECTDATE(field(listed_name_column::year, 4), field(listed_name_column::month, 2),
                           field(listed_name_column::day, 2), field(listed_name_column::hour, 2),
                           field(listed_name_column::minute, 2),
                           field(listed_name_column::second, 2), correction, lowest_year, shift);
    if (shift != timestamp::ShiftOutcome::shifted) {
        return false;
    }
    shifted.chars[listed_name_column::month - 1] = lineio::blank;
    shifted.chars[listed_name_column::day - 1] = lineio::blank;
    shifted.chars[listed_name_column::hour - 1] = lineio::blank;
    shifted.chars[listed_name_column::minute - 1] = lineio::blank;
    shifted.chars[listed_name_column::second - 1] = lineio::blank;
    constexpr std::size_t tail = width - listed_name_column::dot;  // the dot and the extension
    corrected.assign(shifted.view());
    corrected.append(ascii ? name.substr(at, tail)
                           : lineio::unicode::columns(name.substr(at), 0, tail));
    corrected.resize(lineio::trimmed_length(corrected));
    return true;
}

std::string burst_variant(std::string_view name, int number) {
    std::string variant(name);
    if (variant.size() >= listed_name_column::second + 2) {
        variant[listed_name_column::second] = static_cast<char>('0' + number / 10);
        variant[listed_name_column::second + 1] = static_cast<char>('0' + number % 10);
    }
    return variant;
}

bool is_name_or_variant(std::string_view name, std::string_view candidate) {
    if (candidate == name) {
        return true;
    }
    for (int number = 1; number <= burst_count; ++number) {
        if (candidate == burst_variant(name, number)) {
            return true;
        }
    }
    return false;
}

}  // namespace workflow
