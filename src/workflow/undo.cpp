#include "workflow/undo.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "lineio/channels.hpp"
#include "lineio/platform.hpp"
#include "workflow/journal.hpp"

namespace workflow {
namespace {

namespace platform = lineio::platform;

std::string read_whole(lineio::Channels& channels, const std::string& name) {
    const std::string place = "file \"" + lineio::printable(name) + "\"";
    const auto check = [&](int error) {
        if (error != 0) {
            channels.fail_at("undo journal input", -1, platform::describe_error(error), place);
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

void show(lineio::Channels& channels, std::string_view text) {
    const lineio::LineLayout layout{lineio::TextField{static_cast<int>(text.size())}};
    channels.formatted_line(lineio::console_output, layout, {text});
}

bool exists(const std::string& name, int& error) {
    bool found = false;
    error = platform::name_exists(name, found);
    return found;
}

platform::FileIdentity identity_of(const std::string& name) {
    platform::FileIdentity identity;
    if (platform::identify_file(name, identity) != 0) {
        identity.volume = identity.index = 0;
    }
    return identity;
}

bool same_file(const std::string& one, const std::string& other) {
    platform::FileIdentity first;
    platform::FileIdentity second;
    return platform::identify_file(one, first) == 0 &&
           platform::identify_file(other, second) == 0 && first.same_file(second);
}

// Gives one file its old name back if it can; returns whether it bears it now.
// `new_name_back_home`: an older rename of the journal took this new name from another file, which
// bears it again, so this file was taken back before.
bool restore(lineio::Channels& channels, const std::string& old_path, const std::string& new_path,
             bool maybe_never_renamed, bool new_name_back_home) {
    int error = 0;
    const bool new_there = exists(new_path, error);
    const bool old_there = error == 0 && exists(old_path, error);
    std::string reason;
    if (error != 0) {
        reason = platform::describe_error(error);
    } else if (old_path == new_path || (old_there && (!new_there || new_name_back_home))) {
        if (old_there) {
            show(channels, " Already back " + old_path);
            return true;
        }
        reason = "it is no longer there";
    } else if (new_there && !old_there) {
        error = platform::rename_no_replace(new_path, old_path);
        if (error == 0) {
            show(channels, " Restored " + old_path);
            return true;
        }
        reason = platform::describe_error(error);
    } else if (new_there && old_there && same_file(old_path, new_path)) {
        // A kill between the two steps of a link-then-unlink rename left the clip under both
        // names: the new one goes, the old one stays.
        error = platform::remove_second_name(new_path, identity_of(old_path));
        if (error == 0) {
            show(channels, " Restored " + old_path);
            return true;
        }
        reason = platform::describe_error(error);
    } else if (maybe_never_renamed) {
        // The run was stopped while trying this rename, which then never happened.
        show(channels, " Nothing to undo for " + old_path);
        return true;
    } else {
        reason = new_there ? "its old name " + old_path + " is taken" : "it is no longer there";
    }
    show(channels, " Could not restore " + new_path + ": " + reason);
    return false;
}

}  // namespace

void run_undo(lineio::Channels& channels, std::string_view journal_name) {
    const std::string name(journal_name);
    JournalContents journal;
    if (!read_journal(read_whole(channels, name), journal)) {
        channels.fail_at("undo journal input", -1, "it is not an undo journal of this program",
                         "file \"" + lineio::printable(name) + "\"");
    }
    std::int32_t restored = 0;
    const auto total = static_cast<std::int32_t>(journal.renames.size());
    // Where each old name stands in the journal, so that a rename onto a name an older rename freed
    // is found without going through the whole journal again for every file.
    std::unordered_multimap<std::string_view, std::size_t> renames_from;
    for (std::size_t at = 0; at < journal.renames.size(); ++at) {
        renames_from.emplace(journal.renames[at].old_path, at);
    }
    for (std::size_t at = journal.renames.size(); at-- > 0;) {
        const JournalRename* const rename = &journal.renames[at];
        const bool maybe_never_renamed = !journal.ended && at + 1 == journal.renames.size();
        const auto [first, last] = renames_from.equal_range(rename->new_path);
        const bool new_name_back_home = std::any_of(first, last, [&](const auto& older_at) {
            const JournalRename& older = journal.renames[older_at.second];
            int error = 0;
            return older_at.second < at && older.new_path != older.old_path &&
                   !exists(platform::path_beside(name, older.new_path), error) && error == 0;
        });
        if (restore(channels, platform::path_beside(name, rename->old_path),
                    platform::path_beside(name, rename->new_path), maybe_never_renamed,
                    new_name_back_home)) {
            ++restored;
        }
    }
    const std::string summary = " of " + std::to_string(total) + " files restored";
    const lineio::LineLayout layout{lineio::IntegerField{6},
                                    lineio::TextField{static_cast<int>(summary.size())}};
    channels.formatted_line(lineio::console_output, layout, {restored, std::string_view(summary)});
    channels.finish(restored == total ? 0 : 1);
}

}  // namespace workflow
