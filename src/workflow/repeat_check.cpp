#include "workflow/repeat_check.hpp"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "lineio/fixed_text.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/journal.hpp"
#include "workflow/options.hpp"
#include "workflow/yes_no.hpp"

namespace workflow {
namespace {

// What an earlier run left in the folder.
struct EarlierRun {
    std::string journal;
    std::int32_t correction = 0;
    std::vector<std::string> shifted;  // the names its renamed clips still bear
    long long not_shifted = 0;         // its clips it never renamed, still under their names
    // The runs of dates only since, newest first, that corrected the dates of shifted clips: they
    // are taken back first, the clips' times being theirs.
    std::vector<std::string> dates_runs;
};

// The folder's real path, or empty where it cannot be had.
std::string real_path_of(const std::string& path) {
    std::string resolved;
    return platform::real_path(path, resolved) == 0 ? resolved : std::string();
}

// Hands `visit` the name and text of each journal here of a run on the folder `clips` opened,
// newest first, until it returns false; a journal that is refused, or of 1.1.0, is passed over.
void for_each_run_on(const ClipFolder& clips, const std::string& folder_path,
                     const std::function<bool(const std::string&, const Journal&)>& visit) {
    FileIdentity self;
    const std::uint64_t number =
        clips.keeps_file_numbers() && clips.identify_self(self) == 0 ? self.index : 0;
    const std::string real_folder = number == 0 ? real_path_of(folder_path) : std::string();
    for (const std::string& name : journals_newest_first()) {
        Journal journal;
        int error = 0;
        std::string journal_path;
        std::string journal_folder;
        if (!load_journal(name, journal, error).refused.empty() || error != 0 || journal.legacy ||
            locate_journal_folder(name, journal, journal_path, journal_folder) != 0) {
            continue;
        }
        const bool same_folder =
            number != 0 ? journal.head.folder_number == number
                        : !real_folder.empty() && real_path_of(journal_folder) == real_folder;
        if (same_folder && !visit(name, journal)) {
            return;
        }
    }
}

// Notes each clip whose dates the run of dates only `journal` corrected, and no undo gave back,
// under the name it bears, unless a newer run noted it first.
void note_dates_run(const std::string& name, const Journal& journal, DatesRuns& runs) {
    for (const JournalClip& clip : journal.clips) {
        if (clip.dated && !clip.restored) {
            runs.try_emplace(clip.old_name, DatesRun{clip, journal.head.identity_kind, name});
        }
    }
}

// What the newest journal here of a run on the folder `clips` opened tells; an empty journal
// name where none does.
EarlierRun find_earlier_run(const ClipFolder& clips, const std::string& folder_path) {
    EarlierRun earlier;
    DatesRuns since;
    for_each_run_on(clips, folder_path, [&](const std::string& name, const Journal& journal) {
        if (journal.head.dates_only) {
            // It renamed nothing: the names are an older run's, whose clips' times it changed.
            note_dates_run(name, journal, since);
            return true;
        }
        const IdentityKind kind = journal.head.identity_kind;
        earlier = {name, journal.head.correction, {}, 0, {}};
        for (const JournalClip& clip : journal.clips) {
            const std::string& given = clip.name_given();
            FileIdentity file;
            if (clip.never_renamed) {
                earlier.not_shifted +=
                    clips.identify(clip.old_name, file) == 0 && is_journaled_clip(clip, file, kind)
                        ? 1
                        : 0;
                continue;
            }
            if (clip.restored || clips.identify(given, file) != 0) {
                continue;
            }
            // A run of dates only since knew the clip by the identity it had then.
            const DatesRun* const dated = dates_run_of(given, file, since);
            if (is_journaled_clip(clip, file, kind) ||
                (dated != nullptr && dated->clip.identity == clip.identity)) {
                earlier.shifted.push_back(given);
                if (dated != nullptr && std::ranges::find(earlier.dates_runs, dated->journal) ==
                                            earlier.dates_runs.end()) {
                    earlier.dates_runs.push_back(dated->journal);
                }
            }
        }
        return false;
    });
    return earlier;
}

}  // namespace

const DatesRun* dates_run_of(const std::string& name, const FileIdentity& file,
                             const DatesRuns& runs) {
    // The file time is what the run set last: the correction holds while the clip keeps it,
    // whether or not its identity holds the time.
    const auto found = runs.find(name);
    return found != runs.end() && found->second.clip.holds_time_set(file.modified) &&
                   is_journaled_clip(found->second.clip, file, found->second.kind)
               ? &found->second
               : nullptr;
}

DatesRuns dates_runs_on(const ClipFolder& clips, const std::string& folder_path) {
    DatesRuns runs;
    for_each_run_on(clips, folder_path, [&runs](const std::string& name, const Journal& journal) {
        if (journal.head.dates_only) {
            note_dates_run(name, journal, runs);
        }
        return true;
    });
    return runs;
}

void ask_before_shifting_again(lineio::Channels& channels, std::string_view folder,
                               std::int32_t correction, std::string_view program,
                               std::unordered_set<std::string>& leave) {
    const std::string folder_path = folder.empty() ? "/" : std::string(folder);
    RealFolder clips([](const std::string&, const std::string&) { return 0; });
    if (clips.open(folder_path, true) != 0) {
        return;
    }
    const EarlierRun earlier = find_earlier_run(clips, folder_path);
    if (earlier.shifted.empty()) {
        return;
    }
    const std::string journal = lineio::printable(earlier.journal);
    for (const std::string& line : std::vector<std::string>{
             " " + std::to_string(earlier.shifted.size()) +
                 " clips of this folder still bear the names a run gave them, shifted by " +
                 std::to_string(earlier.correction) + " minutes (see " + journal + ").",
             earlier.dates_runs.empty()
                 ? " To start again from their original names, take that run back first:"
                 : " To start again from their original names, take back the runs that "
                   "corrected their dates since, then that run:"}) {
        channels.text_line(lineio::console_output, line);
    }
    std::vector<std::string> to_undo = earlier.dates_runs;
    to_undo.push_back(earlier.journal);
    for (const std::string& run : to_undo) {
        channels.text_line(lineio::console_output,
                           "   " + undo_command(program, journal_in_full(run)));
    }
    if (earlier.correction == correction && earlier.not_shifted > 0) {
        if (!answered_yes(channels, " Rename only the " + std::to_string(earlier.not_shifted) +
                                        " clips that run left as they were? Y/N")) {
            channels.orderly_stop();
        }
        leave.insert(earlier.shifted.begin(), earlier.shifted.end());
        return;
    }
    if (!answered_yes(channels,
                      " Shifting again moves them a second time. Shift them again? Y/N")) {
        channels.orderly_stop();
    }
}

}  // namespace workflow
