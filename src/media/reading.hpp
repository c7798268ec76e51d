// What the two container readers share: exact reads from the source, and numbers in the byte
// orders their formats write (big-endian boxes, little-endian chunks).
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

std::uint64_t big_endian(std::string_view bytes);
std::uint64_t little_endian(std::string_view bytes);
std::string to_big_endian(std::uint64_t value, std::size_t count);

}  // namespace media
