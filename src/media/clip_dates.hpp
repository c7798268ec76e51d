// What a clip's container records as its dates, and each one's corrected bytes: the pure core of
// correcting the dates inside a clip. Nothing here writes; the caller journals the fields and
// patches them in place, the same number of bytes at the same offset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "media/byte_source.hpp"
#include "media/civil_time.hpp"

namespace media {

// One date field and its bytes, now and after the correction.
struct DateField {
    std::uint64_t offset;
    std::string old_bytes;
    std::string new_bytes;  // as long as old_bytes
    std::string what;       // "mvhd creation", "tkhd modification of track 1", "©day", ...
};

// A date found and left as it is, with the reason the caller shows.
struct LeftField {
    std::string what;
    std::string reason;
};

struct ClipDates {
    // Not empty when the whole clip is left alone: the container does not parse whole, or could
    // not be read. Then nothing else here may be used.
    std::string left_alone;
    std::vector<DateField> fields;
    std::vector<LeftField> left;
    // The clip's creation time as stored, for the check that it agrees with the name: the movie
    // header's seconds since 1904 (UTC by convention), or an AVI's date text in local civil time.
    std::optional<std::uint64_t> creation_since_1904;
    std::optional<CivilTime> local_creation;
    // The movie header's duration over its time scale. Neither it nor the creation time is given
    // where it is past any clip's.
    std::optional<double> duration_seconds;
};

// A clip left alone as a whole, for this reason.
inline ClipDates left_alone(std::string reason) {
    ClipDates dates;
    dates.left_alone = std::move(reason);
    return dates;
}

// Reads the dates of an ISO or QuickTime container (.mp4, .m4v) or of an AVI (the RIFF form "AVI
// "), told apart by their first bytes, and works out each one shifted by `shift_seconds`.
ClipDates read_clip_dates(ByteSource& source, std::int64_t shift_seconds);

class ClipReader;
ClipDates read_mp4_dates(ClipReader& reader, std::int64_t shift_seconds);
ClipDates read_avi_dates(ClipReader& reader, std::int64_t shift_seconds);

}  // namespace media
