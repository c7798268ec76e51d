// Dates written as text inside containers, shifted with their length and form kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "media/civil_time.hpp"

namespace media {

// The shifted text, or the reason it is left as it is.
struct ShiftedText {
    std::string text;
    std::string reason;  // empty when shifted
};

// An ISO 8601 text as cameras and muxers write it: "2025-11-21T15:40:10+0100", with "+01:00",
// "Z" or no offset, seconds with a fraction or without, or "2025-11-21" and "2025" alone. The
// offset is kept: the clock was wrong, not its zone. A date without a time moves only by whole
// days; a year alone does not move. Zeros after the text are kept.
ShiftedText shift_iso_text(std::string_view text, std::int64_t shift_seconds);

// The AVI date "Mon Mar 10 15:04:43 2003" (the C library's ctime form, the day also as " 3" or
// "03"), its weekday recomputed. `text` is those 24 characters.
ShiftedText shift_ctime_text(std::string_view text, std::int64_t shift_seconds);
std::optional<CivilTime> read_ctime_text(std::string_view text);

}  // namespace media
