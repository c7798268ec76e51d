// Rendering of the program's output lines, without their line ends.
//
// A list-style line puts one blank in front, renders integers in 12 columns and separates items
// by one blank (none between two texts). A formatted line follows a line layout of text fields,
// integer fields, skips and repeated groups, and ends at the last column a field wrote.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lineio {

// One item of an output line: a text with its length, or a signed 32-bit integer.
using Item = std::variant<std::string_view, std::int32_t>;

struct TextField {
    int width;
};
struct IntegerField {
    int width;
};
struct Skip {
    int columns;
};
struct RepeatedGroup;
using LayoutElement = std::variant<TextField, IntegerField, Skip, RepeatedGroup>;
struct RepeatedGroup {
    int count;
    std::vector<LayoutElement> elements;
};
using LineLayout = std::vector<LayoutElement>;

// Appends the list-style rendering of `items` to `line`. Should the line pass column 79, it is
// broken with a carriage return and line feed and goes on behind a new leading blank. No final
// line end is appended; an empty item list appends nothing.
void render_list_line(std::span<const Item> items, std::string& line);

// Appends the rendering of `items` under `layout` to `line`. Texts are right-aligned in their
// fields and cut to them; an integer too wide for its field shows as asterisks. The walk ends at
// the first field for which no item is left. No line end is appended.
void render_formatted_line(const LineLayout& layout, std::span<const Item> items,
                           std::string& line);

}  // namespace lineio
