// The undo journal: a plain-text file, beside the report, from which --undo takes a run back.
// Lines end in CR LF; names are raw bytes, which hold no CR, LF or NUL, so the fixed prefixes and
// the line end delimit them:
//
//   DoridivezizoziRUR undo journal
//   version: 2
//   <two lines on what the file is and how to undo the run>
//   folder: <the folder as typed>
//   folder number: <the folder's file number, 0 where numbers do not last>
//   correction: <minutes>
//   identity: number and birth time | number, size and time | size and time | number
//   system: POSIX | Windows   whose name rules the names keep
//   <empty line>
//   clip: <old name>          one entry per clip about to be renamed, written ahead in batches,
//     is: <identity>          each batch on the medium before any of its renames is tried
//     to: <corrected name>
//   claim: <old name>         before an empty placeholder is made under `at` (filesystems
//      at: <claimed name>     without hard links)
//   renamed: <old name>       after the rename, when the name taken is not the corrected one
//        as: <new name>       (a burst number)
//   removed: <old name>       a second name of a file already renamed, removed
//   undo claim: <name>        a placeholder of an undo's own, before it is made
//   end of run: N files renamed
//
// Names are single components inside the folder. The identity is the file number with what tells
// the file from a later one given the same number (identity.hpp), or the size and the last-write
// time in nanoseconds where numbers do not outlive a remount.
//
// A journal without a version line comes from version 1.1.0: pairs "renamed: <path>" and
// "     to: <path>", each written before its rename.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lineio/channels.hpp"
#include "platform/platform.hpp"
#include "version.hpp"
#include "workflow/identity.hpp"

namespace workflow {

using rur::journal_name_start;
using rur::journal_title;

// What a journal records of one file: its name before the run, what tells it from other files,
// and the corrected name it was meant to get, with what the run then did.
struct JournalClip {
    std::string old_name;
    std::string identity;    // empty in a journal of version 1.1.0
    std::string new_name;    // the corrected name, or for 1.1.0 the name given
    std::string renamed_as;  // the name taken, when the journal got that far
    std::string claimed;     // an empty placeholder the run made for it
};

struct JournalHead {
    std::string folder;
    std::uint64_t folder_number = 0;
    std::int32_t correction = 0;
    IdentityKind identity_kind = IdentityKind::number_and_birth;
    NameRules names = own_name_rules;
};

struct Journal {
    bool legacy = false;  // version 1.1.0: names only
    JournalHead head;
    std::vector<JournalClip> clips;        // in the order written
    std::vector<std::string> undo_claims;  // placeholders of earlier undos
    bool ended = false;
};

// What is wrong with a journal's text, or nothing: each refusal names the line and why.
struct JournalProblems {
    bool not_a_journal = false;  // no journal at all: nothing of its own is there
    std::vector<std::string> refused;
};

// Reads a journal's text (a UTF-8 byte order mark before it is passed over) and checks every
// entry against the rules a journal of this program keeps: names of one component, each new name
// the corrected name of its old one under the recorded correction, or one of its burst variants.
JournalProblems read_journal(std::string_view text, Journal& journal);

// Keeps the journal of a real run in the current directory, under a name of the run's local date
// and time that no file bears yet. It is made when the first batch of clips is written, and
// deleted at the end when the run renamed nothing.
class JournalWriter {
  public:
    JournalWriter(lineio::Channels& channels, const std::string& program)
        : channels_(channels), program_(program) {}

    void start(JournalHead head) { head_ = std::move(head); }
    // Writes the entries of the clips about to be renamed, with whatever the journal still owes,
    // and waits until they are on the medium. The first call makes the journal.
    void write_ahead(std::span<const JournalClip> clips);
    // Remembered, and written with the next batch when it is not the `planned` name the entry
    // gave: undo finds the clip without it too.
    void renamed(const std::string& old_name, const std::string& new_name,
                 const std::string& planned);
    void removed(const std::string& old_name);
    // Written at once, before the placeholder is made.
    void claim(const std::string& old_name, const std::string& claimed);
    // Writes the "end of run" line, or deletes the journal when the run renamed nothing.
    void close(std::int32_t renamed_count);
    // The journal's name, or empty when there is none.
    const std::string& name() const { return name_; }

  private:
    bool create();
    void write(std::string_view text);
    void check(int error);

    lineio::Channels& channels_;
    std::string program_;
    platform::File file_;
    JournalHead head_;
    std::string name_;
    std::string owed_;  // lines written with the next batch
    bool unavailable_ = false;
    bool renamed_any_ = false;
};

// The newest journal of the current directory, by the date and time in its name; empty when
// there is none.
std::string newest_journal();

// The name of a journal's file as it was started: the name of the run, and "-2", "-3", ... for
// runs made within the same second.
std::string journal_file_name(const platform::LocalTime& time, int number);

}  // namespace workflow
