// Whitespace-separated integer input: values separated by blanks, tabs, commas or line ends,
// null values, repeat counts and the slash that ends the input early.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace lineio {

// What integer input came to.
struct IntegerInputResult {
    enum class Kind { filled, input_ended, bad_item };
    // What is wrong with a bad item.
    // `slash_too_early` is no fault of the grammar's, only of a person's answer: see
    // Channels::typed_integer_input.
    enum class Fault { none, not_an_integer, zero_repeat_count, out_of_range, slash_too_early };
    Kind kind = Kind::filled;
    Fault fault = Fault::none;
    std::string item;    // a bad item's start as it may be shown, control bytes as '?'
    std::string reason;  // for a bad_item: what is wrong with it, in words
    // How many destinations were filled, null values included; fewer than all with Kind::filled
    // when a slash ended the input.
    std::size_t filled = 0;
};

// Hands out the next line of the input; false when it holds none.
using NextLine = std::function<bool(std::string_view& line)>;

// Fills `destinations` in order from the values on the lines that `next_line` hands out, as many
// lines as it takes; null values and a slash leave destinations as they were, and the rest of the
// line on which the input ends is passed over. A bad_item is on the last line handed out.
IntegerInputResult read_integers(const NextLine& next_line,
                                 std::span<std::int32_t* const> destinations);

}  // namespace lineio
