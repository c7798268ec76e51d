#include "workflow/undo.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lineio/channels.hpp"
#include "platform/platform.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/journal.hpp"

namespace workflow {
namespace {

// Ends the program with a failure to read or follow the journal `name`.
[[noreturn]] void fail_journal(lineio::Channels& channels, const std::string& name,
                               std::string reason, lineio::Cause cause = lineio::Cause::other,
                               std::string place = {}) {
    const std::string shown = lineio::printable(name);
    channels.fail({lineio::Activity::journal_input, -1, cause, std::move(reason),
                   place.empty() ? "file \"" + shown + "\"" : std::move(place), shown});
}

std::string read_whole(lineio::Channels& channels, const std::string& name) {
    const auto check = [&](int error) {
        if (error != 0) {
            fail_journal(channels, name, platform::describe_error(error));
        }
    };
    platform::File file;
    check(file.open_to_read(name));
    std::string text;
    std::array<char, std::size_t{64} * 1024> buffer{};
    std::size_t count = 0;
    do {
        check(file.read(buffer.data(), buffer.size(), count));
        text.append(buffer.data(), count);
    } while (count > 0);
    check(file.close());
    return text;
}

// Refuses a head whose claims the folder belies: editing a head must never switch a check off.
void check_head(lineio::Channels& channels, const std::string& name, const Journal& journal,
                const platform::Folder& folder, const platform::FileIdentity& self,
                const std::string& folder_path, const std::string& journal_path) {
    std::string resolved;
    const std::size_t slash = journal_path.find_last_of("/\\");
    const std::string journal_directory = journal_path.substr(0, slash + 1);
    const bool inside =
        !journal.head.folder.empty() && platform::real_path(folder_path, resolved) == 0 &&
        resolved.starts_with(journal_directory) && resolved.size() > journal_directory.size();
    const std::string problem =
        head_problem(journal.head.identity_kind, journal.head.folder_number, folder, self, inside);
    if (!problem.empty()) {
        channels.error_line("  refused, " + shortened(lineio::printable(problem)));
        fail_journal(channels, name,
                     "its head claims what no run on this folder writes, so nothing was touched");
    }
}

void show(lineio::Channels& channels, std::string_view text) {
    channels.text_line(lineio::console_output, text);
}

// Takes the renames of one journal back, newest first, touching only the files the run renamed.
class Undo {
  public:
    Undo(lineio::Channels& channels, const Journal& journal, const platform::Folder& folder,
         std::string journal_name)
        : channels_(channels),
          journal_(journal),
          folder_(folder),
          journal_name_(std::move(journal_name)),
          renames_(folder,
                   [this](const std::string&, const std::string& to) { return note_claim(to); }) {
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
        if (journal_.legacy) {
            return restore_by_name(clip);
        }
        // An entry whose file an older entry renamed too is a second name of that file.
        const auto named_first = first_with_identity_.find(clip.identity);
        const std::size_t first =
            named_first != first_with_identity_.end() ? named_first->second : at;
        std::optional<std::string> found = locate(clip);
        if (!found && first < at) {
            found = locate(journal_.clips[first]);
        }
        platform::FileIdentity old_file;
        const int old_error = folder_.identify(clip.old_name, old_file);
        if (old_error == 0 && is_clip(clip, old_file)) {
            remove_placeholder(clip.claimed, old_file);
            if (!journal_.ended) {
                // A claim of the corrected name has no line of its own: the entry's synced "to:"
                // covers it, and only a run cut short can have left it behind.
                remove_placeholder(clip.new_name, old_file);
            }
            if (found && *found != clip.old_name && first == at &&
                renames_.remove_second_name(*found, clip.old_name) == 0) {
                // A rename by link cut between its two steps left the clip under both names.
                show(channels_, " Restored " + old_path);
                return true;
            }
            // Only a run cut short leaves clips it may never have renamed.
            show(channels_,
                 (journal_.ended ? " Already back " : " Nothing to undo for ") + old_path);
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
        const int error = first < at || listed_name ? folder_.add_name(*found, clip.old_name)
                                                    : renames_.rename(*found, clip.old_name);
        if (error != 0) {
            return refuse(clip, platform::describe_error(error));
        }
        show(channels_, " Restored " + old_path);
        return true;
    }

  private:
    std::string path_of(std::string_view name) const {
        return std::string(journal_.head.folder).append("/").append(name);
    }

    bool is_clip(const JournalClip& clip, const platform::FileIdentity& file) const {
        return identity_matches(clip.identity, file, journal_.head.identity_kind);
    }

    bool bears(const JournalClip& clip, const std::string& name) const {
        platform::FileIdentity file;
        return folder_.identify(name, file) == 0 && is_clip(clip, file);
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
        const std::string& name = clip.renamed_as.empty() ? clip.new_name : clip.renamed_as;
        return folder_.exists(name, there) == 0 && there;
    }

    // An empty placeholder the run made, removed only while it is still empty and the clip is
    // under its old name, so that nobody else's file is ever removed.
    void remove_placeholder(const std::string& name, const platform::FileIdentity& clip) const {
        platform::FileIdentity placeholder;
        if (!name.empty() && folder_.identify(name, placeholder) == 0 && placeholder.regular &&
            placeholder.size == 0 && !placeholder.same_file(clip)) {
            folder_.remove_name(name);
        }
    }

    bool is_undo_claim(const std::string& name, const platform::FileIdentity& file) const {
        return file.regular && file.size == 0 &&
               std::find(journal_.undo_claims.begin(), journal_.undo_claims.end(), name) !=
                   journal_.undo_claims.end();
    }

    // Where there are no hard links, an undo's rename makes a placeholder too: the journal says
    // so first, so that an undo killed there is finished by the next one.
    // The line is on the medium before the placeholder is made, so that no power cut leaves one
    // that the journal does not explain; without it, no placeholder is made.
    int note_claim(const std::string& name) {
        platform::File file;
        int error = file.open_or_create(journal_name_);
        std::array<char, 4096> buffer{};
        std::size_t count = 0;
        std::uint64_t size = 0;
        while (error == 0 && (error = file.read(buffer.data(), buffer.size(), count)) == 0 &&
               count > 0) {
            size += count;
        }
        if (error == 0) {
            error = file.truncate_to(size);
        }
        if (error == 0) {
            error = file.write("undo claim: " + name + "\r\n");
        }
        return error != 0 ? error : file.sync();
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
            error = renames_.rename(clip.new_name, clip.old_name);
            if (error == 0) {
                show(channels_, " Restored " + path_of(clip.old_name));
                return true;
            }
        }
        return refuse(clip, error != 0 ? platform::describe_error(error) : "it is no longer there");
    }

    bool refuse(const JournalClip& clip, const std::string& reason) {
        const std::string& name = clip.renamed_as.empty() ? clip.new_name : clip.renamed_as;
        show(channels_, " Could not restore " + path_of(name) + ": " + reason);
        return false;
    }

    lineio::Channels& channels_;
    const Journal& journal_;
    const platform::Folder& folder_;
    std::string journal_name_;
    RealFolder renames_;
    std::unordered_map<std::string, std::size_t> first_with_identity_;
    // Each name the run found, with the identity of the file it named then.
    std::unordered_map<std::string, std::string> old_names_;
};

}  // namespace

void run_undo(lineio::Channels& channels, std::string_view journal_name) {
    const std::string name(journal_name);
    Journal journal;
    const std::string text = read_whole(channels, name);
    JournalProblems problems = read_journal(text, journal);
    if (journal.legacy) {
        // Version 1.1.0 wrote its journals in the console's code page, which on Windows was the
        // OEM one; its names read as UTF-8 only once converted.
        problems = read_journal(platform::from_legacy_code_page(text), journal);
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
    std::string journal_path;
    if (const int error = platform::real_path(name, journal_path); error != 0) {
        fail_journal(channels, name, platform::describe_error(error));
    }
    const std::string folder_path = journal.head.folder.empty() && !journal.legacy
                                        ? "/"
                                        : platform::path_beside(journal_path, journal.head.folder);
    platform::Folder folder;
    const std::string folder_place = "folder \"" + lineio::printable(journal.head.folder) + "\"";
    if (const int error = folder.open(folder_path, false); error != 0) {
        fail_journal(channels, name,
                     platform::is_symbolic_link_refusal(error)
                         ? "the folder is a symbolic link, which the undo never follows"
                         : platform::describe_error(error),
                     lineio::Cause::other, folder_place);
    }
    platform::FileIdentity self;
    if (const int error = folder.identify_self(self); error != 0) {
        fail_journal(channels, name, platform::describe_error(error), lineio::Cause::other,
                     folder_place);
    }
    if (!journal.legacy) {
        check_head(channels, name, journal, folder, self, folder_path, journal_path);
    }
    if (journal.head.folder_number != 0 && folder.keeps_file_numbers() &&
        self.index != journal.head.folder_number) {
        fail_journal(channels, name,
                     "it is not the folder the run renamed in, which is no longer there",
                     lineio::Cause::other, folder_place);
    }
    Undo undo(channels, journal, folder, journal_path);
    std::int32_t restored = 0;
    for (std::size_t at = journal.clips.size(); at-- > 0;) {
        restored += undo.restore(at) ? 1 : 0;
    }
    const auto total = static_cast<std::int32_t>(journal.clips.size());
    const std::string summary = " of " + std::to_string(total) + " files restored";
    const lineio::LineLayout layout{lineio::IntegerField{6},
                                    lineio::TextField{static_cast<int>(summary.size())}};
    channels.formatted_line(lineio::console_output, layout, {restored, std::string_view(summary)});
    channels.finish(restored == total ? 0 : 1);
}

}  // namespace workflow
