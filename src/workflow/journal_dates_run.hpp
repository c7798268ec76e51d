// --dates JOURNAL: the dates of clips that an earlier run renamed without correcting them (a run
// of 1.1.0, or one whose dates question was answered no), corrected afterwards as that run would
// have: each clip's file time, and the dates recorded inside it where they agree with the name it
// had before that run. A run of its own, journaled ahead of every change, which --undo of its
// journal takes back.
#pragma once

#include <string>

#include "lineio/channels.hpp"

namespace workflow {

// Corrects, in the folder of the journal `journal_name`, the dates of each clip its run renamed
// that still bears the name the run gave it and is, by its identity, the clip renamed; tells each
// clip's outcome and how many clips' recorded dates were corrected. A person at the console is
// asked first. Exit status 0 once done; a journal that cannot be read or followed is an
// input/output failure. `program` names the program in the command that takes the run back.
[[noreturn]] void run_journal_dates(lineio::Channels& channels, const std::string& journal_name,
                                    const std::string& program);

}  // namespace workflow
