// Formatted and list-style line rendering over random layouts and items.
//
// The bytes are decoded into a line layout (text fields, integer fields, skips, repeated groups
// nested two deep, widths below 0 included) and a list of items, texts of any bytes and 32-bit
// integers. Each rendering is compared with one computed here from a flattened layout, column by
// column, and checked for what must hold whatever the input: what was in the line before stays,
// no formatted line is wider than its layout or ends in a blank that only a skip made, and a
// list-style line passes column 79 only where a single text is that long.
//
// Encoding, from the front: one byte, the number (0 to 7) of bytes already in the line; those
// bytes; the layout's elements up to a byte 0xFF, each an operation byte (its value modulo 4: text
// field, integer field, skip, repeated group) and a signed byte (width or columns; for a group its
// count, taken modulo 128 (modulo 16 inside a group) less 2), a group followed by its elements up
// to a byte 0xFE, at most 64 elements in all; then items, each a byte (even: a text of as many
// bytes as the next byte says; odd: an integer of four bytes, least significant first).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "fuzz_support.hpp"
#include "lineio/channels.hpp"
#include "lineio/line_layout.hpp"
#include "support/fake_console.hpp"

namespace {

using fuzz_support::ByteReader;
using fuzz_support::require;
using lineio::Item;
using lineio::LayoutElement;

constexpr std::uint8_t end_of_layout = 0xFF;
constexpr std::uint8_t end_of_group = 0xFE;
constexpr int deepest_group = 2;
constexpr std::size_t most_elements = 64;
constexpr std::size_t most_items = 256;
constexpr std::size_t list_line_columns = 79;

// `budget` counts the elements still to be decoded in the whole layout.
std::vector<LayoutElement> decode_elements(ByteReader& bytes, int depth, std::size_t& budget) {
    std::vector<LayoutElement> elements;
    while (!bytes.empty() && budget > 0) {
        --budget;
        const std::uint8_t operation = bytes.byte();
        if (operation == end_of_layout || (operation == end_of_group && depth > 0)) {
            break;
        }
        const int value = bytes.signed_byte();
        switch (operation % 4) {
            case 0:
                elements.emplace_back(lineio::TextField{value});
                break;
            case 1:
                elements.emplace_back(lineio::IntegerField{value});
                break;
            case 3:
                if (depth < deepest_group) {
                    // Counts from -2 on, up to 125 outside and 13 inside: enough for the
                    // program's own layouts, few enough to stay fast.
                    const int count = static_cast<int>(static_cast<std::uint8_t>(value) %
                                                       (depth == 0 ? 128 : 16)) -
                                      2;
                    elements.emplace_back(
                        lineio::RepeatedGroup{count, decode_elements(bytes, depth + 1, budget)});
                    break;
                }
                [[fallthrough]];
            default:
                elements.emplace_back(lineio::Skip{value});
                break;
        }
    }
    return elements;
}

std::vector<Item> decode_items(ByteReader& bytes) {
    std::vector<Item> items;
    while (!bytes.empty() && items.size() < most_items) {
        if (bytes.byte() % 2 == 0) {
            items.emplace_back(bytes.bytes(bytes.byte()));
        } else {
            items.emplace_back(bytes.int32());
        }
    }
    return items;
}

// One element of the layout with its groups unrolled.
struct FlatElement {
    enum class Kind { text, integer, skip } kind;
    std::size_t columns;  // a width or a number of columns skipped; below 0 counts as 0
};

std::size_t at_least_zero(int value) {
    return static_cast<std::size_t>(std::max(value, 0));
}

void flatten(const std::vector<LayoutElement>& elements, std::vector<FlatElement>& flat) {
    for (const LayoutElement& element : elements) {
        if (const auto* text = std::get_if<lineio::TextField>(&element)) {
            flat.push_back({FlatElement::Kind::text, at_least_zero(text->width)});
        } else if (const auto* integer = std::get_if<lineio::IntegerField>(&element)) {
            flat.push_back({FlatElement::Kind::integer, at_least_zero(integer->width)});
        } else if (const auto* skip = std::get_if<lineio::Skip>(&element)) {
            flat.push_back({FlatElement::Kind::skip, at_least_zero(skip->columns)});
        } else {
            const auto& group = std::get<lineio::RepeatedGroup>(element);
            for (int round = 0; round < group.count; ++round) {
                flatten(group.elements, flat);
            }
        }
    }
}

std::string right_aligned(const std::string& text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

// A field's characters: texts cut to the field, integers as asterisks when too wide, and a text
// where an integer belongs (or the other way round) as asterisks as well.
std::string field_characters(const FlatElement& field, const Item& item) {
    const std::size_t width = field.columns;
    if (field.kind == FlatElement::Kind::text) {
        if (const auto* text = std::get_if<std::string_view>(&item)) {
            return text->size() >= width ? std::string(text->substr(0, width))
                                         : right_aligned(std::string(*text), width);
        }
        return std::string(width, '*');
    }
    if (const auto* value = std::get_if<std::int32_t>(&item)) {
        const std::string digits = std::to_string(*value);
        return digits.size() > width ? std::string(width, '*') : right_aligned(digits, width);
    }
    return std::string(width, '*');
}

struct ExpectedFormatted {
    std::string line;
    std::size_t layout_columns = 0;  // the columns of every element walked
};

ExpectedFormatted expected_formatted(const std::vector<FlatElement>& flat,
                                     const std::vector<Item>& items) {
    ExpectedFormatted expected;
    std::size_t column = 0;
    std::size_t furthest = 0;
    std::size_t next_item = 0;
    for (const FlatElement& element : flat) {
        if (element.kind != FlatElement::Kind::skip && next_item == items.size()) {
            break;
        }
        expected.layout_columns += element.columns;
        if (element.kind == FlatElement::Kind::skip) {
            column += element.columns;
            continue;
        }
        const std::string characters = field_characters(element, items[next_item++]);
        if (expected.line.size() < column + characters.size()) {
            expected.line.resize(column + characters.size(), ' ');
        }
        expected.line.replace(column, characters.size(), characters);
        column += characters.size();
        if (!characters.empty()) {
            furthest = column;
        }
    }
    expected.line.resize(furthest);
    return expected;
}

std::string expected_list(const std::vector<Item>& items) {
    std::string line;
    std::size_t columns = 0;
    const auto append = [&](const std::string& piece) {
        if (columns == 0) {
            line.push_back(' ');
            columns = 1;
        } else if (columns + piece.size() > list_line_columns) {
            line.append("\r\n ");
            columns = 1;
        }
        line.append(piece);
        columns += piece.size();
    };
    bool previous_was_text = false;
    for (std::size_t index = 0; index < items.size(); ++index) {
        const auto* text = std::get_if<std::string_view>(&items[index]);
        if (index > 0 && !(text != nullptr && previous_was_text)) {
            append(" ");
        }
        append(text != nullptr
                   ? std::string(*text)
                   : right_aligned(std::to_string(std::get<std::int32_t>(items[index])), 12));
        previous_was_text = text != nullptr;
    }
    return line;
}

bool holds_line_break(const std::vector<Item>& items) {
    return std::any_of(items.begin(), items.end(), [](const Item& item) {
        const auto* text = std::get_if<std::string_view>(&item);
        return text != nullptr && text->find_first_of("\r\n") != std::string_view::npos;
    });
}

// Every physical line of a list-style line begins with its blank, and is at most 79 columns
// unless it holds nothing but one long text.
void check_list_line_shape(const std::string& line, const std::vector<Item>& items) {
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = line.find("\r\n", start);
        if (end == std::string::npos) {
            end = line.size();
        }
        const std::string_view physical(line.data() + start, end - start);
        require(physical.starts_with(' '), "every line of a list-style line begins with a blank");
        if (physical.size() > list_line_columns) {
            const std::string_view piece = physical.substr(1);
            require(std::any_of(items.begin(), items.end(),
                                [piece](const Item& item) {
                                    const auto* text = std::get_if<std::string_view>(&item);
                                    return text != nullptr && *text == piece;
                                }),
                    "only a single long text passes column 79");
        }
        start = end + 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader bytes(data, size);
    const std::string before(bytes.bytes(bytes.byte() % 8));
    std::size_t budget = most_elements;
    const lineio::LineLayout layout = decode_elements(bytes, 0, budget);
    const std::vector<Item> items = decode_items(bytes);

    std::vector<FlatElement> flat;
    flatten(layout, flat);
    const ExpectedFormatted expected = expected_formatted(flat, items);

    std::string line = before;
    lineio::render_formatted_line(layout, items, line);
    require(line.starts_with(before), "rendering keeps what the line held");
    const std::string_view rendered = std::string_view(line).substr(before.size());
    require(rendered.size() <= expected.layout_columns, "no line is wider than its layout");
    require(rendered == expected.line, "the formatted line is the one computed column by column");

    // The same line through a channel: on the console, followed by its line end.
    test_support::FakeConsole console;
    {
        lineio::Channels channels(console);
        channels.formatted_line(lineio::console_output, layout, items);
    }
    require(console.output == expected.line + "\r\n", "a channel writes the line and its end");

    line = before;
    lineio::render_list_line(items, line);
    require(line.starts_with(before), "rendering keeps what the line held");
    const std::string listed = line.substr(before.size());
    require(listed == expected_list(items),
            "the list-style line is the one computed piece by piece");
    if (!holds_line_break(items)) {
        check_list_line_shape(listed, items);
    }
    return 0;
}
