#include "workflow/repeat_check.hpp"

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
};

// The folder's real path, or empty where it cannot be had.
std::string real_path_of(const std::string& path) {
    std::string resolved;
    return platform::real_path(path, resolved) == 0 ? resolved : std::string();
}

bool bears(const ClipFolder& clips, const std::string& name, const JournalClip& clip,
           IdentityKind kind) {
    FileIdentity file;
    return clips.identify(name, file) == 0 && is_journaled_clip(clip, file, kind);
}

// What the newest journal here of a run on the folder `clips` opened tells; an empty journal
// name where none does.
EarlierRun find_earlier_run(const ClipFolder& clips, const std::string& folder_path) {
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
        if (!same_folder) {
            continue;
        }
        EarlierRun earlier{name, journal.head.correction, {}, 0};
        for (const JournalClip& clip : journal.clips) {
            const std::string& given = clip.renamed_as.empty() ? clip.new_name : clip.renamed_as;
            if (clip.never_renamed) {
                earlier.not_shifted +=
                    bears(clips, clip.old_name, clip, journal.head.identity_kind) ? 1 : 0;
            } else if (!clip.restored && bears(clips, given, clip, journal.head.identity_kind)) {
                earlier.shifted.push_back(given);
            }
        }
        return earlier;
    }
    return {};
}

}  // namespace

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
             " To start again from their original names, take that run back first:",
             "   " + undo_command(program, journal_in_full(earlier.journal))}) {
        channels.text_line(lineio::console_output, line);
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
