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

}  // namespace workflow
