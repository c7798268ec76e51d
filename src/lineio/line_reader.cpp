#include "lineio/line_reader.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lineio {

namespace {
constexpr unsigned char line_feed = '\n';
constexpr unsigned char carriage_return = '\r';

// How many of the `length` bytes at `start` come before the first `stop`.
std::size_t ordinary_run(const char* start, std::size_t length, unsigned char stop) {
    if (length == 0) {
        return 0;
    }
    const void* found = std::memchr(start, stop, length);
    return found == nullptr ? length
                            : static_cast<std::size_t>(static_cast<const char*>(found) - start);
}
}  // namespace

LineReader::LineReader(ReadBytes read_bytes, std::size_t buffer_size)
    : read_bytes_(std::move(read_bytes)), buffer_size_(buffer_size == 0 ? 1 : buffer_size) {}

int LineReader::refill() {
    if (error_ != 0 || input_ended_) {
        return error_;
    }
    if (!buffer_) {
        buffer_ = std::make_unique<char[]>(buffer_size_);
    }
    position_ = 0;
    end_ = 0;
    std::size_t count = 0;
    error_ = read_bytes_(buffer_.get(), buffer_size_, count);
    if (error_ == 0) {
        if (count == 0) {
            input_ended_ = true;
        }
        end_ = count;
    }
    return error_;
}

int LineReader::peek_byte(int& byte) {
    if (position_ == end_) {
        if (const int error = refill(); error != 0) {
            return error;
        }
    }
    byte = position_ < end_ ? static_cast<unsigned char>(buffer_[position_]) : -1;
    return 0;
}

int LineReader::start_line(bool& has_line) {
    has_line = false;
    if (const int error = finish_line(); error != 0) {
        return error;
    }
    int byte = -1;
    if (const int error = peek_byte(byte); error != 0) {
        return error;
    }
    if (byte >= 0) {
        in_line_ = true;
        ++lines_started_;
        has_line = true;
    }
    return 0;
}

int LineReader::next_character_at_edge(int& character) {
    character = line_end;
    if (!in_line_) {
        return 0;
    }
    int byte = -1;
    if (const int error = peek_byte(byte); error != 0) {
        return error;
    }
    if (byte < 0) {
        in_line_ = false;  // a last line without a line feed
        return 0;
    }
    ++position_;
    if (byte == line_feed) {
        in_line_ = false;
        return 0;
    }
    if (byte == carriage_return) {
        int following = -1;
        if (const int error = peek_byte(following); error != 0) {
            return error;
        }
        if (following == line_feed) {
            ++position_;
            in_line_ = false;
            return 0;
        }
    }
    character = byte;
    return 0;
}

int LineReader::take_characters(char* destination, std::size_t count, std::size_t& taken) {
    taken = 0;
    while (taken < count && in_line_) {
        // The ordinary characters already in the buffer go in one copy.
        const std::size_t room = std::min(count - taken, end_ - position_);
        const char* const start = room > 0 ? buffer_.get() + position_ : nullptr;
        std::size_t ordinary = ordinary_run(start, room, line_feed);
        ordinary = ordinary_run(start, ordinary, carriage_return);
        if (ordinary > 0) {
            std::memcpy(destination + taken, start, ordinary);
            position_ += ordinary;
            taken += ordinary;
            continue;
        }
        int character = line_end;
        if (const int error = next_character_at_edge(character); error != 0) {
            return error;
        }
        if (character == line_end) {
            break;
        }
        destination[taken++] = static_cast<char>(character);
    }
    return 0;
}

int LineReader::finish_line() {
    while (in_line_) {
        if (position_ == end_) {
            if (const int error = refill(); error != 0) {
                return error;
            }
            if (position_ == end_) {
                in_line_ = false;
                break;
            }
        }
        const void* found = std::memchr(buffer_.get() + position_, line_feed, end_ - position_);
        if (found == nullptr) {
            position_ = end_;
        } else {
            position_ =
                static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.get()) + 1;
            in_line_ = false;
        }
    }
    return 0;
}

}  // namespace lineio
