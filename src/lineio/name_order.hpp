// Puts a folder's listed names in the order of their bytes.
#pragma once

#include <span>

#include "lineio/channels.hpp"

namespace lineio {

// Sorts `entries`, whose names stand in `names`, in the order of their unsigned bytes, as
// std::string's comparison orders them.
void sort_by_name(std::span<FolderListing::Entry> entries, const char* names);

}  // namespace lineio
