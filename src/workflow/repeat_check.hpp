// A second run on a folder that a run shifted before: before the report is opened, the person at
// the console is told which clips still bear the names that run gave them, and asked first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "lineio/channels.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/journal.hpp"

namespace workflow {

// A clip whose dates a run of dates only (--dates JOURNAL) corrected, and no undo gave back: that
// run's entry, the identity kind of its journal, and the journal.
struct DatesRun {
    JournalClip clip;
    IdentityKind kind;
    std::string journal;
};
// By the name the clip bears.
using DatesRuns = std::unordered_map<std::string, DatesRun>;

// Every clip the runs of dates only whose journals are here corrected in the folder `clips`
// opened at `folder_path`, the newest run's where two did.
DatesRuns dates_runs_on(const ClipFolder& clips, const std::string& folder_path);

// The run whose correction the file `file`, named `name`, still holds (the time it set), or
// nullptr.
const DatesRun* dates_run_of(const std::string& name, const FileIdentity& file,
                             const DatesRuns& runs);

// Looks for the newest journal here of a run on `folder` (the same folder by its number, or by
// its real path where the filesystem keeps no numbers) some of whose clips still bear the names
// it gave, each checked by identity (a run of dates only since renamed nothing: a clip whose time
// it changed is known by the identity it read). When there is one, says how many, which journal
// and its correction, and how to start again from the original names, then asks:
// - under the same correction, with clips that run never renamed still under their old names,
//   whether to rename only those: Y or y puts the shifted clips' names in `leave`;
// - otherwise whether to shift them again.
// Any answer but Y or y stops the program. Returns at once when there is no such journal.
void ask_before_shifting_again(lineio::Channels& channels, std::string_view folder,
                               std::int32_t correction, std::string_view program,
                               std::unordered_set<std::string>& leave);

}  // namespace workflow
