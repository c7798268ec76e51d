// What the two container readers share: reads from the source through one buffer, and numbers in
// the byte orders their formats write (big-endian boxes, little-endian chunks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/byte_source.hpp"

namespace media {

// Reads `count` bytes at `offset` into `into`. On failure returns false with the reason the
// whole clip is left alone in `failure`.
// REQUIRES: offset + count <= source.size().
bool read_bytes(ByteSource& source, std::uint64_t offset, std::size_t count, std::string& into,
                std::string& failure);

// A clip's source read through one buffer, so that the box headers and dates that lie together
// come from one read of the system. A read that misses the buffer takes in what follows the bytes
// asked for too, up to the end of the region the caller walks (a box, a list, the file): the whole
// rest of it where that fits in what is left of the allowance, otherwise a short look ahead. The
// allowance bounds the bytes read that were never asked for, so that a clip of gigabytes, or a
// movie box of large sample tables, costs at most that much more than the bytes its walk needs.
class ClipReader {
  public:
    // Bytes a clip may cost beyond those asked for, and the look ahead of a region too large for
    // them: a clip's head, or the next box headers of a large movie box.
    static constexpr std::uint64_t allowance = std::uint64_t{56} * 1024;
    static constexpr std::uint64_t look_ahead = std::uint64_t{4} * 1024;

    explicit ClipReader(ByteSource& source) : source_(source) {}
    std::uint64_t size() const { return source_.size(); }

    // Reads `count` bytes at `offset` into `into`, the bytes up to `region_end` being the ones the
    // walk may ask for next. On failure returns false with the reason the whole clip is left alone
    // in `failure`.
    // REQUIRES: offset + count <= region_end <= size().
    bool read(std::uint64_t offset, std::size_t count, std::uint64_t region_end, std::string& into,
              std::string& failure);

  private:
    ByteSource& source_;
    std::string buffer_;
    std::uint64_t buffer_at_ = 0;
    std::uint64_t allowance_left_ = allowance;
};

std::uint64_t big_endian(std::string_view bytes);
std::uint64_t little_endian(std::string_view bytes);
std::string to_big_endian(std::uint64_t value, std::size_t count);

}  // namespace media
