// What one listing of the clip folder said of its files: each name's file number, and which
// files bear more than one name. Only those can come up again under another name after their
// rename.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "lineio/channels.hpp"
#include "workflow/clip_folder.hpp"

namespace workflow {

class ListedFiles {
  public:
    ListedFiles() = default;
    // What the listing command saw, which it then lets go.
    explicit ListedFiles(lineio::FolderListing&& listing);
    // Lists `folder` whole; false, with nothing taken in, when it cannot be listed.
    bool list(const ClipFolder& folder);

    // 0 when the listing gave no number for `name`.
    std::uint64_t number(std::string_view name) const;
    bool has_other_names(std::uint64_t number) const { return shared_.contains(number); }
    const std::string& any_name() const { return any_name_; }
    // The listed folder's own number; 0 when it is not known.
    std::uint64_t folder_number() const { return folder_number_; }

  private:
    void add(const FolderEntry& entry);
    // Takes in the name that stands at `start` in names_.
    void keep(std::uint32_t start, std::uint32_t length, std::uint64_t number);
    // Makes the entries taken in ready to be looked up; called once, after the last.
    void finish();

    struct Key {
        std::size_t hash;
        std::uint32_t start;
        std::uint32_t length;
        std::uint64_t number;
    };

    // The names stand in one text, found by their hash: a node and a string for each of 100,000
    // names would double the run's peak memory.
    std::string names_;
    std::vector<Key> keys_;
    // Each slot holds a key's place plus one, or 0 when empty.
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint64_t> numbers_;
    std::unordered_set<std::uint64_t> shared_;
    std::string any_name_;
    std::uint64_t folder_number_ = 0;
};

}  // namespace workflow
