#include "workflow/layouts.hpp"

#include <map>
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

const LineLayout& outcome_layout(int message_width, bool leading_blank) {
    static const auto make = [](int width, bool blank) {
        LineLayout layout;
        if (blank) {
            layout.emplace_back(Skip{1});
        }
        layout.emplace_back(TextField{width});
        layout.emplace_back(RepeatedGroup{static_cast<int>(path_width), {TextField{1}}});
        return layout;
    };
    static const std::map<std::pair<int, bool>, LineLayout> layouts{
        {{21, false}, make(21, false)},
        {{21, true}, make(21, true)},
        {{17, false}, make(17, false)},
        {{17, true}, make(17, true)},
    };
    return layouts.at({message_width, leading_blank});
}

}  // namespace workflow
