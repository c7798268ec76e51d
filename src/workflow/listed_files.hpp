// What one listing of the clip folder said of its files besides their names: which files bear more
// than one name (only those can come up again under another name after their rename), one name
// the folder holds, and the folder's own number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lineio/channels.hpp"
#include "workflow/clip_folder.hpp"

namespace workflow {

class ListedFiles {
  public:
    ListedFiles() = default;
    // What the listing command saw, which it then lets go.
    explicit ListedFiles(lineio::FolderListing&& listing);
    // Lists `folder` whole; nothing is taken in when it cannot be listed, and the pass then finds
    // no other names, as where the listing gives no numbers.
    void list(const ClipFolder& folder);

    // Whether another listed name bears the file numbered `number`. Asked only of files that
    // have more than one name, so the numbers are put in order the first time it is asked:
    // a run of plain clips never sorts them.
    bool has_other_names(std::uint64_t number);
    const std::string& any_name() const { return any_name_; }
    // The listed folder's own number; 0 when it is not known.
    std::uint64_t folder_number() const { return folder_number_; }

  private:
    // No name is kept: a million names and their lookup table were more than half of a large
    // run's memory, and the one question they answered (whose is a taken name?) is asked of the
    // folder itself, in the rare run that meets it.
    std::vector<std::uint64_t> numbers_;  // the listed files' numbers, 0 left out
    bool numbers_sorted_ = false;
    std::string any_name_;
    std::uint64_t folder_number_ = 0;
};

}  // namespace workflow
