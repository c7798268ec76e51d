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
//   dates only: yes           a run that corrected the dates of clips renamed before (--dates
//                             JOURNAL): each entry's clip keeps its name, "to:" repeating it
//   <empty line>
//   clip: <old name>          one entry per clip about to be renamed, written ahead in batches,
//     is: <identity>          each batch on the medium before any of its renames is tried
//     to: <corrected name>
//     size: <bytes>           with --dates, the clip's size when its dates were read,
//     field: <offset> <old> <new>   each recorded date to be patched, its bytes in hex,
//     time: <old> <new>       and its last-write time before and after, in nanoseconds
//   claim: <old name>         before an empty placeholder is made under `at` (filesystems
//      at: <claimed name>     without hard links)
//   renamed: <old name>       after the rename, when the name taken is not the corrected one
//        as: <new name>       (a burst number)
//   removed: <old name>       a second name of a file already renamed, removed
//   not renamed: <old name>   a clip the run left as it was
//   restored: <old name>      a clip an undo gave its old name back
//   undo claim: <name>        a placeholder of an undo's own, before it is made
//   end of run: N files renamed
//
// Names are single components inside the folder. The identity is the file number with what tells
// the file from a later one given the same number (identity.hpp), or the size and the last-write
// time in nanoseconds where numbers do not outlive a remount.
//
// A journal without a version line comes from version 1.1.0: pairs "renamed: <path>" and
// "     to: <path>", each written before its rename; the correction read is the one every pair
// shares.
#pragma once

#include <cstdint>
#include <cstdlib>
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
    std::string identity;        // empty in a journal of version 1.1.0
    std::string new_name;        // the corrected name, or for 1.1.0 the name given
    std::string renamed_as;      // the name taken, when the journal got that far
    std::string claimed;         // an empty placeholder the run made for it
    bool never_renamed = false;  // the run left it as it was
    bool restored = false;       // an undo gave it its old name back
    // With --dates: the clip's size, the date fields patched in place, and its last-write time
    // (nanoseconds since the system's epoch) before and after; `dated` tells whether they are
    // there.
    struct Field {
        std::uint64_t offset = 0;
        std::string old_bytes;
        std::string new_bytes;
    };
    bool dated = false;
    std::uint64_t size = 0;
    std::vector<Field> fields{};
    std::int64_t old_time = 0;
    std::int64_t new_time = 0;

    // The name the run gave the clip: the one it took, or else the corrected one.
    const std::string& name_given() const { return renamed_as.empty() ? new_name : renamed_as; }

    // Whether a file last written at `modified` still has the time the run set, as the
    // filesystem keeps it (FAT in steps of 2 s).
    bool holds_time_set(std::int64_t modified) const {
        return dated && std::llabs(modified - new_time) < 2'000'000'000;
    }

    // Empties every member for the next clip, the texts keeping their room (a run reuses its
    // entries from one batch to the next, so that a clip costs no allocation).
    void clear() {
        for (std::string* text : {&old_name, &identity, &new_name, &renamed_as, &claimed}) {
            text->clear();
        }
        never_renamed = restored = dated = false;
        size = 0;
        fields.clear();
        old_time = new_time = 0;
    }
};

struct JournalHead {
    std::string folder;
    std::uint64_t folder_number = 0;
    std::int32_t correction = 0;
    IdentityKind identity_kind = IdentityKind::number_and_birth;
    NameRules names = own_name_rules;
    // The run renamed nothing and corrected dates only. Its correction is still the one of the
    // names the clips bear, so that a later run on the folder is asked before shifting again.
    bool dates_only = false;
};

struct Journal {
    bool legacy = false;  // version 1.1.0: names only
    JournalHead head;
    std::vector<JournalClip> clips;        // in the order written
    std::vector<std::string> undo_claims;  // placeholders of earlier undos
    bool ended = false;
    std::size_t length = 0;      // the bytes of its whole lines, after which the next line goes
    bool encoded_again = false;  // saved again by an editor as UTF-16: read, but never written
};

// What is wrong with a journal's text, or nothing: each refusal names the line and why.
struct JournalProblems {
    bool not_a_journal = false;   // no journal at all: nothing of its own is there
    std::string unknown_version;  // a journal of a version this program does not know
    // Bytes that are no text, where names are text: no journal this program wrote, or one an
    // editor saved in a code page.
    bool neither_utf8_nor_utf16 = false;
    std::vector<std::string> refused;
};

// True when `file` is the clip of the entry `clip`, by its journaled identity. A --dates run set
// the clip's time after the identity was journaled: the time it set, as the filesystem keeps it
// (FAT in steps of 2 s), stands for the one journaled.
bool is_journaled_clip(const JournalClip& clip, platform::FileIdentity file, IdentityKind kind);

// Reads a journal's text (a UTF-8 byte order mark before it is passed over) and checks every
// entry against the rules a journal of this program keeps: names of one component, each new name
// the corrected name of its old one under the recorded correction, or one of its burst variants.
JournalProblems read_journal(std::string_view text, Journal& journal);

// Reads the journal file `name` whole and checks it as read_journal does; `error` is the system's
// error where the file could not be read. A journal saved again by an editor, as UTF-16 in either
// byte order, is read as well; a journal of 1.1.0 in the code page it was written in.
JournalProblems load_journal(const std::string& name, Journal& journal, int& error);

// The journal's folder as a path, read beside the journal itself wherever a link to the journal
// stands (`journal_path`, the journal's own real path); 0 or the system's error.
int locate_journal_folder(const std::string& name, const Journal& journal,
                          std::string& journal_path, std::string& folder_path);
// The same folder as the head of a journal written in the current directory names it: as the
// journal at `journal_path` does where that journal lies here too, otherwise by its full path.
std::string journal_folder_from_here(const Journal& journal, const std::string& journal_path,
                                     const std::string& folder_path);

// Keeps the journal of a real run in the current directory, under a name of the run's local date
// and time that no file bears yet. It is made when the first batch of clips is written, and
// deleted at the end when the run renamed nothing. An undo goes on writing the journal it takes
// back, for the placeholders it makes.
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
    // Remembered, and written with the next batch: a clip of the batch that kept its name.
    void not_renamed(const std::string& old_name);
    // Written at once, before the placeholder is made.
    void claim(const std::string& old_name, const std::string& claimed);
    // Goes on with the journal `name` after its first `length` bytes, its whole lines, for an
    // undo's claims; the file is opened at the first of them.
    void resume(const std::string& name, std::size_t length);
    // Written, and on the medium, before the undo makes a placeholder under `claimed`.
    void undo_claim(const std::string& claimed);
    // Remembered, and written with the undo's next claim or when it is done.
    void restored(const std::string& old_name);
    // Writes what an undo remembered and waits until it is on the medium, where the journal can
    // still take it; a journal that cannot is left as it is.
    void flush();
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
    bool resumed_ = false;
    std::size_t resumed_at_ = 0;
};

// The newest journal of the current directory, by the date and time in its name; empty when
// there is none.
std::string newest_journal();
// The journal `name` as a path from the root, which a person can paste wherever their shell
// stands, the program having perhaps moved beside a dropped folder; `name` itself where that
// cannot be had.
std::string journal_in_full(const std::string& name);

// Every journal of the current directory, newest first.
std::vector<std::string> journals_newest_first();

// The name of a journal's file as it was started: the name of the run, and "-2", "-3", ... for
// runs made within the same second.
std::string journal_file_name(const platform::LocalTime& time, int number);

}  // namespace workflow
