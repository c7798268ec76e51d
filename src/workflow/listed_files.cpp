#include "workflow/listed_files.hpp"

#include <algorithm>

namespace workflow {

ListedFiles::ListedFiles(lineio::FolderListing&& listing)
    : numbers_(std::move(listing.numbers)), folder_number_(listing.folder_number) {
    if (!listing.entries.empty()) {
        any_name_ = listing.name(listing.entries.front());
    }
    // The names go at once: the pass reads them from list.txt.
    listing = {};
}

bool ListedFiles::has_other_names(std::uint64_t number) {
    if (!numbers_sorted_) {
        std::sort(numbers_.begin(), numbers_.end());
        numbers_sorted_ = true;
    }
    const auto [first, last] = std::equal_range(numbers_.begin(), numbers_.end(), number);
    return last - first > 1;
}

void ListedFiles::list(const ClipFolder& folder) {
    *this = ListedFiles();
    if (FileIdentity self; folder.identify_self(self) == 0) {
        folder_number_ = self.index;
    }
    const int error = folder.list([&](const FolderEntry& entry) {
        if (any_name_.empty()) {
            any_name_ = entry.name;
        }
        // 0: the listing gave no number, which tells nothing of other names.
        if (entry.index != 0) {
            numbers_.push_back(entry.index);
        }
    });
    if (error != 0) {
        *this = ListedFiles();
    }
}

}  // namespace workflow
