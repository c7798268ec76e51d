// Texts that come from files and from what was typed may hold control characters, and a crafted
// one could steer a terminal (retitle it, hide lines). This is the one filter they pass on their
// way to a person.
#pragma once

#include <string>
#include <string_view>

namespace lineio {

// `text` with every control character shown as '?': the bytes below 32, DEL, and the C1 controls
// U+0080 to U+009F as UTF-8 writes them (C2 80 to C2 9F), each as one '?'. Every byte that is not
// part of well-formed UTF-8 is one '?' as well: a terminal that reads 8-bit controls takes a lone
// 0x9B for the start of a control sequence, and a stray lead byte would swallow what follows it.
// With `keep_line_ends`, a carriage return before a line feed and the line feed stay.
std::string printable(std::string_view text, bool keep_line_ends = false);

}  // namespace lineio
