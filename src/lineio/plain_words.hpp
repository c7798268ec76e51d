// The first line of an input/output failure's diagnostic: what went wrong, in the words of the
// person at the console, and what to do about it. The technical lines follow it unchanged.
#pragma once

#include <string>
#include <string_view>

namespace lineio {

// The sentence for a failure of `operation` on `channel` (-1 for none) for `reason`, at `place`
// (as the diagnostic's technical lines give them), without a line end.
std::string plain_words(std::string_view operation, int channel, std::string_view reason,
                        std::string_view place);

}  // namespace lineio
