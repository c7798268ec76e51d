// Fixed-width field input over arbitrary files: no line end at the end, carriage returns alone,
// NUL bytes, lines longer than any buffer.
//
// The fuzzer's bytes become a file in a scratch folder, read on a channel field by field until
// its end, and read again line by line through a line reader with a buffer of a few bytes. Both
// are checked against lines split here in the plainest way: a line ends at a line feed, a carriage
// return just before that line feed is no part of it, and a last line may lack its line feed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.hpp"
#include "lineio/channels.hpp"
#include "lineio/line_reader.hpp"
#include "support/fake_console.hpp"

namespace {

using fuzz_support::require;

constexpr int file_channel = 1;
// A line this long passes the channels' 64 KiB buffer several times over.
constexpr std::size_t long_run = std::size_t{200} * 1024;
// The fourth byte, from this value on, places such a run (slow to check, so not too often).
constexpr std::uint8_t long_run_mark = 0xF0;

std::vector<std::string> plain_lines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t feed = content.find('\n', start);
        if (feed == std::string::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        std::string line = content.substr(start, feed - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = feed + 1;
    }
    return lines;
}

// What field input of `width` columns into `capacity` characters makes of `line`.
std::string expected_field(const std::string& line, int width, std::size_t capacity) {
    const auto columns = static_cast<std::size_t>(std::max(width, 0));
    std::string field = line.substr(0, std::min(line.size(), columns));
    field.resize(columns, ' ');
    if (columns <= capacity) {
        field.resize(capacity, ' ');
        return field;
    }
    return field.substr(columns - capacity);
}

const fuzz_support::ScratchFolder& scratch() {
    static const fuzz_support::ScratchFolder folder;
    return folder;
}

void read_through_channel(const std::string& content, const std::vector<std::string>& lines,
                          int width, std::size_t capacity) {
    const std::string file = (scratch().path() / "listing").string();
    test_support::FakeConsole console;
    lineio::Channels channels(console);
    const auto end = fuzz_support::program_end_of([&] {
        fuzz_support::ScratchFolder::write(file, content);
        channels.open(file_channel, file);
        std::size_t read = 0;
        while (true) {
            std::string destination(capacity, '#');
            bool longer = false;
            const int status = channels.field_input(file_channel, width, destination, &longer);
            if (status == lineio::end_of_file) {
                break;
            }
            require(status == lineio::line_read, "field input reads a line or meets the end");
            require(read < lines.size(), "field input reads no more lines than the file holds");
            const std::string& line = lines[read++];
            require(destination == expected_field(line, width, capacity),
                    "the field holds the line's first columns");
            require(longer == (line.size() > static_cast<std::size_t>(std::max(width, 0))),
                    "a line longer than its field is told apart");
        }
        require(read == lines.size(), "field input reads every line of the file");
        // Past the end, the end stays the end.
        std::string destination(capacity, '#');
        require(channels.field_input(file_channel, width, destination) == lineio::end_of_file,
                "the end of a file is met again");
        require(destination == std::string(capacity, '#'), "the end leaves the destination");
        channels.close(file_channel);
    });
    require(!end.has_value(), "reading a file to its end is no failure");
    require(console.error.empty() && console.output.empty(), "reading a file writes nothing");
    require(fuzz_support::ScratchFolder::read(file) == content, "a file only read is unchanged");
}

void read_through_small_buffer(const std::string& content, const std::vector<std::string>& lines,
                               std::size_t buffer, std::size_t chunk) {
    std::size_t position = 0;
    lineio::LineReader reader(
        [&](char* destination, std::size_t capacity, std::size_t& got) {
            got = std::min({capacity, chunk, content.size() - position});
            content.copy(destination, got, position);
            position += got;
            return 0;
        },
        buffer);
    for (const std::string& line : lines) {
        bool has_line = false;
        require(reader.start_line(has_line) == 0 && has_line, "every line is started");
        std::string read;
        int character = 0;
        while (true) {
            require(reader.next_character(character) == 0, "reading memory does not fail");
            if (character == lineio::LineReader::line_end) {
                break;
            }
            require(character >= 0 && character <= 255, "a character is one byte");
            read.push_back(static_cast<char>(character));
        }
        require(read == line, "the line reader splits lines as they were written");
    }
    bool has_line = true;
    require(reader.start_line(has_line) == 0 && !has_line, "no line follows the last");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::ByteReader bytes(data, size);
    const int width = bytes.byte() % 90 - 5;  // a few widths below 0 as well
    const std::size_t capacity = bytes.byte() % 81;
    const std::uint8_t shape = bytes.byte();
    const std::size_t buffer = 1 + shape % 16;
    const std::size_t chunk = 1 + (shape >> 4);
    const std::uint8_t long_run_at = bytes.byte();
    std::string content(bytes.rest());
    if (long_run_at >= long_run_mark) {
        // A run of several hundred kilobytes without a line end, cut into the content.
        content.insert(std::min<std::size_t>(long_run_at - long_run_mark, content.size()), long_run,
                       'x');
    }

    const std::vector<std::string> lines = plain_lines(content);
    read_through_channel(content, lines, width, capacity);
    read_through_small_buffer(content, lines, buffer, chunk);
    return 0;
}
