#include "media/reading.hpp"

#include <numeric>

namespace media {

bool read_bytes(ByteSource& source, std::uint64_t offset, std::size_t count, std::string& into,
                std::string& failure) {
    into.assign(count, '\0');
    std::size_t got = 0;
    const int error = source.read_at(offset, into, got);
    if (error != 0) {
        failure = "the clip could not be read (error " + std::to_string(error) + ")";
        return false;
    }
    if (got != count) {
        failure = "the clip ended while it was read";
        return false;
    }
    return true;
}

namespace {

std::uint64_t shift_in(std::uint64_t value, char byte) {
    return value << 8 | static_cast<unsigned char>(byte);
}

}  // namespace

std::uint64_t big_endian(std::string_view bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), std::uint64_t{0}, shift_in);
}

std::uint64_t little_endian(std::string_view bytes) {
    return std::accumulate(bytes.rbegin(), bytes.rend(), std::uint64_t{0}, shift_in);
}

std::string to_big_endian(std::uint64_t value, std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = count; i-- > 0; value >>= 8) {
        bytes[i] = static_cast<char>(value & 0xFF);
    }
    return bytes;
}

}  // namespace media
