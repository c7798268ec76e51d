// A clip's corrected name and its burst variants, whatever the listing held in its columns.
#include "workflow/clip_name.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ClipName, IsCorrectedColumnByColumnOrNotAtAll) {
    const std::pair<std::string, std::string> names[] = {
        {"2025_11_21_15_40_10.mp4", "2025 11 21 14 25 10.mp4"},
        {"2025–11–21 15.40.10.MP4", "2025 11 21 14 25 10.MP4"},  // en dashes, a column each
        {"2025_11_21_15_40_10.m4", "2025 11 21 14 25 10.m4"},
        {"2025_11_21_15_40_10.mp4x", "2025 11 21 14 25 10.mp4"},  // past column 23
        {"2025_11_21_15_40_1", ""},
        {"2025_11_21_15_61_10.mp4", ""},
    };
    for (const auto& [name, corrected] : names) {
        EXPECT_EQ(workflow::corrected_name(name, -75).value_or(""), corrected) << name;
    }
    EXPECT_EQ(workflow::burst_variant("2025 11 21 14 25 10.mp4", 7), "2025 11 21 14 25 07.mp4");
    EXPECT_EQ(workflow::burst_variant("2025 11 21 14 25 1", 40), "2025 11 21 14 25 1");
    EXPECT_TRUE(workflow::is_name_or_variant("2025 11 21 14 25 10.mp4", "2025 11 21 14 25 40.mp4"));
    EXPECT_FALSE(
        workflow::is_name_or_variant("2025 11 21 14 25 10.mp4", "2025 11 21 14 25 41.mp4"));
}

}  // namespace
