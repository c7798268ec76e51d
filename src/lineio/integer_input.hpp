// Whitespace-separated integer input: values separated by blanks, tabs, commas or line ends,
// null values, repeat counts and the slash that ends the input early.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "lineio/line_reader.hpp"

namespace lineio {

// Why integer input could not fill its destinations.
struct IntegerInputProblem {
    enum class Kind { none, read_error, input_ended, bad_item };
    Kind kind = Kind::none;
    int error = 0;       // the error number of a read_error
    std::string reason;  // for a bad_item: what is wrong with it
    long long line = 0;  // the line of a bad_item
};

// Fills `destinations` in order from the reader's next lines; null values and a slash leave
// destinations as they were. Passes over the rest of the line on which the input ends. Returns
// false, with `problem` set, when the input ends first, fails, or holds an item that is no
// signed 32-bit decimal integer.
bool read_integers(LineReader& reader, std::span<std::int32_t* const> destinations,
                   IntegerInputProblem& problem);

}  // namespace lineio
