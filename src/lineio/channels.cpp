#include "lineio/channels.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "lineio/fixed_text.hpp"
#include "lineio/integer_input.hpp"
#include "lineio/line_reader.hpp"
#include "lineio/plain_words.hpp"
#include "lineio/platform.hpp"

namespace lineio {

namespace {

constexpr std::string_view program_name = "DoridivezizoziRUR";
constexpr std::string_view stop_notice = "Program stopped";
constexpr std::string_view line_end = "\r\n";
// Console output that no person watches is gathered up to this size before it is written: a
// write for every console line would cost about a fifth of a 100,000-clip run.
constexpr std::size_t console_output_gathering = std::size_t{64} * 1024;

long long lines_in(std::string_view line) {
    long long lines = 1;
    for (std::size_t at = line.find('\n'); at != std::string_view::npos;
         at = line.find('\n', at + 1)) {
        ++lines;
    }
    return lines;
}

std::string describe_open_error(int error) {
    if (platform::is_symbolic_link_refusal(error)) {
        return "the name is a symbolic link, which the program never follows";
    }
    if (platform::is_hard_link_refusal(error)) {
        return "the file has other names as well (hard links), and the program never writes one "
               "file under several names";
    }
    return platform::describe_error(error);
}

}  // namespace

std::string printable(std::string_view text) {
    std::string shown(text);
    for (char& character : shown) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7f) {
            character = '?';
        }
    }
    return shown;
}

// A file open on a channel: the file, the lines read from it and the lines written to it.
class FileChannel {
  public:
    explicit FileChannel(std::string file_name)
        : name(std::move(file_name)),
          reader([this](char* buffer, std::size_t capacity, std::size_t& count) {
              return file.read(buffer, capacity, count);
          }) {}
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    std::string name;
    platform::File file;
    LineReader reader;
    long long lines_written = 0;
    // The first write cuts the file off where it stands; later writes follow it.
    bool written = false;
};

Channels::Channels(Console& console)
    : console_(console),
      console_input_(std::make_unique<LineReader>(
          [&console](char* buffer, std::size_t capacity, std::size_t& count) {
              return console.read_input(buffer, capacity, count);
          })) {}

Channels::~Channels() {
    flush_console_output_quietly();
    close_all_quietly();
}

// ---- Output lines ----

void Channels::list_line(int channel, std::initializer_list<Item> items) {
    line_.clear();
    render_list_line(std::span<const Item>(items.begin(), items.size()), line_);
    write_line(channel, "list-style line output");
}

void Channels::empty_line(int channel) {
    line_.clear();
    write_line(channel, "empty line output");
}

void Channels::formatted_line(int channel, const LineLayout& layout, std::span<const Item> items) {
    line_.clear();
    render_formatted_line(layout, items, line_);
    write_line(channel, "formatted line output");
}

void Channels::formatted_line(int channel, const LineLayout& layout,
                              std::initializer_list<Item> items) {
    formatted_line(channel, layout, std::span<const Item>(items.begin(), items.size()));
}

void Channels::formatted_line_and_empty_line(int channel, const LineLayout& layout,
                                             std::span<const Item> items) {
    line_.clear();
    render_formatted_line(layout, items, line_);
    write_line(channel, "formatted line output", 1);
}

void Channels::write_line(int channel, std::string_view operation, int empty_lines_after) {
    const long long lines = lines_in(line_) + empty_lines_after;
    line_.append(line_end);
    for (int line = 0; line < empty_lines_after; ++line) {
        line_.append(line_end);
    }
    if (channel == console_output) {
        console_output_.append(line_);
        console_lines_written_ += lines;
        if (console_.output_is_interactive() ||
            console_output_.size() >= console_output_gathering) {
            flush_console_output();
        }
        return;
    }
    const auto found = files_.find(channel);
    if (found == files_.end()) {
        fail(operation, channel,
             channel == console_input ? "the console's input cannot be written"
                                      : "no file is open on the channel");
    }
    FileChannel& file = *found->second;
    if (!file.file.is_writable()) {
        fail(operation, channel, "the file could be opened for reading only");
    }
    if (file.reader.holds_unread_bytes()) {
        fail(operation, channel, "the file was read only in part, and lines cannot follow there");
    }
    if (!file.written) {
        if (const int error = file.file.truncate_at_position(); error != 0) {
            fail(operation, channel, platform::describe_error(error));
        }
        file.written = true;
    }
    file.lines_written += lines;
    if (const int error = file.file.write(line_); error != 0) {
        fail(operation, channel, platform::describe_error(error));
    }
}

void Channels::flush_console_output() {
    if (console_output_.empty()) {
        return;
    }
    const int error = console_.write_output(console_output_);
    console_output_.clear();
    if (error != 0) {
        fail("console output", console_output, platform::describe_error(error));
    }
}

void Channels::flush_console_output_quietly() {
    if (!console_output_.empty()) {
        console_.write_output(console_output_);
        console_output_.clear();
    }
}

// ---- Input ----

LineReader& Channels::reader_for(int channel, std::string_view operation) {
    if (channel == console_input) {
        // Whatever was written must be on the console before the program waits for an answer.
        flush_console_output();
        return *console_input_;
    }
    const auto found = files_.find(channel);
    if (found == files_.end()) {
        fail(operation, channel,
             channel == console_output ? "the console's output cannot be read"
                                       : "no file is open on the channel");
    }
    return found->second->reader;
}

bool Channels::read_line(LineReader& reader, int channel, std::string_view operation) {
    bool has_line = false;
    if (const int error = reader.next_line(input_line_, has_line); error != 0) {
        fail_reading(reader, channel, operation, error);
    }
    return has_line;
}

void Channels::fail_reading(const LineReader& reader, int channel, std::string_view operation,
                            int error) {
    const std::string reason =
        error == LineReader::line_too_long
            ? "the line is longer than " + std::to_string(LineReader::longest_line) + " bytes"
            : platform::describe_error(error);
    fail_at(operation, channel, reason, input_place(channel, reader.lines_read() + 1));
}

void Channels::fail_at_input_end(const LineReader& reader, int channel, std::string_view operation,
                                 std::string_view reason) {
    fail_at(operation, channel, reason, input_place(channel, reader.lines_read() + 1));
}

int Channels::field_input(int channel, int width, std::span<char> destination,
                          bool* longer_than_field) {
    constexpr std::string_view operation = "fixed-width field input";
    LineReader& reader = reader_for(channel, operation);
    if (!read_line(reader, channel, operation)) {
        if (channel == console_input) {
            fail_at_input_end(reader, channel, operation, "the console input ended");
        }
        return end_of_file;
    }
    const auto field_width = static_cast<std::size_t>(std::max(width, 0));
    const std::string_view field = std::string_view(input_line_).substr(0, field_width);
    // When the field is wider than the destination, only the field's last columns are kept.
    const std::size_t first_kept =
        field_width > destination.size() ? field_width - destination.size() : 0;
    const std::string_view kept = field.substr(std::min(first_kept, field.size()));
    std::fill(std::copy(kept.begin(), kept.end(), destination.begin()), destination.end(), blank);
    if (longer_than_field != nullptr) {
        *longer_than_field = input_line_.size() > field.size();
    }
    return line_read;
}

void Channels::line_input(int channel, std::string& line) {
    constexpr std::string_view operation = "line input";
    LineReader& reader = reader_for(channel, operation);
    if (!read_line(reader, channel, operation)) {
        fail_at_input_end(reader, channel, operation,
                          channel == console_input ? "the console input ended"
                                                   : "the end of the file was reached");
    }
    line = input_line_;
}

void Channels::integer_input(int channel, std::span<std::int32_t* const> destinations) {
    constexpr std::string_view operation = "whitespace-separated integer input";
    LineReader& reader = reader_for(channel, operation);
    const IntegerInputResult result = read_integers(
        [&](std::string_view& line) {
            if (!read_line(reader, channel, operation)) {
                return false;
            }
            line = input_line_;
            return true;
        },
        destinations);
    switch (result.kind) {
        case IntegerInputResult::Kind::filled:
            return;
        case IntegerInputResult::Kind::bad_item:
            fail_at(operation, channel, result.reason, input_place(channel, reader.lines_read()));
        case IntegerInputResult::Kind::input_ended:
            break;
    }
    fail_at_input_end(reader, channel, operation,
                      std::string(channel == console_input ? "the console input ended"
                                                           : "the end of the file was reached") +
                          " before all " + std::to_string(destinations.size()) +
                          " values were read");
}

void Channels::wait_for_enter(int channel) {
    constexpr std::string_view operation = "wait for Enter";
    LineReader& reader = reader_for(channel, operation);
    if (!read_line(reader, channel, operation)) {
        fail_at_input_end(reader, channel, operation,
                          channel == console_input ? "the console input ended"
                                                   : "the end of the file was reached");
    }
}

// ---- Open and close ----

void Channels::open(int channel, std::string_view file_name) {
    constexpr std::string_view operation = "open";
    if (channel == console_input || channel == console_output) {
        fail(operation, channel, "the channel is the console's, which is never opened");
    }
    if (files_.contains(channel)) {
        fail(operation, channel, "a file is already open on the channel");
    }
    const std::size_t first = file_name.find_first_not_of(blank);
    const std::string_view name =
        first == std::string_view::npos ? std::string_view() : trimmed(file_name.substr(first));
    auto file = std::make_unique<FileChannel>(std::string(name));
    if (const int error = file->file.open_or_create(file->name); error != 0) {
        fail_at(operation, channel, describe_open_error(error),
                "file \"" + printable(file->name) + "\"");
    }
    files_[channel] = std::move(file);
}

void Channels::close(int channel) {
    const auto found = files_.find(channel);
    if (found == files_.end()) {
        fail("close", channel,
             channel == console_input || channel == console_output
                 ? "the channel is the console's, which is never closed"
                 : "no file is open on the channel");
    }
    const std::string place = place_of(channel);
    const std::unique_ptr<FileChannel> file = std::move(found->second);
    files_.erase(found);
    if (const int error = file->file.close(); error != 0) {
        fail_at("close", channel, platform::describe_error(error), place);
    }
}

void Channels::close_all() {
    while (!files_.empty()) {
        close(files_.begin()->first);
    }
}

void Channels::close_all_quietly() {
    for (auto& [channel, file] : files_) {
        file->file.close();
    }
    files_.clear();
}

// ---- Ends of the program ----

void Channels::orderly_stop() {
    orderly_stop(stop_notice);
}

void Channels::orderly_stop(std::string_view message) {
    flush_console_output();
    close_all();
    std::string notice(message);
    notice.append(line_end);
    console_.write_error(notice);
    end_program(orderly_exit_status);
}

void Channels::fail(std::string_view operation, int channel, std::string_view reason) {
    fail_at(operation, channel, reason, place_of(channel));
}

void Channels::fail_at(std::string_view operation, int channel, std::string_view reason,
                       std::string_view place) {
    flush_console_output_quietly();
    std::string diagnostic;
    if (plain_words_) {
        diagnostic = plain_words(operation, channel, reason, place).append(line_end);
    }
    diagnostic.append(program_name).append(": input/output failure: ").append(operation);
    if (channel >= 0) {
        diagnostic.append(" on channel ").append(std::to_string(channel));
    }
    diagnostic.append(": ").append(reason).append(line_end);
    diagnostic.append("  at ").append(place).append(line_end);
    if (channel == noted_channel_ && !failure_note_.empty()) {
        diagnostic.append(printable(failure_note_)).append(line_end);
    }
    console_.write_error(diagnostic);
    close_all_quietly();
    end_program(failure_exit_status);
}

void Channels::finish(int exit_status) {
    flush_console_output();
    close_all();
    end_program(exit_status);
}

void Channels::end_program(int exit_status) {
    throw ProgramEnd{exit_status};
}

std::string Channels::place_of(int channel) const {
    if (channel == console_input) {
        return input_place(channel, console_input_->lines_read() + 1);
    }
    if (channel == console_output) {
        return "standard output, line " + std::to_string(std::max(console_lines_written_, 1LL));
    }
    const auto found = files_.find(channel);
    if (found == files_.end()) {
        return "channel " + std::to_string(channel) + ", on which no file is open";
    }
    const FileChannel& file = *found->second;
    if (file.written) {
        return "file \"" + printable(file.name) + "\", line " +
               std::to_string(std::max(file.lines_written, 1LL));
    }
    return input_place(channel, file.reader.lines_read() + 1);
}

std::string Channels::input_place(int channel, long long line) const {
    std::string place = "standard input";
    if (channel != console_input) {
        const auto found = files_.find(channel);
        place = found == files_.end() ? "channel " + std::to_string(channel)
                                      : "file \"" + printable(found->second->name) + "\"";
    }
    return place + ", line " + std::to_string(line);
}

}  // namespace lineio
