// Taking a run back: every rename of an undo journal undone, newest first, with the rename that
// never replaces a file. Asks no question.
#pragma once

#include <string_view>

#include "lineio/channels.hpp"

namespace workflow {

// Shows one line per rename and a summary, then ends the program: exit status 0 when every file
// bears its old name again, 1 when any does not. A journal that cannot be read, or is none, is an
// input/output failure. Paths in the journal are taken from the journal's own folder, where the
// run was made.
[[noreturn]] void run_undo(lineio::Channels& channels, std::string_view journal_name);

}  // namespace workflow
