// Numbered channels and line input and output.
//
// Channel 5 is the console's input, 6 its output; the program opens its files on other numbers.
// Every output line ends in carriage return and line feed; an input line ends at a line feed, a
// carriage return just before it not being part of the line. Console lines are visible before
// every read of the console; file lines are in the file when the call that writes them returns.
//
// Nothing here returns a failure. An orderly stop or an input/output failure writes its lines,
// closes every channel and throws ProgramEnd, which only the entry point catches.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lineio/console.hpp"
#include "lineio/failure.hpp"
#include "lineio/line_layout.hpp"
#include "lineio/printable.hpp"
#include "platform/platform.hpp"

namespace lineio {

inline constexpr int console_input = 5;
inline constexpr int console_output = 6;

// What fixed-width field input returns: a line was read, or a file channel has no further line.
inline constexpr int line_read = 0;
inline constexpr int end_of_file = 2;

// Exit statuses of the two ways the program ends.
inline constexpr int orderly_exit_status = 0;
inline constexpr int failure_exit_status = 127;

// Thrown once the program's end is written out; carries the process's exit status.
struct ProgramEnd {
    int exit_status;
    // False when the program's last act was to wait for Enter, or when the console's input has
    // ended: another wait would then be needless, or could not be answered.
    bool may_wait_for_enter = true;
};

// A console window opened for the program alone (as a double-click opens one: `console_processes`
// is 1) closes the moment the program ends, with its last message unread. Then, unless `end` may
// not wait, this asks on the error stream for Enter and waits for one line or the input's end.
// Started from a command prompt, whose window stays, or without the console as its input, the
// program ends at once.
void keep_window_until_read(Console& console, int console_processes, const ProgramEnd& end);

// What the listing command saw of the folder: the folder's own number (0 when unknown), each
// entry's name in the listing's order, and the entries' file numbers (those the system gave, in
// no order). The names stand one after the other in one text: a string of its own for each of
// 100,000 names cost an allocation a clip, and moving them while sorting a sixth of a run.
struct FolderListing {
    struct Entry {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };
    std::uint64_t folder_number = 0;
    std::string names;
    std::vector<Entry> entries;
    std::vector<std::uint64_t> numbers;

    std::string_view name(const Entry& entry) const {
        return std::string_view(names).substr(entry.start, entry.length);
    }
};

class FileChannel;
class LineReader;

class Channels {
  public:
    explicit Channels(Console& console);
    Channels(const Channels&) = delete;
    Channels& operator=(const Channels&) = delete;
    ~Channels();

    // Output lines.
    void list_line(int channel, std::initializer_list<Item> items);
    void empty_line(int channel);
    void formatted_line(int channel, const LineLayout& layout, std::span<const Item> items);
    void formatted_line(int channel, const LineLayout& layout, std::initializer_list<Item> items);

    // A line of exactly `text`, and as many empty lines after it as asked, in one write. Should
    // the write fail, the diagnostic ends with the pieces of `failure_note` as a line of its own
    // (control characters shown as '?'), so that it can tell what the line was to record; they are
    // joined only then.
    void text_line(int channel, std::string_view text, int empty_lines_after = 0,
                   std::initializer_list<std::string_view> failure_note = {});
    // The same for a line of `pieces` one after the other, put together in the line's own buffer.
    void text_line(int channel, std::initializer_list<std::string_view> pieces,
                   int empty_lines_after = 0,
                   std::initializer_list<std::string_view> failure_note = {});

    // Reads the next line's first `width` characters into `destination`: left-aligned and
    // blank-filled when `width` fits, otherwise the field's last characters. A character is a
    // column, whatever its UTF-8 bytes, and is never cut: `destination` holds as many whole
    // characters as its bytes take. The rest of the line
    // is passed over. Returns line_read, or end_of_file when a file channel has no further line;
    // the console's input ending is an input/output failure.
    // When `longer_than_field` is given, it tells whether the line went on past the field;
    // `kept_bytes`, how many bytes of `destination` came from the line, the rest being blanks.
    int field_input(int channel, int width, std::span<char> destination,
                    bool* longer_than_field = nullptr, std::size_t* kept_bytes = nullptr);
    // The same field as it stands in the line read, neither cut to a destination nor filled out
    // with blanks: valid until the next reading on any channel.
    int field_view(int channel, int width, std::string_view& field,
                   bool* longer_than_field = nullptr);

    // Reads the next line of the console whole into `line`; the input ending is an input/output
    // failure.
    void line_input(int channel, std::string& line);

    // Fills the destinations in order from whitespace-separated integers on the console: blanks,
    // tabs, commas and line ends separate values; `3*7` is three sevens, `2*` two null values; a
    // null value leaves its destination as it was; a slash ends the input. A value that is not a
    // signed 32-bit decimal integer, or input that ends first, is an input/output failure.
    void integer_input(int channel, std::span<std::int32_t* const> destinations);
    // The same for a person typing at the console, who is shown a mistake instead of being
    // stopped by it. A line that holds anything but values (a date typed as 2025-11-21, a time as
    // 15:30), or whose slash comes before the last value, is told of in plain words on the error
    // stream and the answer is given up: returns false, and the caller asks again. A line with
    // too few values is followed by a hint of how many are still missing, and the next line read.
    bool typed_integer_input(int channel, std::span<std::int32_t* const> destinations);

    // Reads one line of the console and ignores it.
    void wait_for_enter(int channel);

    // Opens `file_name` (leading and trailing blanks dropped) on `channel`, creating it empty when
    // missing. The first write cuts the file off at the position reached. With `in_memory`, the
    // channel reads that text instead, and touches no file.
    void open(int channel, std::string_view file_name, FileRole role = FileRole::other,
              const std::string* in_memory = nullptr);
    void close(int channel);

    // Ends the program with exit status 0, after the stop notice, or `message` when one is given,
    // on the error stream.
    [[noreturn]] void orderly_stop();
    [[noreturn]] void orderly_stop(std::string_view message);

    // Ends the program with exit status 127 after one diagnostic naming what was being done,
    // the channel, the reason and the place reached.
    [[noreturn]] void fail(Activity activity, int channel, std::string_view reason);
    // The same for a failure whose place (and file) the caller names; an empty place is the place
    // the channel has reached.
    [[noreturn]] void fail(Failure failure);

    // From now on every input/output failure's diagnostic opens with a line in plain words that
    // tells the person at the console what went wrong and what to do (see failure.hpp).
    void open_failures_with_plain_words() { plain_words_ = true; }

    // Ends the program with `exit_status` once the console's output is written and every file
    // closed, with nothing on the error stream.
    [[noreturn]] void finish(int exit_status);

    // True when a person reads the lines as they come.
    bool output_to_person() const { return console_.output_is_interactive(); }

    // True when a person types the answers and reads the lines as they come.
    bool person_at_console() const {
        return console_.output_is_interactive() && console_.input_is_interactive();
    }

    // Writes `text` as a line of its own on the error stream, after whatever the console's
    // output still holds, so that a person reads both in the order they were written.
    void error_line(std::string_view text);

    // Carries out one of the program's two command lines (trailing blanks dropped) without any
    // shell: "dir /B <folder> > list.txt" lists the folder into list.txt and returns 0, or 1 when
    // the folder cannot be listed; "del list.txt" deletes list.txt and returns 0, or 1. Any other
    // command line does nothing and returns 1. When `listing` is given, the listing command also
    // hands back what it saw, so that whoever renames the entries need not read the folder again.
    // When `in_memory` is given, list.txt is that text instead of a file on the disk, and nothing
    // on the disk is written or deleted: a preview runs so, and leaves no trace.
    int run_command_line(std::string_view command_line, FolderListing* listing = nullptr,
                         std::string* in_memory = nullptr);

  private:
    // The buffer a line for `channel` is put together in, and where in it the line starts.
    std::string& line_for(int channel);
    std::size_t start_line(int channel);
    // Ends the line begun at `start` of line_for(channel) with a line end, then as many empty
    // lines as asked, and writes it on `channel`.
    void write_line(int channel, Activity activity, std::size_t start, int empty_lines_after = 0,
                    std::initializer_list<std::string_view> failure_note = {});
    void flush_console_output();
    void flush_console_output_quietly();
    void close_all();
    void close_all_quietly();
    [[noreturn]] void end_program(int exit_status);

    // The input of `channel`.
    LineReader& reader_for(int channel);
    // Reads the next line of `reader` into input_line_; false when the input holds no further
    // line.
    bool read_line(LineReader& reader, int channel, Activity activity);
    [[noreturn]] void fail_reading(const LineReader& reader, int channel, Activity activity,
                                   int error);
    [[noreturn]] void fail_at_input_end(const LineReader& reader, int channel, Activity activity,
                                        std::string_view reason);
    [[noreturn]] void fail_listing(std::string_view reason);
    // The name of the file open on `channel`, or empty.
    std::string file_on(int channel) const;
    // Reads the next line of `channel` into input_line_; its end is an input/output failure.
    void read_required_line(int channel, Activity activity);
    // Where `channel` stands, for a diagnostic: the file and the line reached.
    std::string place_of(int channel) const;
    std::string input_place(int channel, long long line) const;

    Console& console_;
    bool plain_words_ = false;
    std::string console_output_;
    long long console_lines_written_ = 0;
    std::unique_ptr<LineReader> console_input_;
    std::map<int, std::unique_ptr<FileChannel>> files_;
    std::string line_;  // reused for every line written to a file
    // The line last read, on any channel: a view into its reader's bytes, valid until the next
    // reading.
    std::string_view input_line_;
    // The last the person saw was the wait for Enter, which no line has followed since.
    bool waited_for_enter_ = false;
};

}  // namespace lineio
