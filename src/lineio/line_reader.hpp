// Splits a stream of bytes into lines through a buffer of fixed size, so that a line of any
// length, even one that never ends, passes through in bounded memory.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

namespace lineio {

class LineReader {
  public:
    // Reads at most `capacity` bytes; `count` is 0 at the end of the input. Returns 0 or an
    // error number.
    using ReadBytes = std::function<int(char* buffer, std::size_t capacity, std::size_t& count)>;

    // What next_character gives once the current line is over.
    static constexpr int line_end = -1;

    explicit LineReader(ReadBytes read_bytes, std::size_t buffer_size = std::size_t{64} * 1024);

    // Moves to the start of the next line, passing over what is left of the current one.
    // `has_line` is false when the input holds no further line. Returns 0 or an error number.
    int start_line(bool& has_line);

    // The next character of the current line (0 to 255), or line_end once the line is over:
    // at a line feed, at a carriage return and line feed, or at the end of the input.
    int next_character(int& character) {
        // Nearly every character is an ordinary one already in the buffer.
        if (in_line_ && position_ < end_) {
            const auto byte = static_cast<unsigned char>(buffer_[position_]);
            if (byte != '\n' && byte != '\r') {
                ++position_;
                character = byte;
                return 0;
            }
        }
        return next_character_at_edge(character);
    }

    // When the next line lies whole in the buffer, line feed included, hands it out without its
    // line end and moves past it, as start_line, reading to the line's end and finish_line would;
    // otherwise returns false and changes nothing.
    bool take_buffered_line(std::string_view& line) {
        if (in_line_ || position_ >= end_) {
            return false;
        }
        const char* const start = buffer_.get() + position_;
        const void* const feed = std::memchr(start, '\n', end_ - position_);
        if (feed == nullptr) {
            return false;
        }
        auto length = static_cast<std::size_t>(static_cast<const char*>(feed) - start);
        position_ += length + 1;
        if (length > 0 && start[length - 1] == '\r') {
            --length;
        }
        line = std::string_view(start, length);
        ++lines_started_;
        return true;
    }

    // Copies the next characters of the current line to `destination`, at most `count` of them,
    // as that many next_character calls would; `taken` tells how many came before the line ended.
    int take_characters(char* destination, std::size_t count, std::size_t& taken);

    // Passes over the rest of the current line and its line end.
    int finish_line();

    bool in_line() const { return in_line_; }
    long long lines_started() const { return lines_started_; }
    // True when bytes were taken from the input that no line has handed out yet.
    bool holds_unread_bytes() const { return position_ < end_; }

  private:
    // next_character at a line end, a carriage return or the end of the buffer.
    int next_character_at_edge(int& character);
    // The next byte without taking it, or -1 at the end of the input.
    int peek_byte(int& byte);
    int refill();

    ReadBytes read_bytes_;
    std::size_t buffer_size_;
    std::unique_ptr<char[]> buffer_;  // allocated at the first read
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool input_ended_ = false;
    int error_ = 0;
    bool in_line_ = false;
    long long lines_started_ = 0;
};

}  // namespace lineio
