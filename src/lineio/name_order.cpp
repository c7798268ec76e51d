#include "lineio/name_order.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace lineio {
namespace {

using Entry = FolderListing::Entry;

// A name's bucket at a byte's place: 0 when the name ends before it, else the byte plus one.
constexpr std::size_t bucket_count = 257;

// Fewer names than this are left to std::sort: counting into every bucket would cost more.
constexpr std::size_t fewest_counted = 64;

// Names that agree in their first `depth` bytes, at entries[first, first + count).
struct Range {
    std::size_t first = 0;
    std::size_t count = 0;
    std::size_t depth = 0;
};

std::size_t bucket_of(const Entry& entry, const char* names, std::size_t depth) {
    return depth < entry.length
               ? std::size_t{static_cast<unsigned char>(names[entry.start + depth])} + 1
               : 0;
}

}  // namespace

// A radix sort in place, byte by byte from the first: clip names differ in a few date digits
// behind a long shared head, which a comparison sort reads again at each of its steps. With the
// other steps of bench/README.md, a sixth of a plain run's instructions and about 3 % of its
// processor time; it needs no room beyond the buckets' counts.
void sort_by_name(std::span<Entry> entries, const char* names) {
    std::vector<Range> pending{{0, entries.size(), 0}};
    while (!pending.empty()) {
        const Range range = pending.back();
        pending.pop_back();
        const std::span<Entry> part = entries.subspan(range.first, range.count);
        if (range.count < fewest_counted) {
            // The names agree in their first `depth` bytes and differ a few bytes on: compared
            // from there byte by byte, which costs a fraction of a call to compare them whole.
            const std::size_t depth = range.depth;
            std::sort(part.begin(), part.end(),
                      [names, depth](const Entry& left, const Entry& right) {
                          const char* const one = names + left.start;
                          const char* const other = names + right.start;
                          const std::size_t shorter = std::min(left.length, right.length);
                          for (std::size_t at = depth; at < shorter; ++at) {
                              if (one[at] != other[at]) {
                                  return static_cast<unsigned char>(one[at]) <
                                         static_cast<unsigned char>(other[at]);
                              }
                          }
                          return left.length < right.length;
                      });
            continue;
        }
        std::array<std::size_t, bucket_count> counts{};
        for (const Entry& entry : part) {
            ++counts[bucket_of(entry, names, range.depth)];
        }
        const std::size_t first_bucket = bucket_of(part.front(), names, range.depth);
        if (counts[first_bucket] == range.count) {
            // Alike at this byte: on to the next, unless every name ended here, which makes them
            // all the same name.
            if (first_bucket != 0) {
                pending.push_back({range.first, range.count, range.depth + 1});
            }
            continue;
        }
        // Each entry is moved straight into its bucket's next free place, and whatever stood
        // there goes on to its own bucket.
        std::array<std::size_t, bucket_count> next{};
        std::array<std::size_t, bucket_count> ends{};
        for (std::size_t bucket = 0, start = 0; bucket < bucket_count; ++bucket) {
            next[bucket] = start;
            start += counts[bucket];
            ends[bucket] = start;
        }
        for (std::size_t bucket = 0; bucket < bucket_count; ++bucket) {
            while (next[bucket] < ends[bucket]) {
                Entry moving = part[next[bucket]];
                for (std::size_t own = bucket_of(moving, names, range.depth); own != bucket;
                     own = bucket_of(moving, names, range.depth)) {
                    std::swap(moving, part[next[own]++]);
                }
                part[next[bucket]++] = moving;
            }
        }
        // The names that ended here are all one name; every other bucket is sorted on.
        for (std::size_t bucket = 1; bucket < bucket_count; ++bucket) {
            if (counts[bucket] > 1) {
                pending.push_back(
                    {range.first + ends[bucket] - counts[bucket], counts[bucket], range.depth + 1});
            }
        }
    }
}

}  // namespace lineio
