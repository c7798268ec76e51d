#include "lineio/sorted_names.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace lineio {
namespace {

std::vector<std::string> sorted_by_sort_names(std::vector<std::string> names) {
    std::vector<std::string_view> views(names.begin(), names.end());
    sort_names(views);
    return {views.begin(), views.end()};
}

std::vector<std::string> sorted_by_std_sort(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SortNames, OrdersAsTheStringsDo) {
    const std::vector<std::vector<std::string>> cases{
        {},
        {"only"},
        // Names that agree in their first sixteen bytes and differ after them, or only in length.
        {"2025_11_21_15_40_10.mp4", "2025_11_21_15_40_01.mp4", "2025_11_21_15_40",
         "2025_11_21_15_40_", "2025_11_21_15_4", "2025_11_21_15_40_10.mp4"},
        // Bytes above 127 order after every ASCII byte, as unsigned values.
        {"\xC3\xA9t\xC3\xA9.mp4", "ete.mp4", "\xFF", "~", "zz", "Z"},
        // A zero byte inside a name still orders the names as the strings do.
        {std::string("a\0b", 3), "a", std::string("a\0", 2), std::string("a\0a", 3)},
        {"b", "a", "", "ab", "abcdefghijklmnopq", "abcdefghijklmnop", "abcdefgh", "abcdefghi"},
    };
    for (const auto& names : cases) {
        EXPECT_EQ(sorted_by_sort_names(names), sorted_by_std_sort(names));
    }
}

TEST(SortNames, OrdersManyNamesWithLongCommonBeginnings) {
    std::mt19937 random(7);
    std::vector<std::string> names;
    for (int i = 0; i < 5000; ++i) {
        std::string name = "2025_11_21_15_4";
        const auto extra = static_cast<int>(random() % 12);
        for (int j = 0; j < extra; ++j) {
            name.push_back(static_cast<char>("09_ .aZ\xE9"[random() % 8]));
        }
        names.push_back(name);
    }
    EXPECT_EQ(sorted_by_sort_names(names), sorted_by_std_sort(names));
}

}  // namespace
}  // namespace lineio
