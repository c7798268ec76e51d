#include "lineio/integer_input.hpp"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace lineio {

namespace {

// How much of a faulty item the diagnostic quotes.
constexpr std::size_t quoted_item_length = 40;
// A repeat count beyond any number of destinations; larger counts are held at it.
constexpr std::uint64_t repeat_count_ceiling = std::numeric_limits<std::uint32_t>::max();
// The magnitude of the most negative signed 32-bit integer.
constexpr std::uint64_t largest_magnitude = std::uint64_t{1} << 31;

bool is_digit(int character) {
    return character >= '0' && character <= '9';
}

bool is_blank_or_tab(int character) {
    return character == ' ' || character == '\t';
}

bool ends_item(int character) {
    return character == LineReader::line_end || is_blank_or_tab(character) || character == ',' ||
           character == '/';
}

// One item: a value, `count` copies of a value, or `count` null values.
struct ParsedItem {
    std::uint64_t count = 1;
    bool has_value = true;
    std::int32_t value = 0;
};

// Reads one item whose first character is `character`. The character that ended it is left in
// `character` for the caller, who treats it as a separator.
class ItemParser {
  public:
    ItemParser(LineReader& reader, IntegerInputProblem& problem)
        : reader_(reader), problem_(problem) {}

    bool parse(int& character, ParsedItem& item) {
        line_ = reader_.lines_started();
        // A leading run of digits followed by an asterisk is a repeat count.
        bool negative = false;
        std::uint64_t magnitude = 0;
        std::size_t digits = 0;
        bool signed_value = false;
        if (!number(character, negative, magnitude, digits, signed_value)) {
            return false;
        }
        if (character == '*') {
            if (signed_value || digits == 0) {
                return bad(character, "is not an integer");
            }
            if (magnitude == 0) {
                return bad(character, "has a repeat count of 0");
            }
            item.count = std::min(magnitude, repeat_count_ceiling);
            if (!advance(character)) {
                return false;
            }
            if (ends_item(character)) {
                item.has_value = false;
                return true;
            }
            if (!number(character, negative, magnitude, digits, signed_value)) {
                return false;
            }
        }
        if (digits == 0 || !ends_item(character)) {
            return bad(character, "is not an integer");
        }
        if (magnitude > largest_magnitude || (!negative && magnitude == largest_magnitude)) {
            return bad(character, "lies outside the range of signed 32-bit integers");
        }
        const auto signed_magnitude = static_cast<std::int64_t>(magnitude);
        item.value = static_cast<std::int32_t>(negative ? -signed_magnitude : signed_magnitude);
        return true;
    }

  private:
    // An optional sign and a run of digits, stopping at the first other character.
    bool number(int& character, bool& negative, std::uint64_t& magnitude, std::size_t& digits,
                bool& signed_value) {
        negative = false;
        magnitude = 0;
        digits = 0;
        signed_value = character == '+' || character == '-';
        if (signed_value) {
            negative = character == '-';
            if (!advance(character)) {
                return false;
            }
        }
        while (is_digit(character)) {
            ++digits;
            // Leading zeros may be many; the value only grows until it is out of range.
            magnitude = std::min(magnitude * 10 + static_cast<std::uint64_t>(character - '0'),
                                 largest_magnitude + 1);
            if (!advance(character)) {
                return false;
            }
        }
        return true;
    }

    // Takes the current character into the quoted item and reads the next one.
    bool advance(int& character) {
        if (quoted_.size() < quoted_item_length) {
            quoted_.push_back(static_cast<char>(character));
        } else {
            quote_cut_ = true;
        }
        if (const int error = reader_.next_character(character); error != 0) {
            problem_.kind = IntegerInputProblem::Kind::read_error;
            problem_.error = error;
            return false;
        }
        return true;
    }

    // Reports the item, quoting its start, without reading it to its end: it may never end.
    bool bad(int character, std::string_view what) {
        while (!ends_item(character) && quoted_.size() < quoted_item_length) {
            if (!advance(character)) {
                return false;
            }
        }
        for (char& quoted : quoted_) {
            const auto byte = static_cast<unsigned char>(quoted);
            if (byte < 0x20 || byte > 0x7e) {
                quoted = '?';
            }
        }
        problem_.kind = IntegerInputProblem::Kind::bad_item;
        problem_.line = line_;
        problem_.reason =
            "the item \"" + quoted_ + (quote_cut_ || !ends_item(character) ? "...\" " : "\" ");
        problem_.reason.append(what);
        return false;
    }

    LineReader& reader_;
    IntegerInputProblem& problem_;
    std::string quoted_;
    bool quote_cut_ = false;
    long long line_ = 0;
};

}  // namespace

bool read_integers(LineReader& reader, std::span<std::int32_t* const> destinations,
                   IntegerInputProblem& problem) {
    problem = {};
    std::size_t filled = 0;
    // Whether a value stands since the last comma or the start of the line: a comma with none
    // before it is a null value.
    bool value_since_comma = false;
    const auto read_failed = [&problem](int error) {
        problem.kind = IntegerInputProblem::Kind::read_error;
        problem.error = error;
        return false;
    };
    int character = LineReader::line_end;
    bool have_character = false;
    while (filled < destinations.size()) {
        if (!have_character) {
            if (!reader.in_line()) {
                bool has_line = false;
                if (const int error = reader.start_line(has_line); error != 0) {
                    return read_failed(error);
                }
                if (!has_line) {
                    problem.kind = IntegerInputProblem::Kind::input_ended;
                    return false;
                }
                value_since_comma = false;
            }
            if (const int error = reader.next_character(character); error != 0) {
                return read_failed(error);
            }
        }
        have_character = false;
        if (character == LineReader::line_end || is_blank_or_tab(character)) {
            continue;
        }
        if (character == ',') {
            if (!value_since_comma) {
                ++filled;
            }
            value_since_comma = false;
            continue;
        }
        if (character == '/') {
            break;
        }
        ParsedItem item;
        ItemParser parser(reader, problem);
        if (!parser.parse(character, item)) {
            return false;
        }
        const std::size_t copies = static_cast<std::size_t>(
            std::min<std::uint64_t>(item.count, destinations.size() - filled));
        for (std::size_t copy = 0; copy < copies; ++copy, ++filled) {
            if (item.has_value && destinations[filled] != nullptr) {
                *destinations[filled] = item.value;
            }
        }
        value_since_comma = true;
        have_character = true;  // the character that ended the item is a separator
    }
    if (const int error = reader.finish_line(); error != 0) {
        return read_failed(error);
    }
    return true;
}

}  // namespace lineio
