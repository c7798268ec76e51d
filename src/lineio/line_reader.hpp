// Splits a stream of bytes into lines.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace lineio {

class LineReader {
  public:
    // Reads at most `capacity` bytes; `count` is 0 at the end of the input. Returns 0 or an
    // error number.
    using ReadBytes = std::function<int(char* buffer, std::size_t capacity, std::size_t& count)>;

    // The longest line the program reads: far beyond any answer or listed name, yet it keeps a
    // line that never ends from taking all memory.
    static constexpr std::size_t longest_line = std::size_t{16} << 20;
    // What next_line returns for a longer line; error numbers are positive.
    static constexpr int line_too_long = -1;

    explicit LineReader(ReadBytes read_bytes) : read_bytes_(std::move(read_bytes)) {}

    // Reads the next line into `line` without its line end: a line feed, or a carriage return and
    // a line feed; the last line may have none. `has_line` is false when the input holds no
    // further line. Never reads past the line feed that ends the line, so that a console is not
    // waited on for more than the answer asked for. Returns 0, line_too_long or an error number.
    // The line is a view into the reader's own bytes, valid until its next reading; the second
    // form copies it.
    int next_line(std::string_view& line, bool& has_line);
    int next_line(std::string& line, bool& has_line);

    long long lines_read() const { return lines_read_; }
    // True when bytes were taken from the input that no line has handed out yet.
    bool holds_unread_bytes() const { return position_ < end_; }
    // True once the input has said that it holds no more bytes.
    bool input_ended() const { return input_ended_; }

  private:
    int refill();

    ReadBytes read_bytes_;
    std::unique_ptr<char[]> buffer_;  // allocated at the first read
    std::string spanning_;            // a line read across more than one reading of the input
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool input_ended_ = false;
    int error_ = 0;
    long long lines_read_ = 0;
};

}  // namespace lineio
