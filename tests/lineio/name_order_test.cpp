// A folder's names put in the order of their bytes, as std::sort with std::string's comparison
// would put them, over sets large enough to be sorted byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "lineio/name_order.hpp"

namespace {

// `names` as sort_by_name orders them.
std::vector<std::string> sorted_by_name(const std::vector<std::string>& names) {
    lineio::FolderListing listing;
    for (const std::string& name : names) {
        listing.entries.push_back({static_cast<std::uint32_t>(listing.names.size()),
                                   static_cast<std::uint32_t>(name.size())});
        listing.names += name;
    }
    lineio::sort_by_name(listing.entries, listing.names.data());
    std::vector<std::string> sorted;
    for (const auto& entry : listing.entries) {
        sorted.emplace_back(listing.name(entry));
    }
    return sorted;
}

TEST(NameOrder, IsTheOrderOfTheNamesBytes) {
    std::mt19937 random(20251121);
    // Clip names, names that are heads of others, bytes above 0x7F, one name many times.
    const std::vector<std::string> heads{"2025_11_21_", "2025 11 2", "", "\xC3\xA9t\xC3\xA9", "a"};
    for (const std::size_t count : {0, 1, 2, 63, 64, 65, 700, 5000}) {
        std::vector<std::string> names;
        for (std::size_t made = 0; made < count; ++made) {
            std::string name = heads[random() % heads.size()];
            for (std::size_t extra = random() % 12; extra > 0; --extra) {
                name.push_back(static_cast<char>(random() % 4 == 0 ? 0x80 + random() % 128
                                                                   : '0' + random() % 10));
            }
            names.push_back(made % 7 == 3 ? names[made / 2] : name);
        }
        std::vector<std::string> expected = names;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted_by_name(names), expected) << count << " names";
    }
    EXPECT_EQ(sorted_by_name(std::vector<std::string>(70, "same")),
              std::vector<std::string>(70, "same"));
}

}  // namespace
