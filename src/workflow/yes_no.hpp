// A question that a person at the console answers with Y or N.
#pragma once

#include <string_view>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"

namespace workflow {

// Asks `question` on the console; true when the answer starts with Y or y.
inline bool answered_yes(lineio::Channels& channels, std::string_view question) {
    channels.text_line(lineio::console_output, question);
    lineio::FixedText<1> answer;
    channels.field_input(lineio::console_input, 1, answer.span());
    return answer.chars[0] == 'Y' || answer.chars[0] == 'y';
}

}  // namespace workflow
