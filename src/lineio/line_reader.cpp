#include "lineio/line_reader.hpp"

#include <cstring>

namespace lineio {

namespace {
constexpr std::size_t buffer_size = std::size_t{64} * 1024;
}  // namespace

int LineReader::refill() {
    if (error_ != 0 || input_ended_) {
        return error_;
    }
    if (!buffer_) {
        buffer_ = std::make_unique<char[]>(buffer_size);
    }
    position_ = 0;
    end_ = 0;
    std::size_t count = 0;
    error_ = read_bytes_(buffer_.get(), buffer_size, count);
    if (error_ == 0) {
        input_ended_ = count == 0;
        end_ = count;
    }
    return error_;
}

int LineReader::next_line(std::string& line, bool& has_line) {
    std::string_view view;
    const int error = next_line(view, has_line);
    line.assign(view);
    return error;
}

int LineReader::next_line(std::string_view& line, bool& has_line) {
    line = {};
    has_line = false;
    // A line whole in the buffer is handed out where it stands; one that goes on past the bytes
    // read so far is gathered in spanning_.
    bool spans = false;
    bool started = false;
    while (true) {
        if (position_ == end_) {
            if (const int error = refill(); error != 0) {
                return error;
            }
            if (position_ == end_) {
                break;  // a last line without a line feed, or no line at all
            }
        }
        started = true;
        const char* const start = buffer_.get() + position_;
        const auto* const feed =
            static_cast<const char*>(std::memchr(start, '\n', end_ - position_));
        const auto count =
            static_cast<std::size_t>((feed == nullptr ? buffer_.get() + end_ : feed) - start);
        if (!spans && feed != nullptr) {
            line = std::string_view(start, count);
        } else {
            if (!spans) {
                spanning_.clear();
                spans = true;
            }
            if (spanning_.size() + count > longest_line) {
                return line_too_long;
            }
            spanning_.append(start, count);
            line = spanning_;
        }
        position_ += count;
        if (feed != nullptr) {
            ++position_;
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            break;
        }
    }
    if (started) {
        has_line = true;
        ++lines_read_;
    }
    return 0;
}

}  // namespace lineio
