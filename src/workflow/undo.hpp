// Taking a run back: every rename of an undo journal undone, newest first, with the rename that
// never replaces a file. Asks a question only of a journal
// dropped onto the program.
#pragma once

#include <string>
#include <string_view>

#include "lineio/channels.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/journal.hpp"

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

// Ends the program with a failure to read or follow the journal `name`, at `place` (the file
// itself when empty).
[[noreturn]] void fail_journal(lineio::Channels& channels, const std::string& name,
                               std::string reason, lineio::Cause cause = lineio::Cause::other,
                               std::string place = {});

// Reads the journal `name` as the undo takes it, with the journal's real path and its folder's
// path beside it; ends the program where it cannot be read, is none, or holds anything no run of
// this program writes.
void load_journal_to_follow(lineio::Channels& channels, const std::string& name, Journal& journal,
                            std::string& journal_path, std::string& folder_path);

// Opens `folder` on the journal's folder, never through a symbolic link, with `self` its
// identity; ends the program where the folder belies the journal's head or is not the one the
// run worked in.
void open_journal_folder(lineio::Channels& channels, const std::string& name,
                         const Journal& journal, RealFolder& folder, const std::string& folder_path,
                         const std::string& journal_path, FileIdentity& self);

}  // namespace workflow
