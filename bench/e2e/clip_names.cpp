#include "clip_names.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string_view>

namespace bench {
namespace {

using namespace std::chrono;

// Separator patterns for the five places between the fields; none is all blanks.
constexpr std::array<std::string_view, 8> separator_patterns{
    "_____", "-- ..", ".....", "-----", "  _  ", "_-_-_", " . . ", "__ __",
};
constexpr std::array<std::string_view, 6> extensions{"avi", "AVI", "mp4", "MP4", "m4v", "M4V"};

// One burst in about this many minutes; a burst holds 2 to 4 clips.
constexpr std::uint64_t burst_rarity = 700;
// Clips are this many minutes apart at most: 100,000 clips span about 19 years. More clips come
// closer together, so that a million still end before the calendar does (in 2050).
constexpr std::uint64_t largest_gap = 200;
constexpr std::size_t clips_at_largest_gap = 100000;

// A small generator whose sequence is the same on every machine and with every library.
class SplitMix {
  public:
    std::uint64_t next(std::uint64_t bound) {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        return (z ^ (z >> 31U)) % bound;
    }

  private:
    std::uint64_t state_ = 20251121;
};

void append_two_digits(std::string& name, unsigned value) {
    name.push_back(static_cast<char>('0' + value / 10));
    name.push_back(static_cast<char>('0' + value % 10));
}

std::string clip_name(sys_time<minutes> minute, unsigned second, std::string_view separators,
                      std::string_view extension) {
    const sys_days day = floor<days>(minute);
    const year_month_day date{day};
    const hh_mm_ss<minutes> time{minute - day};
    std::string name = std::to_string(static_cast<int>(date.year()));
    name.push_back(separators[0]);
    append_two_digits(name, static_cast<unsigned>(date.month()));
    name.push_back(separators[1]);
    append_two_digits(name, static_cast<unsigned>(date.day()));
    name.push_back(separators[2]);
    append_two_digits(name, static_cast<unsigned>(time.hours().count()));
    name.push_back(separators[3]);
    append_two_digits(name, static_cast<unsigned>(time.minutes().count()));
    name.push_back(separators[4]);
    append_two_digits(name, second);
    name.push_back('.');
    name.append(extension);
    return name;
}

}  // namespace

std::vector<std::string> clip_names(std::size_t count) {
    SplitMix random;
    std::vector<std::string> names;
    names.reserve(count);
    sys_time<minutes> minute = sys_days{year{2012} / January / 1};
    const std::uint64_t gap =
        count <= clips_at_largest_gap
            ? largest_gap
            : std::max<std::uint64_t>(2, largest_gap * clips_at_largest_gap / count);
    while (names.size() < count) {
        minute += minutes{1 + random.next(gap)};
        const auto second = static_cast<unsigned>(random.next(60));
        const std::string_view extension = extensions[random.next(extensions.size())];
        const std::size_t first_pattern = random.next(separator_patterns.size());
        const std::size_t clips = random.next(burst_rarity) == 0 ? 2 + random.next(3) : 1;
        for (std::size_t clip = 0; clip < clips && names.size() < count; ++clip) {
            const std::string_view separators =
                separator_patterns[(first_pattern + clip) % separator_patterns.size()];
            names.push_back(clip_name(minute, second, separators, extension));
        }
    }
    return names;
}

}  // namespace bench
