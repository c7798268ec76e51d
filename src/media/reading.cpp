#include "media/reading.hpp"

#include <algorithm>
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

bool ClipReader::read(std::uint64_t offset, std::size_t count, std::uint64_t region_end,
                      std::string& into, std::string& failure) {
    if (offset >= buffer_at_ && offset - buffer_at_ <= buffer_.size() &&
        count <= buffer_.size() - (offset - buffer_at_)) {
        into.assign(buffer_, offset - buffer_at_, count);
        return true;
    }
    const std::uint64_t rest = region_end - offset;
    const std::uint64_t length =
        rest - count <= allowance_left_ ? rest : count + std::min(allowance_left_, look_ahead);
    if (length > count) {
        if (read_bytes(source_, offset, length, buffer_, failure)) {
            buffer_at_ = offset;
            allowance_left_ -= length - count;
            into.assign(buffer_, 0, count);
            return true;
        }
        // A bad sector among the bytes read ahead costs the clip nothing: those asked for are
        // read alone.
        buffer_.clear();
        failure.clear();
    }
    return read_bytes(source_, offset, count, into, failure);
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
