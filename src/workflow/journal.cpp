#include "workflow/journal.hpp"

#include <utility>

#include "lineio/channels.hpp"

namespace workflow {
namespace {

constexpr std::string_view line_end = "\r\n";
// Journals of runs made within the same second get "-2", "-3", ...; past this many something else
// is wrong with the folder.
constexpr int most_journals_per_second = 1000;

// `value` in `digits` digits, with leading zeros.
void append_number(std::string& text, int value, int digits) {
    const std::string number = std::to_string(value);
    text.append(number.size() < static_cast<std::size_t>(digits)
                    ? static_cast<std::size_t>(digits) - number.size()
                    : 0,
                '0');
    text.append(number);
}

std::string journal_name(const lineio::platform::LocalTime& time, int number) {
    std::string name = "DoridivezizoziRUR-undo-";
    append_number(name, time.year, 4);
    append_number(name, time.month, 2);
    append_number(name, time.day, 2);
    name.append("-");
    append_number(name, time.hour, 2);
    append_number(name, time.minute, 2);
    append_number(name, time.second, 2);
    if (number > 1) {
        name.append("-").append(std::to_string(number));
    }
    return name.append(".txt");
}

}  // namespace

void JournalWriter::check(int error) {
    if (error != 0) {
        channels_.fail_at("undo journal output", -1, lineio::platform::describe_error(error),
                          "file \"" + lineio::printable(name_) + "\"");
    }
}

void JournalWriter::create() {
    const lineio::platform::LocalTime now = lineio::platform::local_time();
    int error = 0;
    for (int number = 1; number <= most_journals_per_second; ++number) {
        name_ = journal_name(now, number);
        error = file_.create_new(name_);
        if (!lineio::platform::is_taken_name_refusal(error)) {
            break;
        }
    }
    if (lineio::platform::is_permission_refusal(error)) {
        // A current directory where no new file may be made, but the report may be written,
        // saw the run go through before there was a journal; it still does, without one.
        unavailable_ = true;
        return;
    }
    check(error);
    std::string head(journal_title);
    head.append(line_end)
        .append("The renames of one run, oldest first. To give every file its old name back:")
        .append(line_end)
        .append("DoridivezizoziRUR --undo ")
        .append(name_)
        .append(line_end)
        .append(line_end);
    head_ = std::move(head);
}

void JournalWriter::write_ahead(std::string_view old_path, std::string_view new_path) {
    if (!file_.is_open() && !unavailable_) {
        create();
    }
    if (unavailable_) {
        return;
    }
    // The head goes out with the first pair, in one write, so that a killed run leaves a journal
    // with its title whenever it leaves one with a rename.
    std::string pair = std::exchange(head_, {});
    const std::uint64_t pair_start = size_ + pair.size();
    pair.append(journal_old_prefix)
        .append(old_path)
        .append(line_end)
        .append(journal_new_prefix)
        .append(new_path)
        .append(line_end);
    check(file_.write(pair));
    size_before_pair_ = pair_start;
    size_ += pair.size();
}

void JournalWriter::settle(bool renamed) {
    if (renamed || unavailable_) {
        ++renamed_;
        return;
    }
    check(file_.truncate_to(size_before_pair_));
    size_ = size_before_pair_;
}

void JournalWriter::close() {
    if (!file_.is_open()) {
        return;
    }
    if (renamed_ == 0) {
        check(file_.close());
        check(lineio::platform::remove_file(name_));
        return;
    }
    std::string end(journal_end_prefix);
    end.append(std::to_string(renamed_)).append(" files renamed").append(line_end);
    check(file_.write(end));
    check(file_.close());
}

bool read_journal(std::string_view text, JournalContents& contents) {
    contents = {};
    const auto next_line = [&text](std::string_view& line) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return false;
        }
        line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        text.remove_prefix(end + 1);
        return true;
    };
    // A run killed between creating its journal and writing to it leaves an empty file, or the
    // beginning of the title: a journal of no rename.
    if (std::string(journal_title).append(line_end).starts_with(text)) {
        return true;
    }
    std::string_view line;
    if (!next_line(line) || line != journal_title) {
        return false;
    }
    std::string_view old_path;
    bool old_path_read = false;
    while (next_line(line)) {
        if (old_path_read && line.starts_with(journal_new_prefix)) {
            contents.renames.push_back(
                {std::string(old_path), std::string(line.substr(journal_new_prefix.size()))});
        } else if (line.starts_with(journal_end_prefix)) {
            contents.ended = true;
        }
        old_path_read = line.starts_with(journal_old_prefix);
        if (old_path_read) {
            old_path = line.substr(journal_old_prefix.size());
        }
    }
    return true;
}

}  // namespace workflow
