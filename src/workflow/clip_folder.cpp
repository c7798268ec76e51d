#include "workflow/clip_folder.hpp"

#include <algorithm>
#include <cassert>

namespace workflow {

int RealFolder::rename(const std::string& from, const std::string& to) {
    if (from == to) {
        platform::FileIdentity identity;
        return folder_.identify(from, identity);
    }
    if (way_ == RenameWay::atomic) {
        const int error = folder_.rename_atomically(from, to);
        if (!platform::is_unsupported_rename(error)) {
            return error;
        }
        way_ = RenameWay::link_then_unlink;
    }
    // Linux refuses the link of a folder as if the filesystem had no links, and a claim cannot
    // take a folder: a folder is this entry's failure, and the way stays.
    if (platform::FileIdentity source; folder_.identify(from, source) == 0 && source.directory) {
        return platform::folder_rename_error;
    }
    if (way_ == RenameWay::link_then_unlink) {
        const int error = folder_.rename_by_link(from, to);
        if (!platform::lacks_hard_links(error)) {
            return error;
        }
        way_ = RenameWay::claim_then_rename;
    }
    // Without hard links the new name is claimed first by an exclusive creation, and the clip
    // renamed onto that claim: a file that another program makes under the name at any moment is
    // never replaced, since either it is there first and the claim fails, or the claim is.
    if (const int error = before_claim_(from, to); error != 0) {
        return error;
    }
    if (const int error = folder_.claim(to); error != 0) {
        return error;
    }
    const int error = folder_.rename_onto_claim(from, to);
    if (error != 0) {
        folder_.remove_name(to);
    }
    return error;
}

int RealFolder::remove_second_name(const std::string& name, const std::string& kept) {
    assert(name != kept);
    // Checked right before the removal. POSIX offers no way to remove a name only while it names
    // a given file; a file put under the name in between could be removed only if it had yet
    // another name of its own.
    platform::FileIdentity removed;
    platform::FileIdentity other;
    if (const int error = folder_.identify(name, removed); error != 0) {
        return error;
    }
    if (folder_.identify(kept, other) != 0 || !removed.same_file(other) || removed.links < 2) {
        return platform::refused_change_error;
    }
    return folder_.remove_name(name);
}

std::string FolderPicture::key(const std::string& name) const {
    if (!ignores_case_) {
        return name;
    }
    // Only the letters of ASCII are folded: a name that differs from another in the case of
    // another letter counts as free, which at worst foretells a burst number too few.
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), [](char character) {
        return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                    : character;
    });
    return folded;
}

int FolderPicture::exists(const std::string& name, bool& found) const {
    if (const auto changed = changed_.find(key(name)); changed != changed_.end()) {
        found = changed->second;
        return 0;
    }
    return folder_.exists(name, found);
}

int FolderPicture::open_clip(const std::string& name, bool write, ClipFile& clip,
                             FileIdentity& identity) const {
    int error = folder_.open_clip(name, false, clip, identity);
    if (error == 0 && write) {
        error = folder_.may_write(name);
        if (error != 0) {
            clip.close();
        }
    }
    return error;
}

int FolderPicture::rename(const std::string& from, const std::string& to) {
    bool there = false;
    if (const int error = exists(from, there); error != 0 || !there) {
        return error != 0 ? error : platform::missing_name_error;
    }
    if (from == to) {
        return 0;
    }
    if (!folder_.names_may_change()) {
        return platform::refused_change_error;
    }
    // A real rename takes two steps where the filesystem lacks the one, and they refuse a folder.
    if (platform::FileIdentity source;
        !folder_.renames_atomically() && folder_.identify(from, source) == 0 && source.directory) {
        return platform::folder_rename_error;
    }
    bool taken = false;
    if (const int error = exists(to, taken); error != 0 || taken) {
        return error != 0 ? error : platform::taken_name_error;
    }
    changed_[key(from)] = false;
    changed_[key(to)] = true;
    return 0;
}

int FolderPicture::remove_second_name(const std::string& name, const std::string& /*kept*/) {
    if (!folder_.names_may_change()) {
        return platform::refused_change_error;
    }
    changed_[key(name)] = false;
    return 0;
}

bool folder_ignores_case(const ClipFolder& folder, const std::string& name) {
    std::string swapped(name);
    for (char& character : swapped) {
        if (character >= 'a' && character <= 'z') {
            character = static_cast<char>(character - 'a' + 'A');
        } else if (character >= 'A' && character <= 'Z') {
            character = static_cast<char>(character - 'A' + 'a');
        }
    }
    platform::FileIdentity listed;
    platform::FileIdentity other;
    return swapped != name && folder.identify(name, listed) == 0 &&
           folder.identify(swapped, other) == 0 && listed.same_file(other);
}

}  // namespace workflow
