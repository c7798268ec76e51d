// Taking a run back: every rename of an undo journal undone, newest first, with the rename that
// never replaces a file. Asks a question only of a journal
// dropped onto the program.
#pragma once

#include <string_view>

#include "lineio/channels.hpp"

namespace workflow {

// Shows one line per rename and a summary, then ends the program: exit status 0 when every file
// bears its old name again, 1 when any does not. A journal that cannot be read, or is none, is an
// input/output failure. Paths in the journal are taken from the journal's own folder, where the
// run was made.
// With `ask_first` (a journal dropped onto the program), the person is first asked for Y, told the
// folder and the number of clips; any other answer ends the program having touched nothing.
[[noreturn]] void run_undo(lineio::Channels& channels, std::string_view journal_name,
                           bool ask_first = false);

// True when the file `name` can be read and holds an undo journal of this program, whatever its
// entries; a dropped file is taken for one only then.
bool is_undo_journal(const std::string& name);

}  // namespace workflow
