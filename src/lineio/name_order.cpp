#include "lineio/name_order.hpp"

#include <algorithm>
#include <string_view>

namespace lineio {

void sort_by_name(std::span<FolderListing::Entry> entries, const char* names) {
    using Entry = FolderListing::Entry;
    std::sort(entries.begin(), entries.end(), [names](const Entry& left, const Entry& right) {
        return std::string_view(names + left.start, left.length) <
               std::string_view(names + right.start, right.length);
    });
}

}  // namespace lineio
