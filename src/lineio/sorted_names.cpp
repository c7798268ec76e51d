#include "lineio/sorted_names.hpp"

#include <algorithm>
#include <cstdint>

namespace lineio {
namespace {

constexpr std::size_t key_bytes = 8;

// Up to eight bytes of `name` from `start` as a number that orders as they do: the first byte
// highest, missing bytes as zeros. Two names whose numbers differ order as their numbers do.
std::uint64_t key_at(std::string_view name, std::size_t start) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < key_bytes; ++i) {
        const std::size_t at = start + i;
        const std::uint64_t byte = at < name.size() ? static_cast<unsigned char>(name[at]) : 0U;
        key = (key << 8U) | byte;
    }
    return key;
}

struct KeyedName {
    std::uint64_t first;
    std::uint64_t second;
    std::string_view name;
};

// A function object rather than a function, so that the sort inlines every comparison.
struct ComesBefore {
    bool operator()(const KeyedName& left, const KeyedName& right) const {
        if (left.first != right.first) {
            return left.first < right.first;
        }
        if (left.second != right.second) {
            return left.second < right.second;
        }
        // Rare: the first sixteen bytes agree, or only seem to where a name holds a zero byte.
        return left.name < right.name;
    }
};

}  // namespace

void sort_names(std::vector<std::string_view>& names) {
    std::vector<KeyedName> keyed(names.size());
    std::transform(names.begin(), names.end(), keyed.begin(), [](std::string_view name) {
        return KeyedName{key_at(name, 0), key_at(name, key_bytes), name};
    });
    std::sort(keyed.begin(), keyed.end(), ComesBefore{});
    std::transform(keyed.begin(), keyed.end(), names.begin(),
                   [](const KeyedName& each) { return each.name; });
}

}  // namespace lineio
