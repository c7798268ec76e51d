#include "workflow/listed_files.hpp"

#include <algorithm>

namespace workflow {

ListedFiles::ListedFiles(lineio::FolderListing&& listing) : folder_number_(listing.folder_number) {
    if (!listing.entries.empty()) {
        any_name_ = listing.name(listing.entries.front());
    }
    find_shared(listing.numbers);
    // The names go at once: the pass reads them from list.txt.
    listing = {};
}

void ListedFiles::find_shared(std::vector<std::uint64_t>& numbers) {
    std::sort(numbers.begin(), numbers.end());
    for (auto at = numbers.begin(); (at = std::adjacent_find(at, numbers.end())) != numbers.end();
         ++at) {
        shared_.insert(*at);
    }
}

void ListedFiles::list(const ClipFolder& folder) {
    *this = ListedFiles();
    if (FileIdentity self; folder.identify_self(self) == 0) {
        folder_number_ = self.index;
    }
    std::vector<std::uint64_t> numbers;
    const int error = folder.list([&](const FolderEntry& entry) {
        if (any_name_.empty()) {
            any_name_ = entry.name;
        }
        // 0: the listing gave no number, which tells nothing of other names.
        if (entry.index != 0) {
            numbers.push_back(entry.index);
        }
    });
    if (error != 0) {
        *this = ListedFiles();
        return;
    }
    find_shared(numbers);
}

}  // namespace workflow
