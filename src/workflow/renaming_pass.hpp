// The renaming pass: every listed video file renamed to its corrected date and time, with a burst
// number in place of the seconds when that name is taken, and every outcome in the report file.
#pragma once

#include "lineio/channels.hpp"
#include "workflow/renamer.hpp"
#include "workflow/renaming_job.hpp"

namespace workflow {

// Renames every file of the listing in `renamer`'s folder, and has `renamer` write the report's
// head before the first file, tell each outcome and write the summary lines, with the count of
// files renamed, after the last. Returns with the listing closed.
void run_renaming_pass(lineio::Channels& channels, const RenamingJob& job, Renamer& renamer);

}  // namespace workflow
