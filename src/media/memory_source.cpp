#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "media/byte_source.hpp"

namespace media {

MemorySource::MemorySource(std::string bytes) : head_(std::move(bytes)), size_(head_.size()) {}

MemorySource::MemorySource(std::string head, std::uint64_t size, std::string tail)
    : head_(std::move(head)), tail_(std::move(tail)), size_(size) {}

int MemorySource::read_at(std::uint64_t offset, std::span<char> into, std::size_t& got) {
    if (offset > size_ || into.size() > size_ - offset) {
        (void)std::fputs("the date reader asked for bytes past the end of its source\n", stderr);
        std::abort();
    }
    asked_ += into.size();
    ++reads_;
    if (offset + into.size() > failing_from_) {
        return EIO;
    }
    const std::uint64_t tail_start = size_ - tail_.size();
    for (std::size_t i = 0; i < into.size(); ++i) {
        const std::uint64_t at = offset + i;
        into[i] = at < head_.size() ? head_[at] : at >= tail_start ? tail_[at - tail_start] : '\0';
    }
    got = into.size();
    return 0;
}

}  // namespace media
