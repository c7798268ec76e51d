#include "workflow/undo.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"
#include "workflow/clip_dates_run.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/journal.hpp"
#include "workflow/repeat_check.hpp"

namespace workflow {
namespace {

// A journal dropped onto the program, perhaps by a slip of the mouse, is taken back only once the
// person has said so, knowing what it would touch.
void confirm_undo(lineio::Channels& channels, const std::string& name, const Journal& journal) {
    const auto renamed = std::count_if(journal.clips.begin(), journal.clips.end(),
                                       [](const JournalClip& clip) { return !clip.never_renamed; });
    channels.text_line(lineio::console_output,
                       " Take back the run of " + name + ": " + std::to_string(renamed) +
                           " clips in the folder \"" + journal.head.folder + "\"? Y/N");
    lineio::FixedText<1> answer;
    channels.field_input(lineio::console_input, 1, answer.span());
    if (answer.chars[0] != 'Y' && answer.chars[0] != 'y') {
        channels.orderly_stop();
    }
}

void show(lineio::Channels& channels, std::string_view text) {
    channels.text_line(lineio::console_output, text);
}

// Takes the renames of one journal back, newest first, touching only the files the run renamed.
class Undo {
  public:
    // `folder` is opened on the journal's folder; `writer` goes on with the journal.
    // `later`: the clips of the folder whose dates runs of dates only corrected since.
    Undo(lineio::Channels& channels, const Journal& journal, RealFolder& folder,
         JournalWriter& writer, DatesRuns later)
        : channels_(channels),
          journal_(journal),
          folder_(folder),
          writer_(writer),
          later_(std::move(later)) {
        // Two entries of one identity are two names of one file only where the identity is a
        // true file number: two clips of a burst can share their size and time.
        if (is_file_number(journal.head.identity_kind)) {
            for (std::size_t at = 0; at < journal.clips.size(); ++at) {
                first_with_identity_.try_emplace(journal.clips[at].identity, at);
                old_names_.emplace(journal.clips[at].old_name, journal.clips[at].identity);
            }
        }
    }

    // Gives the clip of entry `at` its old name back; returns whether it bears it now.
    bool restore(std::size_t at) {
        const JournalClip& clip = journal_.clips[at];
        const std::string old_path = path_of(clip.old_name);
        if (!give_later_dates_back(clip)) {
            return false;
        }
        if (journal_.legacy) {
            return restore_by_name(clip);
        }
        const bool back = journal_.head.dates_only ? restore_dates(clip, old_path)
                                                   : restore_named(at, clip, old_path);
        if (back && !clip.restored) {
            writer_.restored(clip.old_name);
        }
        return back;
    }

  private:
    // Dates that a run of dates only corrected since, in the clip under the name this run gave
    // it, go back before the name, so that name and dates stay together; the clip then has the
    // time again by which this journal knows it. False, told why, where they could not yet.
    bool give_later_dates_back(const JournalClip& clip) {
        const std::string& name = clip.name_given();
        FileIdentity file;
        const DatesRun* const later = later_.contains(name) && folder_.identify(name, file) == 0
                                          ? dates_run_of(name, file, later_)
                                          : nullptr;
        if (later == nullptr || (!journal_.legacy && later->clip.identity != clip.identity)) {
            return true;
        }
        return give_dates_back(clip, name, later->clip,
                               "the dates a later run corrected could not be given back: ");
    }

    // Gives the clip now named `name` the bytes and file time that journal entry `entry` took
    // from it. False, the clip `clip` refused with `why` and the cause, where a later undo may
    // still get past what stopped it; what is left for good is only told.
    bool give_dates_back(const JournalClip& clip, const std::string& name, const JournalClip& entry,
                         const std::string& why) {
        bool retry = false;
        const std::string left = undo_dates(folder_, name, entry, retry);
        if (retry) {
            return refuse(clip, why + left);
        }
        if (!left.empty()) {
            show(channels_, "  Dates of " + path_of(name) + " left: " + left);
        }
        return true;
    }

    // A run of dates only renamed nothing: its clips get their bytes and file times back under
    // the names they bear.
    bool restore_dates(const JournalClip& clip, const std::string& path) {
        if (clip.restored) {
            // Given back before: the time set again now could undo a change made since.
            show(channels_, " Already back " + path);
            return true;
        }
        if (!bears(clip, clip.old_name)) {
            return refuse(clip, bears_other_file(clip) ? "a different file now bears this name"
                                                       : "it is no longer there");
        }
        if (!give_dates_back(clip, clip.old_name, clip, "its dates could not be given back: ")) {
            return false;
        }
        show(channels_, " Restored " + path);
        return true;
    }

    bool restore_named(std::size_t at, const JournalClip& clip, const std::string& old_path) {
        // An entry whose file an older entry renamed too is a second name of that file.
        const auto named_first = first_with_identity_.find(clip.identity);
        const std::size_t first =
            named_first != first_with_identity_.end() ? named_first->second : at;
        std::optional<std::string> found = locate(clip);
        if (!found && first < at) {
            found = locate(journal_.clips[first]);
        }
        FileIdentity old_file;
        const int old_error = folder_.identify(clip.old_name, old_file);
        if (old_error == 0 && is_clip(clip, old_file)) {
            remove_placeholder(clip.claimed, old_file);
            if (!journal_.ended) {
                // A claim of the corrected name has no line of its own: the entry's synced "to:"
                // covers it, and only a run cut short can have left it behind.
                remove_placeholder(clip.new_name, old_file);
            }
            if (found && *found != clip.old_name && first == at &&
                folder_.remove_second_name(*found, clip.old_name) == 0) {
                // A rename by link cut between its two steps left the clip under both names.
                show(channels_, " Restored " + old_path);
                return true;
            }
            // Only a run cut short leaves clips it may never have renamed untold.
            show(channels_,
                 (journal_.ended || clip.restored ? " Already back " : " Nothing to undo for ") +
                     old_path);
            return true;
        }
        if (old_error == 0 && found && is_undo_claim(clip.old_name, old_file)) {
            folder_.remove_name(clip.old_name);
        } else if (old_error == 0) {
            return refuse(clip, "its old name " + old_path + " is taken");
        }
        if (!found) {
            return refuse(clip, bears_other_file(clip) ? "a different file now bears this name"
                                                       : "it is no longer there");
        }
        // Where the file bears another name it had before the run, that name stays and this one
        // comes back beside it.
        const auto listed = old_names_.find(*found);
        const bool listed_name = listed != old_names_.end() && listed->second == clip.identity;
        // The bytes and the file time go back before the name: the name tells the clip apart.
        if (clip.dated &&
            !give_dates_back(clip, *found, clip, "its dates could not be given back: ")) {
            return false;
        }
        const int error = first < at || listed_name ? folder_.add_name(*found, clip.old_name)
                                                    : folder_.rename(*found, clip.old_name);
        if (error != 0) {
            return refuse(clip, describe_error(error));
        }
        show(channels_, " Restored " + old_path);
        return true;
    }

    std::string path_of(std::string_view name) const {
        return std::string(journal_.head.folder).append("/").append(name);
    }

    bool is_clip(const JournalClip& clip, const FileIdentity& file) const {
        return is_journaled_clip(clip, file, journal_.head.identity_kind);
    }

    bool bears(const JournalClip& clip, const std::string& name) const {
        FileIdentity file;
        if (folder_.identify(name, file) != 0) {
            return false;
        }
        // Where the identity is the size and the file time, a time moved since by someone else
        // leaves the size and the bytes of the clip's journaled fields to tell it.
        return is_clip(clip, file) || (clip.dated && !is_file_number(journal_.head.identity_kind) &&
                                       holds_journaled_bytes(folder_, name, clip));
    }

    // Where the clip of `clip` is now among the names the run could have given it.
    std::optional<std::string> locate(const JournalClip& clip) const {
        if (!clip.renamed_as.empty()) {
            return bears(clip, clip.renamed_as) ? std::optional(clip.renamed_as) : std::nullopt;
        }
        for (int burst = 0; burst <= burst_count; ++burst) {
            std::string name = burst == 0 ? clip.new_name : burst_variant(clip.new_name, burst);
            if (bears(clip, name)) {
                return name;
            }
        }
        return std::nullopt;
    }

    bool bears_other_file(const JournalClip& clip) const {
        bool there = false;
        const std::string& name = clip.name_given();
        return folder_.exists(name, there) == 0 && there;
    }

    // An empty placeholder the run made, removed only while it is still empty and the clip is
    // under its old name, so that nobody else's file is ever removed.
    void remove_placeholder(const std::string& name, const FileIdentity& clip) const {
        FileIdentity placeholder;
        if (!name.empty() && folder_.identify(name, placeholder) == 0 && placeholder.regular &&
            placeholder.size == 0 && !placeholder.same_file(clip)) {
            folder_.remove_name(name);
        }
    }

    bool is_undo_claim(const std::string& name, const FileIdentity& file) const {
        return file.regular && file.size == 0 &&
               std::find(journal_.undo_claims.begin(), journal_.undo_claims.end(), name) !=
                   journal_.undo_claims.end();
    }

    bool restore_by_name(const JournalClip& clip) {
        bool new_there = false;
        bool old_there = false;
        int error = folder_.exists(clip.new_name, new_there);
        if (error == 0) {
            error = folder_.exists(clip.old_name, old_there);
        }
        if (error == 0 && old_there) {
            show(channels_, " Already back " + path_of(clip.old_name));
            return true;
        }
        if (error == 0 && new_there) {
            error = folder_.rename(clip.new_name, clip.old_name);
            if (error == 0) {
                show(channels_, " Restored " + path_of(clip.old_name));
                return true;
            }
        }
        return refuse(clip, error != 0 ? describe_error(error) : "it is no longer there");
    }

    bool refuse(const JournalClip& clip, const std::string& reason) {
        const std::string& name = clip.name_given();
        show(channels_, " Could not restore " + path_of(name) + ": " + reason);
        return false;
    }

    lineio::Channels& channels_;
    const Journal& journal_;
    RealFolder& folder_;
    JournalWriter& writer_;
    std::unordered_map<std::string, std::size_t> first_with_identity_;
    // Each name the run found, with the identity of the file it named then.
    std::unordered_map<std::string, std::string> old_names_;
    DatesRuns later_;
};

}  // namespace

bool is_undo_journal(const std::string& name) {
    Journal journal;
    int error = 0;
    return !load_journal(name, journal, error).not_a_journal && error == 0;
}

void fail_journal(lineio::Channels& channels, const std::string& name, std::string reason,
                  lineio::Cause cause, std::string place) {
    const std::string shown = lineio::printable(name);
    channels.fail({lineio::Activity::journal_input, -1, cause, std::move(reason),
                   place.empty() ? "file \"" + shown + "\"" : std::move(place), shown});
}

void load_journal_to_follow(lineio::Channels& channels, const std::string& name, Journal& journal,
                            std::string& journal_path, std::string& folder_path) {
    int read_error = 0;
    const JournalProblems problems = load_journal(name, journal, read_error);
    if (read_error != 0) {
        fail_journal(channels, name, describe_error(read_error));
    }
    if (!problems.unknown_version.empty()) {
        fail_journal(channels, name,
                     "it is a journal of version " + lineio::printable(problems.unknown_version) +
                         ", which a newer release of this program wrote: take the run back "
                         "with that release",
                     lineio::Cause::not_a_journal);
    }
    if (problems.neither_utf8_nor_utf16) {
        fail_journal(channels, name,
                     "its bytes are neither UTF-8 nor UTF-16: open it in Notepad and save it "
                     "again with the encoding UTF-8");
    }
    if (problems.not_a_journal) {
        fail_journal(channels, name, "it is not an undo journal of this program",
                     lineio::Cause::not_a_journal);
    }
    if (!problems.refused.empty()) {
        for (const std::string& refused : problems.refused) {
            channels.error_line("  refused, " + shortened(lineio::printable(refused)));
        }
        fail_journal(channels, name,
                     "it holds entries that no run of this program writes, so nothing was "
                     "touched");
    }
    // The names are read beside the journal itself, wherever a link to it stands.
    if (const int error = locate_journal_folder(name, journal, journal_path, folder_path);
        error != 0) {
        fail_journal(channels, name, describe_error(error));
    }
}

void open_journal_folder(lineio::Channels& channels, const std::string& name,
                         const Journal& journal, RealFolder& folder, const std::string& folder_path,
                         const std::string& journal_path, FileIdentity& self) {
    const std::string folder_place = "folder \"" + lineio::printable(journal.head.folder) + "\"";
    if (const int error = folder.open(folder_path, false); error != 0) {
        fail_journal(channels, name,
                     is_symbolic_link_refusal(error)
                         ? "the folder is a symbolic link, which the undo never follows"
                         : describe_error(error),
                     lineio::Cause::other, folder_place);
    }
    if (const int error = folder.identify_self(self); error != 0) {
        fail_journal(channels, name, describe_error(error), lineio::Cause::other, folder_place);
    }
    if (!journal.legacy) {
        // Editing a head must never switch a check off: what it claims, the folder must bear out.
        const std::string problem =
            head_problem(journal.head.identity_kind, journal.head.folder_number, folder, self,
                         folder_path, journal_path);
        if (!problem.empty()) {
            channels.error_line("  refused, " + shortened(lineio::printable(problem)));
            fail_journal(channels, name,
                         "its head claims what no run on this folder writes, so nothing was "
                         "touched");
        }
    }
    if (journal.head.folder_number != 0 && folder.keeps_file_numbers() &&
        self.index != journal.head.folder_number) {
        fail_journal(channels, name,
                     "it is not the folder the run renamed in, which is no longer there",
                     lineio::Cause::other, folder_place);
    }
}

void run_undo(lineio::Channels& channels, std::string_view journal_name, bool ask_first) {
    const std::string name(journal_name);
    Journal journal;
    std::string journal_path;
    std::string folder_path;
    load_journal_to_follow(channels, name, journal, journal_path, folder_path);
    JournalWriter writer(channels, {});
    RealFolder folder([&](const std::string& /*from*/, const std::string& to) {
        if (journal.encoded_again) {
            fail_journal(channels, name,
                         "an editor saved it in another encoding, in which the undo cannot note "
                         "the placeholder this folder needs: save it again as UTF-8");
        }
        writer.undo_claim(to);  // ends the program where the journal cannot take the line
        return 0;
    });
    FileIdentity self;
    open_journal_folder(channels, name, journal, folder, folder_path, journal_path, self);
    if (ask_first) {
        confirm_undo(channels, name, journal);
    }
    // Where there are no hard links, an undo's rename makes a placeholder too: the journal says
    // so first, so that an undo killed there is finished by the next one.
    writer.resume(journal_path, journal.length);
    Undo undo(channels, journal, folder, writer,
              journal.head.dates_only ? DatesRuns() : dates_runs_on(folder, folder_path));
    std::int32_t restored = 0;
    std::int32_t never_renamed = 0;
    for (std::size_t at = journal.clips.size(); at-- > 0;) {
        if (journal.clips[at].never_renamed) {
            ++never_renamed;  // whatever bears its name now, the run never touched it
        } else {
            restored += undo.restore(at) ? 1 : 0;
        }
    }
    writer.flush();
    const auto total = static_cast<std::int32_t>(journal.clips.size()) - never_renamed;
    const std::string summary = " of " + std::to_string(total) + " files restored";
    const lineio::LineLayout layout{lineio::IntegerField{6},
                                    lineio::TextField{static_cast<int>(summary.size())}};
    channels.formatted_line(lineio::console_output, layout, {restored, std::string_view(summary)});
    if (never_renamed > 0) {
        constexpr std::string_view left = " files the run never renamed were left as they are";
        const lineio::LineLayout left_layout{lineio::IntegerField{6},
                                             lineio::TextField{static_cast<int>(left.size())}};
        channels.formatted_line(lineio::console_output, left_layout, {never_renamed, left});
    }
    channels.finish(restored == total ? 0 : 1);
}

}  // namespace workflow
