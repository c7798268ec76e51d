// Whether a run corrects the clips' dates too, asked of a person at a terminal.
#pragma once

#include <cstdint>
#include <string_view>

#include "lineio/channels.hpp"
#include "workflow/renamer.hpp"

namespace workflow {

// Shows what correcting the dates would do to `first_clip` of `folder` (its file time and
// recorded date, now and after `correction` minutes), then asks whether to correct every clip's
// dates with its name: Y or y turns them on for `renamer`, any other answer off. Asks nothing
// when that clip has no corrected name.
void ask_about_dates(lineio::Channels& channels, Renamer& renamer, std::string_view folder,
                     std::string_view first_clip, std::int32_t correction);

}  // namespace workflow
