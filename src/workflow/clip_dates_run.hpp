// What --dates does to one renamed clip: its file time, and the dates recorded inside it where
// they agree with its old name. Planned from the container before the clip's journal entry is
// written, so that the entry holds every byte and time to be changed; carried out after the
// rename, once the clip is checked to be the one read. The clip is opened once, when it is read,
// and the plan holds it open until its patch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "workflow/clip_folder.hpp"
#include "workflow/journal.hpp"

namespace workflow {

// Each clip of a batch stays open from its reading to its patch: a batch of clips whose dates are
// corrected holds at most this many, far below the 1,024 files a process may have open by
// default.
inline constexpr std::size_t largest_dated_batch = 256;

// A clip's dates line where no undo journal could be made.
inline constexpr char unjournaled_dates_line[] =
    "  Dates left: without an undo journal no date is changed";

struct DatePlan {
    std::string left;            // why none of the clip's dates change (a hard link, no read)
    std::string recorded_left;   // why its recorded dates stay as they are
    FileIdentity identity;       // the clip as read
    std::int64_t created = 0;    // its creation time as recorded, seconds since 1970, and whether
    bool has_created = false;    // it holds one
    bool created_local = false;  // the creation time is a local one (AVI), not UTC
    std::int64_t shift = 0;      // seconds
    ClipFile file;               // open from the reading to the patch, where there is one
    int write_error = 0;         // why the clip could only be opened to read
};

// Opens the clip `entry.old_name` of `folder`, reads it and fills in the dates lines of its
// journal entry (`entry.dated` and what follows it) and `plan`. `planned` is the clip's corrected
// name under `correction` minutes as its renaming planned it, whose date and time less the
// correction are its old name's: the name a run is about to give it, or for a clip renamed
// earlier the name that run planned, which a burst number may have replaced since. With
// `to_patch` the clip is opened to be written too, and kept open in the plan where there is
// something to correct. Sets `identity` to the clip's, from the open clip where it opens,
// otherwise from its name; returns 0, or the error with which the name could not be identified.
int plan_dates(const ClipFolder& folder, std::int32_t correction, std::string_view planned,
               bool to_patch, JournalClip& entry, DatePlan& plan, FileIdentity& identity);

// After the clip took `new_name`: checks that the name is the clip read, with the journaled
// bytes at each offset and one name only, patches its fields in place and sets its file time
// last. Returns the line that tells what was corrected or left and why; `corrected` whether
// recorded dates were.
std::string correct_dates(const ClipFolder& folder, const std::string& new_name,
                          const JournalClip& entry, const DatePlan& plan, bool& corrected);

// The clip's file time and recorded date as they are and as a run would make them, in two lines
// for a person deciding whether to correct them (the file time in local time).
std::string dates_now_and_after(const JournalClip& entry, const DatePlan& plan);

// What a real run would do, for a preview.
std::string foretell_dates(const JournalClip& entry, const DatePlan& plan, bool& corrected);

// Takes back what a run did to the dates of the clip now named `name`, of journal entry `entry`:
// the bytes first, a field only where it holds the new bytes or a mix of old and new that a torn
// write leaves, then the file time, where it is still the one the run set (to FAT's 2 seconds) or
// where the clip holds journaled fields. Returns empty, or why not; `retry` tells a failure that
// a later undo may get past, for which the clip keeps the run's name until then.
std::string undo_dates(const ClipFolder& folder, const std::string& name, const JournalClip& entry,
                       bool& retry);

// Whether the clip `name`, of the size journaled, holds each journaled field's old or new bytes:
// how the clip is known where the identity is its size and file time, the time being changed.
bool holds_journaled_bytes(const ClipFolder& folder, const std::string& name,
                           const JournalClip& entry);

}  // namespace workflow
