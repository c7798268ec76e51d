#include "lineio/integer_input.hpp"

#include "lineio/printable.hpp"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>

namespace lineio {

namespace {

constexpr std::string_view blanks_and_tabs = " \t";
// What ends an item besides the line's end.
constexpr std::string_view item_ends = " \t,/";
// How much of a faulty item the diagnostic quotes.
constexpr std::size_t quoted_item_length = 40;
// A repeat count beyond any number of destinations; larger counts are held at it.
constexpr std::uint64_t repeat_count_ceiling = std::numeric_limits<std::uint32_t>::max();
// The magnitude of the most negative signed 32-bit integer.
constexpr std::uint64_t largest_magnitude = std::uint64_t{1} << 31;

// An optional sign and a run of digits.
struct Number {
    bool is_signed = false;
    bool negative = false;
    std::uint64_t magnitude = 0;
    std::size_t digits = 0;
};

// Takes a number from the front of `text`, stopping at the first other character.
Number take_number(std::string_view& text) {
    Number number;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        number.is_signed = true;
        number.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        ++number.digits;
        // Leading zeros may be many; the value only grows until it is out of range.
        number.magnitude =
            std::min(number.magnitude * 10 + static_cast<std::uint64_t>(text.front() - '0'),
                     largest_magnitude + 1);
        text.remove_prefix(1);
    }
    return number;
}

// One item: a value, `count` copies of a value, or `count` null values.
struct ParsedItem {
    std::uint64_t count = 1;
    bool has_value = true;
    std::int32_t value = 0;
};

using Fault = IntegerInputResult::Fault;

// Parses a whole item; returns why it is no integer, or Fault::none.
Fault parse_item(std::string_view item, ParsedItem& parsed) {
    std::string_view rest = item;
    Number number = take_number(rest);
    // A leading run of digits followed by an asterisk is a repeat count.
    if (!rest.empty() && rest.front() == '*') {
        if (number.is_signed || number.digits == 0) {
            return Fault::not_an_integer;
        }
        if (number.magnitude == 0) {
            return Fault::zero_repeat_count;
        }
        parsed.count = std::min(number.magnitude, repeat_count_ceiling);
        rest.remove_prefix(1);
        if (rest.empty()) {
            parsed.has_value = false;
            return Fault::none;
        }
        number = take_number(rest);
    }
    if (number.digits == 0 || !rest.empty()) {
        return Fault::not_an_integer;
    }
    if (number.magnitude > largest_magnitude ||
        (!number.negative && number.magnitude == largest_magnitude)) {
        return Fault::out_of_range;
    }
    const auto magnitude = static_cast<std::int64_t>(number.magnitude);
    parsed.value = static_cast<std::int32_t>(number.negative ? -magnitude : magnitude);
    return Fault::none;
}

// A bad item: its start, with control bytes shown as '?', and what is wrong with it.
IntegerInputResult bad_item(std::string_view item, Fault fault, std::size_t filled) {
    IntegerInputResult result{IntegerInputResult::Kind::bad_item,
                              fault,
                              printable(item.substr(0, quoted_item_length)),
                              {},
                              filled};
    if (item.size() > quoted_item_length) {
        result.item.append("...");
    }
    const std::string_view what = fault == Fault::not_an_integer      ? "is not an integer"
                                  : fault == Fault::zero_repeat_count ? "has a repeat count of 0"
                                                                      : "lies outside the range "
                                                                        "of signed 32-bit integers";
    result.reason = "the item \"" + result.item + "\" " + std::string(what);
    return result;
}

}  // namespace

IntegerInputResult read_integers(const NextLine& next_line,
                                 std::span<std::int32_t* const> destinations) {
    std::size_t filled = 0;
    std::string_view line;  // what is left of the current line
    // Whether a value stands since the last comma or the start of the line: a comma with none
    // before it is a null value.
    bool value_since_comma = false;
    while (filled < destinations.size()) {
        const std::size_t start = line.find_first_not_of(blanks_and_tabs);
        if (start == std::string_view::npos) {
            if (!next_line(line)) {
                return {IntegerInputResult::Kind::input_ended, Fault::none, {}, {}, filled};
            }
            value_since_comma = false;
            continue;
        }
        line.remove_prefix(start);
        if (line.front() == ',') {
            if (!value_since_comma) {
                ++filled;
            }
            value_since_comma = false;
            line.remove_prefix(1);
            continue;
        }
        if (line.front() == '/') {
            break;
        }
        const std::string_view item = line.substr(0, line.find_first_of(item_ends));
        line.remove_prefix(item.size());
        ParsedItem parsed;
        if (const Fault fault = parse_item(item, parsed); fault != Fault::none) {
            return bad_item(item, fault, filled);
        }
        const auto copies = static_cast<std::size_t>(
            std::min<std::uint64_t>(parsed.count, destinations.size() - filled));
        for (std::size_t copy = 0; copy < copies; ++copy, ++filled) {
            if (parsed.has_value && destinations[filled] != nullptr) {
                *destinations[filled] = parsed.value;
            }
        }
        value_since_comma = true;
    }
    IntegerInputResult result;
    result.filled = filled;
    return result;
}

}  // namespace lineio
