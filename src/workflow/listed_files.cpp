#include "workflow/listed_files.hpp"

#include <algorithm>
#include <functional>

namespace workflow {
namespace {

std::size_t hash(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

}  // namespace

ListedFiles::ListedFiles(lineio::FolderListing&& listing)
    : names_(std::move(listing.names)), folder_number_(listing.folder_number) {
    // The listing's own text of names is taken over: a second copy of 100,000 names would add
    // half again to a run's peak memory.
    keys_.reserve(listing.entries.size());
    numbers_.reserve(listing.entries.size());
    for (const lineio::FolderListing::Entry& entry : listing.entries) {
        keep(entry.start, entry.length, entry.index);
    }
    listing.entries = {};
    finish();
}

void ListedFiles::keep(std::uint32_t start, std::uint32_t length, std::uint64_t number) {
    const std::string_view name = std::string_view(names_).substr(start, length);
    keys_.push_back({hash(name), start, length, number});
    // 0: the listing gave no number, which tells nothing of other names.
    if (number != 0) {
        numbers_.push_back(number);
    }
    if (any_name_.empty()) {
        any_name_ = name;
    }
}

void ListedFiles::add(const FolderEntry& entry) {
    const auto start = static_cast<std::uint32_t>(names_.size());
    names_.append(entry.name);
    keep(start, static_cast<std::uint32_t>(entry.name.size()), entry.index);
}

void ListedFiles::finish() {
    // An open-addressed table at most half full: a lookup touches a slot or two where a binary
    // search over a hundred thousand names touched seventeen, which saved 3 % of a run.
    std::size_t slots = 2;
    while (slots < 2 * keys_.size()) {
        slots *= 2;
    }
    slots_.assign(slots, 0);
    for (std::size_t key = 0; key < keys_.size(); ++key) {
        std::size_t slot = keys_[key].hash & (slots - 1);
        while (slots_[slot] != 0) {
            slot = (slot + 1) & (slots - 1);
        }
        slots_[slot] = static_cast<std::uint32_t>(key + 1);
    }
    std::sort(numbers_.begin(), numbers_.end());
    for (auto at = numbers_.begin();
         (at = std::adjacent_find(at, numbers_.end())) != numbers_.end(); ++at) {
        shared_.insert(*at);
    }
    numbers_ = {};
}

bool ListedFiles::list(const ClipFolder& folder) {
    *this = ListedFiles();
    if (FileIdentity self; folder.identify_self(self) == 0) {
        folder_number_ = self.index;
    }
    if (folder.list([&](const FolderEntry& entry) { add(entry); }) != 0) {
        *this = ListedFiles();
        return false;
    }
    finish();
    return true;
}

std::uint64_t ListedFiles::number(std::string_view name) const {
    if (slots_.empty()) {
        return 0;
    }
    const std::size_t wanted = hash(name);
    for (std::size_t slot = wanted & (slots_.size() - 1); slots_[slot] != 0;
         slot = (slot + 1) & (slots_.size() - 1)) {
        const Key& key = keys_[slots_[slot] - 1];
        if (key.hash == wanted && std::string_view(names_).substr(key.start, key.length) == name) {
            return key.number;
        }
    }
    return 0;
}

}  // namespace workflow
