#include "workflow/layouts.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>
#include <utility>

namespace workflow {

using lineio::IntegerField;
using lineio::LineLayout;
using lineio::RepeatedGroup;
using lineio::Skip;
using lineio::TextField;

const LineLayout& text_layout(int width) {
    static const std::map<int, LineLayout> layouts{
        {56, {TextField{56}}},
        {75, {TextField{75}}},
        {76, {TextField{76}}},
    };
    return layouts.at(width);
}

const LineLayout& summary_layout() {
    static const LineLayout layout{IntegerField{6}, TextField{27}};
    return layout;
}

const LineLayout& report_timestamp_layout() {
    static const LineLayout layout{IntegerField{4}, Skip{1},
                                   RepeatedGroup{5, {IntegerField{2}, Skip{1}}}};
    return layout;
}

const LineLayout& report_correction_layout() {
    static const LineLayout layout{TextField{21}, IntegerField{8}};
    return layout;
}

const LineLayout& file_name_layout() {
    static const LineLayout layout{TextField{12}, TextField{23}};
    return layout;
}

const LineLayout& outcome_layout(int message_width, bool leading_blank, std::size_t path_length) {
    // One layout for each message, console or report, and path length, made once: the pass asks
    // for two of them for every file.
    using LayoutsByPathLength = std::array<LineLayout, path_width + 1>;
    static const auto make = [](int width, bool blank) {
        LayoutsByPathLength layouts;
        for (std::size_t length = 0; length <= path_width; ++length) {
            LineLayout& layout = layouts[length];
            if (blank) {
                layout.emplace_back(Skip{1});
            }
            layout.emplace_back(TextField{width});
            if (length > 0) {
                layout.emplace_back(TextField{static_cast<int>(length)});
            }
        }
        return layouts;
    };
    constexpr std::array<int, 2> message_widths{21, 17};
    static const std::array<std::array<LayoutsByPathLength, 2>, message_widths.size()> layouts{{
        {make(message_widths[0], false), make(message_widths[0], true)},
        {make(message_widths[1], false), make(message_widths[1], true)},
    }};
    const auto* const known =
        std::find(message_widths.begin(), message_widths.end(), message_width);
    if (known == message_widths.end()) {
        throw std::out_of_range("no outcome layout for a message of that width");
    }
    return layouts[static_cast<std::size_t>(known - message_widths.begin())][leading_blank ? 1 : 0]
        .at(path_length);
}

}  // namespace workflow
