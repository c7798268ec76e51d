// A date and time as the user types it: "yyyy mn dy hr mn sc".
#pragma once

#include <cstdint>

namespace timestamp {

struct Timestamp {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
};

// The calendar's first year, as the dialogue hands it to every routine, and its last year.
inline constexpr std::int32_t lowest_year = 2009;
inline constexpr std::int32_t last_year = 2050;

}  // namespace timestamp
