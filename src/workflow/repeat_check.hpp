// The same answers given twice would shift every clip twice: before a real run on a folder whose
// clips all still bear the names the newest journal's run gave them, under the same correction,
// the person at the console is asked first.
#pragma once

#include <cstdint>
#include <string_view>

#include "lineio/channels.hpp"

namespace workflow {

// Asks "Shift them again?" when the newest journal here records a run on `folder` with
// `correction` whose clips all still bear the names it gave; any answer but Y or y stops the
// program. Returns at once otherwise.
void ask_before_shifting_again(lineio::Channels& channels, std::string_view folder,
                               std::int32_t correction);

}  // namespace workflow
