// The timestamp entry check: a typed Timestamp whose fields are out of range is reported field by
// field on the console, then the program stops.
#pragma once

#include <cstdint>

#include "lineio/channels.hpp"

namespace timestamp {

// Returns having written nothing when every field is within range. Otherwise writes one line for
// each bad field, in the order year, month, day, hour, minute, second, then the explanation and
// the pause prompt, waits for Enter and stops the program with "Stop in error check".
void CHECK(lineio::Channels& console, const std::int32_t& lowest_year, const std::int32_t& year,
           const std::int32_t& month, const std::int32_t& day, const std::int32_t& hour,
           const std::int32_t& minute, const std::int32_t& second);

}  // namespace timestamp
