#include "lineio/channels.hpp"

#include <algorithm>
#include <cassert>
#include <string>
#include <utility>
#include <vector>

#include "lineio/fixed_text.hpp"
#include "lineio/integer_input.hpp"
#include "lineio/line_reader.hpp"
#include "lineio/unicode_text.hpp"
#include "platform/platform.hpp"
#include "version.hpp"

namespace lineio {

namespace {

constexpr std::string_view program_name = rur::program_name;
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

// A file open on a channel: the file, the lines read from it and the lines written to it.
class FileChannel {
  public:
    // `in_memory`, when given, is the file's whole text, which is then read instead of a file.
    explicit FileChannel(std::string file_name, const std::string* in_memory = nullptr)
        : name(std::move(file_name)),
          reader([this, in_memory](char* buffer, std::size_t capacity, std::size_t& count) {
              if (in_memory == nullptr) {
                  return file.read(buffer, capacity, count);
              }
              count = in_memory->copy(buffer, capacity, memory_read);
              memory_read += count;
              return 0;
          }) {}
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    std::string name;
    platform::File file;
    LineReader reader;
    long long lines_written = 0;
    std::size_t memory_read = 0;
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
    const std::size_t start = start_line(channel);
    render_list_line(std::span<const Item>(items.begin(), items.size()), line_for(channel));
    write_line(channel, Activity::list_line_output, start);
}

void Channels::empty_line(int channel) {
    write_line(channel, Activity::empty_line_output, start_line(channel));
}

void Channels::formatted_line(int channel, const LineLayout& layout, std::span<const Item> items) {
    const std::size_t start = start_line(channel);
    render_formatted_line(layout, items, line_for(channel));
    write_line(channel, Activity::formatted_line_output, start);
}

void Channels::formatted_line(int channel, const LineLayout& layout,
                              std::initializer_list<Item> items) {
    formatted_line(channel, layout, std::span<const Item>(items.begin(), items.size()));
}

void Channels::text_line(int channel, std::string_view text, int empty_lines_after,
                         std::initializer_list<std::string_view> failure_note) {
    text_line(channel, {text}, empty_lines_after, failure_note);
}

void Channels::text_line(int channel, std::initializer_list<std::string_view> pieces,
                         int empty_lines_after,
                         std::initializer_list<std::string_view> failure_note) {
    const std::size_t start = start_line(channel);
    std::string& line = line_for(channel);
    for (const std::string_view piece : pieces) {
        line.append(piece);
    }
    write_line(channel, Activity::formatted_line_output, start, empty_lines_after, failure_note);
}

// A console line is put together in the console's gathered output itself, so that it is copied
// once; a file's line in line_, which goes out whole in one write.
std::string& Channels::line_for(int channel) {
    return channel == console_output ? console_output_ : line_;
}

std::size_t Channels::start_line(int channel) {
    if (channel != console_output) {
        line_.clear();
    }
    return line_for(channel).size();
}

void Channels::write_line(int channel, Activity activity, std::size_t start, int empty_lines_after,
                          std::initializer_list<std::string_view> failure_note) {
    waited_for_enter_ = false;
    std::string& line = line_for(channel);
    const long long lines = lines_in(std::string_view(line).substr(start)) + empty_lines_after;
    line.append(line_end);
    for (int empty = 0; empty < empty_lines_after; ++empty) {
        line.append(line_end);
    }
    if (channel == console_output) {
        console_lines_written_ += lines;
        if (console_.output_is_interactive() ||
            console_output_.size() >= console_output_gathering) {
            flush_console_output();
        }
        return;
    }
    // REQUIRES: a file is open on `channel`, and none of its lines was read.
    const auto found = files_.find(channel);
    assert(found != files_.end() && !found->second->reader.holds_unread_bytes());
    FileChannel& file = *found->second;
    if (!file.file.is_writable()) {
        fail(activity, channel, "the file could be opened for reading only");
    }
    if (!file.written) {
        if (const int error = file.file.truncate_at_position(); error != 0) {
            fail(activity, channel, platform::describe_error(error));
        }
        file.written = true;
    }
    file.lines_written += lines;
    if (const int error = file.file.write(line_); error != 0) {
        Failure failure{activity, channel, Cause::other, platform::describe_error(error)};
        for (const std::string_view piece : failure_note) {
            failure.note.append(piece);
        }
        fail(std::move(failure));
    }
}

void Channels::flush_console_output() {
    if (console_output_.empty()) {
        return;
    }
    const int error = console_.write_output(console_output_);
    console_output_.clear();
    if (error != 0) {
        fail(Activity::console_output, console_output, platform::describe_error(error));
    }
}

void Channels::flush_console_output_quietly() {
    if (!console_output_.empty()) {
        console_.write_output(console_output_);
        console_output_.clear();
    }
}

// ---- Input ----

LineReader& Channels::reader_for(int channel) {
    if (channel == console_input) {
        // Whatever was written must be on the console before the program waits for an answer.
        flush_console_output();
        return *console_input_;
    }
    // REQUIRES: `channel` is the console's input or a file open on it.
    const auto found = files_.find(channel);
    assert(found != files_.end());
    return found->second->reader;
}

bool Channels::read_line(LineReader& reader, int channel, Activity activity) {
    bool has_line = false;
    if (const int error = reader.next_line(input_line_, has_line); error != 0) {
        fail_reading(reader, channel, activity, error);
    }
    return has_line;
}

void Channels::fail_reading(const LineReader& reader, int channel, Activity activity, int error) {
    const std::string reason =
        error == LineReader::line_too_long
            ? "the line is longer than " + std::to_string(LineReader::longest_line) + " bytes"
            : platform::describe_error(error);
    fail({activity, channel, Cause::other, reason, input_place(channel, reader.lines_read() + 1)});
}

void Channels::fail_at_input_end(const LineReader& reader, int channel, Activity activity,
                                 std::string_view reason) {
    fail({activity, channel, channel == console_input ? Cause::console_input_ended : Cause::other,
          std::string(reason), input_place(channel, reader.lines_read() + 1)});
}

int Channels::field_view(int channel, int width, std::string_view& field, bool* longer_than_field) {
    constexpr Activity activity = Activity::field_input;
    LineReader& reader = reader_for(channel);
    if (!read_line(reader, channel, activity)) {
        if (channel == console_input) {
            fail_at_input_end(reader, channel, activity, "the console input ended");
        }
        return end_of_file;
    }
    // A column is a character: a UTF-8 one of several bytes is read whole or not at all.
    field = input_line_.substr(
        0, unicode::bytes_of_characters(input_line_, static_cast<std::size_t>(std::max(width, 0))));
    if (longer_than_field != nullptr) {
        *longer_than_field = input_line_.size() > field.size();
    }
    return line_read;
}

int Channels::field_input(int channel, int width, std::span<char> destination,
                          bool* longer_than_field, std::size_t* kept_bytes) {
    std::string_view field;
    if (field_view(channel, width, field, longer_than_field) == end_of_file) {
        return end_of_file;
    }
    // When the field is wider than the destination, only the field's last columns are kept.
    const auto field_width = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t first_kept = field_width - std::min(field_width, destination.size());
    std::string_view kept = field.substr(unicode::bytes_of_characters(field, first_kept));
    kept = kept.substr(0, unicode::bytes_of_whole_characters(kept, destination.size()));
    std::fill(std::copy(kept.begin(), kept.end(), destination.begin()), destination.end(), blank);
    if (kept_bytes != nullptr) {
        *kept_bytes = kept.size();
    }
    return line_read;
}

void Channels::line_input(int channel, std::string& line) {
    // The answer to a fixed-width field, read whole so that what follows the field is seen.
    read_required_line(channel, Activity::field_input);
    line.assign(input_line_);
}

void Channels::read_required_line(int channel, Activity activity) {
    LineReader& reader = reader_for(channel);
    if (!read_line(reader, channel, activity)) {
        fail_at_input_end(reader, channel, activity,
                          channel == console_input ? "the console input ended"
                                                   : "the end of the file was reached");
    }
}

void Channels::integer_input(int channel, std::span<std::int32_t* const> destinations) {
    constexpr Activity activity = Activity::integer_input;
    LineReader& reader = reader_for(channel);
    const IntegerInputResult result = read_integers(
        [&](std::string_view& line) {
            if (!read_line(reader, channel, activity)) {
                return false;
            }
            line = input_line_;
            return true;
        },
        destinations);
    switch (result.kind) {
        case IntegerInputResult::Kind::filled:
            return;
        case IntegerInputResult::Kind::bad_item: {
            Failure failure{activity, channel, Cause::bad_answer, result.reason,
                            input_place(channel, reader.lines_read())};
            failure.answer = result.item;
            failure.answer_fault = result.fault;
            fail(std::move(failure));
        }
        case IntegerInputResult::Kind::input_ended:
            break;
    }
    fail_at_input_end(reader, channel, activity,
                      std::string(channel == console_input ? "the console input ended"
                                                           : "the end of the file was reached") +
                          " before all " + std::to_string(destinations.size()) +
                          " values were read");
}

bool Channels::typed_integer_input(int channel, std::span<std::int32_t* const> destinations) {
    constexpr Activity activity = Activity::integer_input;
    constexpr std::size_t quoted_line_length = 40;
    LineReader& reader = reader_for(channel);
    std::vector<std::string> lines;
    std::size_t typed = 0;
    while (typed < destinations.size()) {
        if (!read_line(reader, channel, activity)) {
            fail_at_input_end(reader, channel, activity,
                              "the console input ended before all " +
                                  std::to_string(destinations.size()) + " values were read");
        }
        // The line alone, read into nowhere, tells how many values it holds and whether a slash
        // cut it short: one destination more than asked for, so that a slash is always seen.
        const std::vector<std::int32_t*> nowhere(destinations.size() + 1, nullptr);
        bool handed = false;
        const IntegerInputResult alone = read_integers(
            [&](std::string_view& line) {
                line = input_line_;
                return !std::exchange(handed, true);
            },
            nowhere);
        const bool slash =
            alone.kind == IntegerInputResult::Kind::filled && alone.filled < nowhere.size();
        if (alone.kind == IntegerInputResult::Kind::bad_item ||
            (slash && typed + alone.filled < destinations.size())) {
            Failure refused{activity, channel, Cause::bad_answer, alone.reason};
            refused.answer = alone.item;
            refused.answer_fault = alone.fault;
            if (slash) {
                refused.answer = printable(input_line_.substr(0, quoted_line_length));
                refused.answer.append(input_line_.size() > quoted_line_length ? "..." : "");
                refused.answer_fault = IntegerInputResult::Fault::slash_too_early;
            }
            error_line(plain_words(refused));
            return false;
        }
        lines.emplace_back(input_line_);
        typed = slash ? destinations.size() : typed + alone.filled;
        if (typed < destinations.size()) {
            error_line("Still missing: " + std::to_string(destinations.size() - typed) +
                       " of the " + std::to_string(destinations.size()) + " numbers.");
        }
    }
    std::size_t next = 0;
    read_integers(
        [&lines, &next](std::string_view& line) {
            if (next == lines.size()) {
                return false;
            }
            line = lines[next++];
            return true;
        },
        destinations);
    return true;
}

void Channels::wait_for_enter(int channel) {
    read_required_line(channel, Activity::wait_for_enter);
    waited_for_enter_ = channel == console_input;
}

// ---- Open and close ----

void Channels::open(int channel, std::string_view file_name, FileRole role,
                    const std::string* in_memory) {
    constexpr Activity activity = Activity::open;
    if (channel == console_input || channel == console_output) {
        fail(activity, channel, "the channel is the console's, which is never opened");
    }
    if (files_.contains(channel)) {
        fail(activity, channel, "a file is already open on the channel");
    }
    const std::size_t first = file_name.find_first_not_of(blank);
    const std::string_view name =
        first == std::string_view::npos ? std::string_view() : trimmed(file_name.substr(first));
    if (in_memory != nullptr) {
        files_[channel] = std::make_unique<FileChannel>(std::string(name), in_memory);
        return;
    }
    auto file = std::make_unique<FileChannel>(std::string(name));
    if (const int error = file->file.open_or_create(file->name); error != 0) {
        Failure failure{activity, channel, Cause::other, describe_open_error(error),
                        "file \"" + printable(file->name) + "\""};
        failure.file = printable(file->name);
        failure.role = role;
        fail(std::move(failure));
    }
    files_[channel] = std::move(file);
}

void Channels::close(int channel) {
    const auto found = files_.find(channel);
    if (found == files_.end()) {
        fail(Activity::close, channel,
             channel == console_input || channel == console_output
                 ? "the channel is the console's, which is never closed"
                 : "no file is open on the channel");
    }
    const std::string place = place_of(channel);
    const std::unique_ptr<FileChannel> file = std::move(found->second);
    files_.erase(found);
    if (const int error = file->file.close(); error != 0) {
        Failure failure{Activity::close, channel, Cause::other, platform::describe_error(error),
                        place};
        failure.file = printable(file->name);
        fail(std::move(failure));
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

void Channels::error_line(std::string_view text) {
    flush_console_output();
    console_.write_error(std::string(text).append(line_end));
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

void Channels::fail(Activity activity, int channel, std::string_view reason) {
    fail({activity, channel, Cause::other, std::string(reason)});
}

void Channels::fail(Failure failure) {
    waited_for_enter_ = false;
    flush_console_output_quietly();
    if (failure.place.empty()) {
        failure.place = place_of(failure.channel);
    }
    if (failure.file.empty()) {
        failure.file = printable(file_on(failure.channel));
    }
    std::string diagnostic;
    if (plain_words_) {
        diagnostic = plain_words(failure).append(line_end);
    }
    diagnostic.append(program_name)
        .append(": input/output failure: ")
        .append(activity_words(failure.activity));
    if (failure.channel >= 0) {
        diagnostic.append(" on channel ").append(std::to_string(failure.channel));
    }
    diagnostic.append(": ").append(failure.reason).append(line_end);
    diagnostic.append("  at ").append(failure.place).append(line_end);
    if (!failure.note.empty()) {
        diagnostic.append(printable(failure.note)).append(line_end);
    }
    console_.write_error(diagnostic);
    close_all_quietly();
    end_program(failure_exit_status);
}

std::string Channels::file_on(int channel) const {
    const auto found = files_.find(channel);
    return found == files_.end() ? std::string() : found->second->name;
}

void Channels::finish(int exit_status) {
    flush_console_output();
    close_all();
    end_program(exit_status);
}

void Channels::end_program(int exit_status) {
    throw ProgramEnd{exit_status, !waited_for_enter_ && !console_input_->input_ended()};
}

void keep_window_until_read(Console& console, int console_processes, const ProgramEnd& end) {
    if (console_processes != 1 || !end.may_wait_for_enter || !console.input_is_interactive()) {
        return;
    }
    console.write_error("Press Enter to close this window\r\n");
    char byte = 0;
    std::size_t count = 0;
    // A byte at a time, so that nothing past the line is read; a console hands over whole lines.
    while (console.read_input(&byte, 1, count) == 0 && count == 1 && byte != '\n') {
    }
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
