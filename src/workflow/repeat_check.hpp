// A second run on a folder that a run shifted before: before the report is opened, the person at
// the console is told which clips still bear the names that run gave them, and asked first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

#include "lineio/channels.hpp"

namespace workflow {

// Looks for the newest journal here of a run on `folder` (the same folder by its number, or by
// its real path where the filesystem keeps no numbers) some of whose clips still bear the names
// it gave, each checked by identity. When there is one, says how many, which journal and its
// correction, and how to start again from the original names, then asks:
// - under the same correction, with clips that run never renamed still under their old names,
//   whether to rename only those: Y or y puts the shifted clips' names in `leave`;
// - otherwise whether to shift them again.
// Any answer but Y or y stops the program. Returns at once when there is no such journal.
void ask_before_shifting_again(lineio::Channels& channels, std::string_view folder,
                               std::int32_t correction, std::string_view program,
                               std::unordered_set<std::string>& leave);

}  // namespace workflow
