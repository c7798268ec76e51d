#include "workflow/layouts.hpp"

namespace workflow {

using lineio::IntegerField;
using lineio::LineLayout;
using lineio::RepeatedGroup;
using lineio::Skip;
using lineio::TextField;

LineLayout text_layout(int width) {
    return {TextField{width}};
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

LineLayout outcome_layout(int message_width, bool leading_blank, std::size_t path_length) {
    LineLayout layout;
    layout.reserve(3);
    if (leading_blank) {
        layout.emplace_back(Skip{1});
    }
    layout.emplace_back(TextField{message_width});
    if (path_length > 0) {
        layout.emplace_back(TextField{static_cast<int>(path_length)});
    }
    return layout;
}

}  // namespace workflow
