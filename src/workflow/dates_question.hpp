// Whether a run corrects the clips' dates too, asked of a person at a terminal, shown what that
// does to the first clip.
#pragma once

#include <cstdint>
#include <string_view>

#include "lineio/channels.hpp"
#include "workflow/renamer.hpp"

namespace workflow {

// Shows the file time and recorded date of the clip `name` of `clips` (nullptr: a folder that
// could not be opened), now and after correcting them by `correction` minutes, read only;
// `planned` is its corrected name (see plan_dates).
void show_first_clip(lineio::Channels& channels, const ClipFolder* clips, std::string_view name,
                     std::string_view planned, std::int32_t correction);

// Shows what correcting the dates would do to `first_clip` of `folder` (its file time and
// recorded date, now and after `correction` minutes), then asks whether to correct every clip's
// dates with its name: Y or y turns them on for `renamer`, any other answer off. Asks nothing
// when that clip has no corrected name.
void ask_about_dates(lineio::Channels& channels, Renamer& renamer, std::string_view folder,
                     std::string_view first_clip, std::int32_t correction);

}  // namespace workflow
