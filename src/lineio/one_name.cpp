// One file, one name: what the channels remember of the files this run has renamed, so that a
// clip that a killed run left under two names (a rename made of a new link and the removal of the
// old one, cut between the two) ends under one, and no file is renamed twice in one run.
#include "lineio/channels.hpp"
#include "lineio/fixed_text.hpp"

namespace lineio {

namespace {

std::pair<std::uint64_t, std::uint64_t> key_of(const platform::FileIdentity& file) {
    return {file.volume, file.index};
}

}  // namespace

void Channels::note_for_failure(int channel, std::string_view note) {
    noted_channel_ = channel;
    failure_note_.assign(note);
}

bool Channels::renamed_earlier(std::string_view name, std::string& name_now) {
    name_now.clear();
    looked_up_name_.assign(trimmed(name));
    if (platform::identify_file(looked_up_name_, looked_up_file_) != 0) {
        // Nothing to remember; the rename itself will tell what is wrong with the name.
        looked_up_name_.clear();
        return false;
    }
    const auto found = renamed_files_.find(key_of(looked_up_file_));
    if (found == renamed_files_.end()) {
        return false;
    }
    if (found->second == looked_up_name_ ||
        platform::remove_second_name(looked_up_name_, looked_up_file_) == 0) {
        name_now = found->second;
    }
    looked_up_name_.clear();
    return true;
}

int Channels::finish_rename(int error) {
    if (error != 0) {
        // Taken by the very file being renamed: the new name is already the file's, and the old
        // one goes, provided the file still has the other name at that moment.
        platform::FileIdentity taker;
        platform::FileIdentity renamed;
        if (platform::identify_file(rename_to_, taker) != 0 ||
            platform::identify_file(rename_from_, renamed) != 0 || !renamed.same_file(taker) ||
            platform::remove_second_name(rename_from_, taker) != 0) {
            return error;
        }
        looked_up_name_ = rename_from_;
        looked_up_file_ = taker;
    }
    // Only a file with another name can be listed again under it; remembering just those keeps a
    // run over 100,000 clips from holding 100,000 names.
    if (looked_up_name_ == rename_from_) {
        if (looked_up_file_.links > 1) {
            renamed_files_.insert_or_assign(key_of(looked_up_file_), rename_to_);
        }
        looked_up_name_.clear();
    }
    return 0;
}

}  // namespace lineio
