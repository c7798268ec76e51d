#include "workflow/journal.hpp"

#include <algorithm>
#include <charconv>
#include <functional>
#include <iterator>
#include <unordered_map>
#include <utility>

#include "lineio/channels.hpp"
#include "lineio/line_reader.hpp"
#include "lineio/text_decoding.hpp"
#include "lineio/unicode_text.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/options.hpp"

namespace workflow {
namespace {

constexpr std::string_view line_end = "\r\n";
constexpr std::string_view version_key = "version: ";
constexpr std::string_view version_line = "version: 2";
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
// Journals of runs made within the same second get "-2", "-3", ...; past this many something else
// is wrong with the folder.
constexpr int most_journals_per_second = 1000;

namespace key {
constexpr std::string_view folder = "folder: ";
constexpr std::string_view folder_number = "folder number: ";
constexpr std::string_view correction = "correction: ";
constexpr std::string_view identity = "identity: ";
constexpr std::string_view system = "system: ";
constexpr std::string_view dates_only = "dates only: yes";
constexpr std::string_view clip = "clip: ";
constexpr std::string_view is = "  is: ";
constexpr std::string_view to = "  to: ";
constexpr std::string_view claim = "claim: ";
constexpr std::string_view at = "   at: ";
constexpr std::string_view renamed = "renamed: ";
constexpr std::string_view as = "     as: ";
constexpr std::string_view legacy_to = "     to: ";
constexpr std::string_view removed = "removed: ";
constexpr std::string_view undo_claim = "undo claim: ";
constexpr std::string_view not_renamed = "not renamed: ";
constexpr std::string_view restored = "restored: ";
constexpr std::string_view end = "end of run: ";
constexpr std::string_view size = "  size: ";
constexpr std::string_view field = "  field: ";
constexpr std::string_view time = "  time: ";
}  // namespace key

template <typename Number>
bool read_number(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

constexpr std::string_view hex_digits = "0123456789abcdef";

void append_hex(std::string& text, std::string_view bytes) {
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text.push_back(hex_digits[value >> 4U]);
        text.push_back(hex_digits[value & 15U]);
    }
}

bool read_hex(std::string_view text, std::string& bytes) {
    bytes.clear();
    if (text.size() % 2 != 0) {
        return false;
    }
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const std::size_t high = hex_digits.find(text[at]);
        const std::size_t low = hex_digits.find(text[at + 1]);
        if (high == std::string_view::npos || low == std::string_view::npos) {
            return false;
        }
        bytes.push_back(static_cast<char>((high << 4U) | low));
    }
    return true;
}

// Digits written straight into `text`: a time in nanoseconds is too long for a short string's
// own room, so std::to_string would cost every dated clip allocations.
template <typename Number>
std::string& append_decimal(std::string& text, Number value) {
    char digits[24];
    return text.append(digits, std::to_chars(digits, std::end(digits), value).ptr);
}

// The --dates lines of `clip`, after its "to:" line.
void append_dates(std::string& text, const JournalClip& clip) {
    if (!clip.dated) {
        return;
    }
    append_decimal(text.append(key::size), clip.size).append(line_end);
    for (const JournalClip::Field& field : clip.fields) {
        append_decimal(text.append(key::field), field.offset).append(" ");
        append_hex(text, field.old_bytes);
        text.append(" ");
        append_hex(text, field.new_bytes);
        text.append(line_end);
    }
    append_decimal(text.append(key::time), clip.old_time).append(" ");
    append_decimal(text, clip.new_time).append(line_end);
}

// Reads one --dates line into the entry `clip`; false when the line is not whole or leaves the
// clip's size.
bool read_dates_line(std::string_view line, JournalClip& clip) {
    if (line.starts_with(key::size)) {
        clip.dated = true;
        return clip.fields.empty() && read_number(line.substr(key::size.size()), clip.size);
    }
    const bool field = line.starts_with(key::field);
    line.remove_prefix(field ? key::field.size() : key::time.size());
    const std::size_t first = line.find(' ');
    if (!clip.dated || first == std::string_view::npos) {
        return false;
    }
    const std::string_view one = line.substr(0, first);
    if (!field) {
        return read_number(one, clip.old_time) &&
               read_number(line.substr(first + 1), clip.new_time);
    }
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    const std::string_view two = line.substr(first + 1, second - first - 1);
    const std::string_view three = line.substr(second + 1);
    JournalClip::Field& entry = clip.fields.emplace_back();
    return read_number(one, entry.offset) && read_hex(two, entry.old_bytes) &&
           read_hex(three, entry.new_bytes) && !entry.old_bytes.empty() &&
           entry.old_bytes.size() == entry.new_bytes.size() && entry.offset <= clip.size &&
           entry.old_bytes.size() <= clip.size - entry.offset;
}

// `value` in `digits` digits, with leading zeros.
void append_number(std::string& text, int value, int digits) {
    const std::string number = std::to_string(value);
    text.append(number.size() < static_cast<std::size_t>(digits)
                    ? static_cast<std::size_t>(digits) - number.size()
                    : 0,
                '0');
    text.append(number);
}

// The journal's lines, split as every other input of the program is.
class JournalLines {
  public:
    explicit JournalLines(std::string_view text)
        : text_(text), reader_([this](char* buffer, std::size_t capacity, std::size_t& count) {
              count = text_.copy(buffer, capacity, read_);
              read_ += count;
              return 0;
          }) {}
    JournalLines(const JournalLines&) = delete;
    JournalLines& operator=(const JournalLines&) = delete;

    // The next line without its line end; false at the end of the text, or at a line too long
    // for any journal, which too_long() then tells.
    bool next(std::string& line) {
        bool has_line = false;
        too_long_ = reader_.next_line(line, has_line) == lineio::LineReader::line_too_long;
        return has_line && !too_long_;
    }
    long long number() const { return reader_.lines_read(); }
    bool too_long() const { return too_long_; }

  private:
    std::string_view text_;
    std::size_t read_ = 0;
    lineio::LineReader reader_;
    bool too_long_ = false;
};

std::string at_line(long long number, std::string_view why) {
    return "line " + std::to_string(number) + ": " + std::string(why);
}

void read_legacy(JournalLines& lines, Journal& journal, JournalProblems& problems) {
    journal.legacy = true;
    std::string line;
    std::string old_path;
    bool folder_known = false;
    std::optional<std::int32_t> correction;
    const auto split = [&](std::string_view path, std::string_view& name) {
        const std::size_t slash = path.rfind('/');
        const std::string_view folder =
            slash == std::string_view::npos ? "" : path.substr(0, slash);
        name = path.substr(slash == std::string_view::npos ? 0 : slash + 1);
        if (!folder_known) {
            journal.head.folder = folder;
            folder_known = true;
        }
        return folder == journal.head.folder && is_plain_name(name, own_name_rules);
    };
    while (lines.next(line)) {
        if (line.starts_with(key::renamed)) {
            old_path = std::string_view(line).substr(key::renamed.size());
        } else if (line.starts_with(key::legacy_to) && !old_path.empty()) {
            std::string_view old_name;
            std::string_view new_name;
            if (split(old_path, old_name) &&
                split(std::string_view(line).substr(key::legacy_to.size()), new_name)) {
                if (const std::string problem = legacy_pair_problem(old_name, new_name, correction);
                    problem.empty()) {
                    JournalClip& clip = journal.clips.emplace_back();
                    clip.old_name = old_name;
                    clip.new_name = new_name;
                } else {
                    problems.refused.push_back(at_line(lines.number(), problem));
                }
            } else {
                problems.refused.push_back(at_line(
                    lines.number(), "the two names do not both lie in the journal's one folder"));
            }
            old_path.clear();
        } else if (line.starts_with(key::end)) {
            journal.ended = true;
        }
    }
    journal.head.correction = correction.value_or(0);
}

bool read_head(JournalLines& lines, Journal& journal, JournalProblems& problems) {
    std::string line;
    bool folder = false;
    bool number = false;
    bool correction = false;
    bool identity = false;
    bool known_system = true;
    bool known_run = true;
    while (lines.next(line) && !line.empty()) {
        if (line.starts_with(key::folder)) {
            journal.head.folder = std::string_view(line).substr(key::folder.size());
            folder = true;
        } else if (line.starts_with(key::folder_number)) {
            number = read_number(std::string_view(line).substr(key::folder_number.size()),
                                 journal.head.folder_number);
        } else if (line.starts_with(key::correction)) {
            correction = read_number(std::string_view(line).substr(key::correction.size()),
                                     journal.head.correction);
        } else if (line.starts_with(key::identity)) {
            const std::optional<IdentityKind> kind =
                identity_kind_named(std::string_view(line).substr(key::identity.size()));
            journal.head.identity_kind = kind.value_or(IdentityKind::number_and_birth);
            identity = kind.has_value();
        } else if (line.starts_with(key::system)) {
            // Journals written before the line was kept were of this system.
            const std::optional<NameRules> rules =
                name_rules_named(std::string_view(line).substr(key::system.size()));
            journal.head.names = rules.value_or(own_name_rules);
            known_system = rules.has_value();
        } else if (line.starts_with("dates only: ")) {
            // Anything but "yes" could be read as either kind of run.
            journal.head.dates_only = true;
            known_run = line == key::dates_only;
        }
    }
    if (!(folder && number && correction && identity && known_system && known_run)) {
        problems.refused.emplace_back(
            "the head does not name the folder, its number, the correction and the identity");
        return false;
    }
    return true;
}

void read_entries(JournalLines& lines, Journal& journal, JournalProblems& problems) {
    std::unordered_map<std::string_view, std::size_t> clip_at;
    // The clips are kept in a vector that grows: the index keys on names owned by the text.
    std::string line;
    std::string_view pending_key;
    std::string pending_name;
    JournalClip clip;
    int clip_lines = 0;
    const auto refuse = [&](std::string_view why) {
        problems.refused.push_back(at_line(lines.number(), why));
    };
    const auto known = [&](std::string_view name) -> JournalClip* {
        const auto found = clip_at.find(name);
        return found == clip_at.end() ? nullptr : &journal.clips[found->second];
    };
    // The entry that --dates lines extend: the one just read, until another kind of line.
    JournalClip* dated = nullptr;
    while (lines.next(line)) {
        if (line.starts_with(key::size) || line.starts_with(key::field) ||
            line.starts_with(key::time)) {
            if (dated == nullptr || !read_dates_line(line, *dated)) {
                refuse("a date line does not follow its clip's entry whole");
            }
            continue;
        }
        dated = nullptr;
        if (clip_lines == 1 && line.starts_with(key::is)) {
            clip.identity = std::string_view(line).substr(key::is.size());
            clip_lines = 2;
            continue;
        }
        if (clip_lines == 2 && line.starts_with(key::to)) {
            clip.new_name = std::string_view(line).substr(key::to.size());
            // A run of dates only renamed nothing: each clip bears the name it had.
            const std::optional<std::string> corrected =
                journal.head.dates_only ? clip.old_name
                                        : corrected_name(clip.old_name, journal.head.correction);
            if (!is_plain_name(clip.old_name, journal.head.names) ||
                lineio::unicode::character_count(clip.old_name) != 23 || !corrected ||
                *corrected != clip.new_name) {
                refuse("\"" + lineio::printable(clip.new_name) +
                       "\" is not the corrected name of \"" + lineio::printable(clip.old_name) +
                       "\" in this journal's folder");
            } else if (clip_at.contains(clip.old_name)) {
                refuse("\"" + lineio::printable(clip.old_name) + "\" has two entries");
            } else {
                journal.clips.push_back(std::move(clip));
                clip_at.emplace(journal.clips.back().old_name, journal.clips.size() - 1);
                dated = &journal.clips.back();
            }
            clip = {};
            clip_lines = 0;
            continue;
        }
        if (clip_lines != 0) {
            refuse("an entry is cut short");
            clip_lines = 0;
        }
        if (!pending_key.empty()) {
            const std::string_view second = pending_key == key::renamed ? key::as : key::at;
            JournalClip* const entry = known(pending_name);
            const std::string_view new_name = line.starts_with(second)
                                                  ? std::string_view(line).substr(second.size())
                                                  : std::string_view();
            if (new_name.empty() || entry == nullptr ||
                !is_name_or_variant(entry->new_name, new_name)) {
                refuse("a name taken is not one the entry's clip could get");
            } else {
                (pending_key == key::renamed ? entry->renamed_as : entry->claimed) = new_name;
            }
            pending_key = {};
            continue;
        }
        if (line.starts_with(key::clip)) {
            clip.old_name = std::string_view(line).substr(key::clip.size());
            clip_lines = 1;
        } else if (line.starts_with(key::renamed) || line.starts_with(key::claim)) {
            pending_key = line.starts_with(key::renamed) ? key::renamed : key::claim;
            pending_name = std::string_view(line).substr(pending_key.size());
        } else if (line.starts_with(key::removed)) {
            // Told for a person reading the journal: undo finds the file by its identity.
            if (known(std::string_view(line).substr(key::removed.size())) == nullptr) {
                refuse("a removed name has no entry");
            }
        } else if (line.starts_with(key::not_renamed) || line.starts_with(key::restored)) {
            const bool left = line.starts_with(key::not_renamed);
            JournalClip* const entry = known(std::string_view(line).substr(
                left ? key::not_renamed.size() : key::restored.size()));
            if (entry == nullptr) {
                refuse("a clip told of has no entry");
            } else {
                (left ? entry->never_renamed : entry->restored) = true;
            }
        } else if (line.starts_with(key::undo_claim)) {
            const std::string_view name = std::string_view(line).substr(key::undo_claim.size());
            if (known(name) != nullptr) {
                journal.undo_claims.emplace_back(name);
            } else {
                refuse("an undo's placeholder is no clip's old name");
            }
        } else if (line.starts_with(key::end)) {
            journal.ended = true;
        } else if (!line.empty()) {
            refuse("the line is none that a journal holds");
        }
    }
}

}  // namespace

JournalProblems read_journal(std::string_view text, Journal& journal) {
    journal = {};
    JournalProblems problems;
    const std::size_t mark = text.starts_with(byte_order_mark) ? byte_order_mark.size() : 0;
    text.remove_prefix(mark);
    // A power cut can leave the journal's last lines cut short, or as bytes the disk never got
    // (zeros): what follows the last whole line is no entry.
    text = text.substr(0, text.find('\0'));
    text = text.substr(0, text.rfind('\n') + 1);
    journal.length = mark + text.size();
    std::string line;
    JournalLines lines(text);
    // A line too long ends the reading of a journal, and is refused: what lies behind it, unread,
    // must not be taken for the journal's whole.
    const auto refuse_if_cut = [&problems](const JournalLines& read) {
        if (read.too_long()) {
            problems.refused.push_back(at_line(read.number() + 1,
                                               "the line is longer than any "
                                               "that a journal holds"));
        }
    };
    if (!lines.next(line) || line != journal_title) {
        problems.not_a_journal = true;
        return problems;
    }
    if (lines.next(line) && line == version_line) {
        if (read_head(lines, journal, problems)) {
            read_entries(lines, journal, problems);
        }
        refuse_if_cut(lines);
    } else if (line.starts_with(version_key)) {
        problems.unknown_version = line.substr(version_key.size());
        return problems;
    } else {
        JournalLines after_title(text);
        after_title.next(line);
        read_legacy(after_title, journal, problems);
        refuse_if_cut(after_title);
    }
    // A journal of no clip holds nothing a journal holds; a run that renamed nothing leaves none.
    problems.not_a_journal = problems.refused.empty() && journal.clips.empty();
    return problems;
}

bool is_journaled_clip(const JournalClip& clip, platform::FileIdentity file, IdentityKind kind) {
    if (clip.holds_time_set(file.modified)) {
        file.modified = clip.old_time;
    }
    return identity_matches(clip.identity, file, kind);
}

JournalProblems load_journal(const std::string& name, Journal& journal, int& error) {
    std::string text;
    error = platform::read_whole_file(name, text);
    if (error != 0) {
        journal = {};
        return {};
    }
    lineio::DecodedText decoded = lineio::decode_text(text);
    const bool encoded_again = decoded.form == lineio::TextForm::utf16_little_endian ||
                               decoded.form == lineio::TextForm::utf16_big_endian;
    if (encoded_again) {
        text = std::move(decoded.text);
    }
    JournalProblems problems = read_journal(text, journal);
    journal.encoded_again = encoded_again;
    // Only a journal of 1.1.0 is in a code page. Where names are text, other bytes name no file;
    // where they are bytes, the run wrote them so.
    problems.neither_utf8_nor_utf16 =
        decoded.form == lineio::TextForm::other && !journal.legacy && platform::names_are_text;
    if (journal.legacy) {
        // Version 1.1.0 wrote its journals in the console's code page, which on Windows was the
        // OEM one; its names read as UTF-8 only once converted.
        const std::size_t length = journal.length;
        problems = read_journal(platform::from_legacy_code_page(text), journal);
        journal.length = length;
    }
    return problems;
}

int locate_journal_folder(const std::string& name, const Journal& journal,
                          std::string& journal_path, std::string& folder_path) {
    if (const int error = platform::real_path(name, journal_path); error != 0) {
        return error;
    }
    folder_path = journal.head.folder.empty() && !journal.legacy
                      ? "/"
                      : platform::path_beside(journal_path, journal.head.folder);
    return 0;
}

std::string journal_folder_from_here(const Journal& journal, const std::string& journal_path,
                                     const std::string& folder_path) {
    // The journal's real folder, wherever a link to it stands, is the one its folder is read in.
    std::string here;
    const std::size_t cut = journal_path.find_last_of("/\\");
    if (cut == std::string::npos || platform::real_path(".", here) != 0 ||
        here != journal_path.substr(0, cut)) {
        return folder_path;
    }
    // A journal of 1.1.0 named its clips' paths from its own folder; "" is the root in any other.
    return journal.legacy && journal.head.folder.empty() ? "." : journal.head.folder;
}

std::string journal_file_name(const platform::LocalTime& time, int number) {
    std::string name(journal_name_start);
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

std::vector<std::string> journals_newest_first() {
    // "<start>YYYYMMDD-HHMMSS[-N].txt": the time, then the number of runs within that second.
    constexpr std::size_t stamp = 15;
    std::vector<std::pair<std::pair<std::string, int>, std::string>> found;
    platform::Folder current;
    if (current.open("", true) != 0) {
        return {};
    }
    const int error = current.list([&](const platform::FolderEntry& entry) {
        std::string_view name = entry.name;
        if (!name.starts_with(journal_name_start) || !name.ends_with(".txt") ||
            name.size() < journal_name_start.size() + stamp + 4) {
            return;
        }
        name.remove_prefix(journal_name_start.size());
        name.remove_suffix(4);
        int number = 1;
        if (name.size() > stamp && !read_number(name.substr(stamp + 1), number)) {
            return;
        }
        // An empty journal is what a run killed before its first write leaves: nothing to undo.
        platform::FileIdentity identity;
        if (const std::string whole(entry.name);
            current.identify(whole, identity) == 0 && identity.size > 0) {
            found.push_back({{std::string(name.substr(0, stamp)), number}, whole});
        }
    });
    std::sort(found.begin(), found.end(), std::greater<>());
    std::vector<std::string> names;
    names.reserve(found.size());
    for (auto& [key, name] : found) {
        names.push_back(std::move(name));
    }
    return error == 0 ? names : std::vector<std::string>();
}

std::string journal_in_full(const std::string& name) {
    std::string full;
    return platform::real_path(name, full) == 0 ? full : name;
}

std::string newest_journal() {
    const std::vector<std::string> journals = journals_newest_first();
    return journals.empty() ? std::string() : journals.front();
}

void JournalWriter::check(int error) {
    if (error == 0) {
        return;
    }
    const std::string place = "file \"" + lineio::printable(name_) + "\"";
    if (!renamed_any_) {
        // Nothing was renamed under it: a journal of no rename is no journal.
        file_.close();
        platform::remove_file(name_);
    }
    channels_.fail({lineio::Activity::journal_output, -1, lineio::Cause::other,
                    platform::describe_error(error), place, lineio::printable(name_)});
}

bool JournalWriter::create() {
    const platform::LocalTime now = platform::local_time();
    int error = 0;
    for (int number = 1; number <= most_journals_per_second; ++number) {
        name_ = journal_file_name(now, number);
        error = file_.create_new(name_);
        if (!platform::is_taken_name_refusal(error)) {
            break;
        }
    }
    if (platform::is_permission_refusal(error)) {
        // A current directory where no new file may be made, but the report may be written: the
        // run goes on without a journal, and says so before its first rename.
        name_.clear();
        channels_.error_line("No undo journal could be made here, so this run cannot be undone");
        return false;
    }
    if (error != 0) {
        renamed_any_ = true;  // the file was never made: there is nothing to remove
        check(error);
    }
    std::string head(journal_title);
    head.append(line_end).append(version_line).append(line_end);
    head.append(head_.dates_only
                    ? "The dates one run corrected, oldest first. To give every clip its old dates "
                      "back:"
                    : "The renames of one run, oldest first. To give every file its old name back:")
        .append(line_end)
        .append(undo_command(program_, name_))
        .append(line_end);
    head.append(key::folder).append(head_.folder).append(line_end);
    head.append(key::folder_number).append(std::to_string(head_.folder_number)).append(line_end);
    head.append(key::correction).append(std::to_string(head_.correction)).append(line_end);
    head.append(key::identity).append(identity_kind_words(head_.identity_kind)).append(line_end);
    head.append(key::system).append(name_rules_words(own_name_rules)).append(line_end);
    if (head_.dates_only) {
        head.append(key::dates_only).append(line_end);
    }
    head.append(line_end);
    owed_.insert(0, head);
    return true;
}

void JournalWriter::write(std::string_view text) {
    if (!file_.is_open() && resumed_) {
        check(file_.open_or_create(name_));
        // Whatever a power cut left after the last whole line goes: a line written after it
        // would be taken for part of it.
        check(file_.truncate_to(resumed_at_));
    }
    owed_.append(text);
    check(file_.write(owed_));
    owed_.clear();
    check(file_.sync());
}

void JournalWriter::write_ahead(std::span<const JournalClip> clips) {
    const bool first = !file_.is_open();
    if (first && (unavailable_ || !create())) {
        unavailable_ = true;
        return;
    }
    // Put together behind whatever is owed, in room kept from one batch to the next.
    for (const JournalClip& clip : clips) {
        owed_.append(key::clip).append(clip.old_name).append(line_end);
        owed_.append(key::is).append(clip.identity).append(line_end);
        owed_.append(key::to).append(clip.new_name).append(line_end);
        append_dates(owed_, clip);
    }
    write({});
    // A run of dates only changes its clips once they are journaled, renaming none.
    renamed_any_ = renamed_any_ || head_.dates_only;
    if (first) {
        // The journal's own name must last too: the folder that holds it is made durable once.
        platform::Folder current;
        const int error = current.open("", true);
        check(error != 0 ? error : current.sync());
    }
}

void JournalWriter::renamed(const std::string& old_name, const std::string& new_name,
                            const std::string& planned) {
    renamed_any_ = true;
    // Undo looks for a clip under its planned name first: only another name needs a line, which
    // halves what a run of plain clips writes.
    if (file_.is_open() && new_name != planned) {
        owed_.append(key::renamed).append(old_name).append(line_end);
        owed_.append(key::as).append(new_name).append(line_end);
    }
}

void JournalWriter::removed(const std::string& old_name) {
    renamed_any_ = true;
    if (file_.is_open()) {
        owed_.append(key::removed).append(old_name).append(line_end);
    }
}

void JournalWriter::claim(const std::string& old_name, const std::string& claimed) {
    // A claim of the corrected name is explained by the entry's "to:", on the medium since its
    // batch: only a burst number needs a line, on the medium before the placeholder is made.
    if (file_.is_open() && corrected_name(old_name, head_.correction) != claimed) {
        owed_.append(key::claim).append(old_name).append(line_end);
        owed_.append(key::at).append(claimed).append(line_end);
        write({});
    }
}

void JournalWriter::resume(const std::string& name, std::size_t length) {
    name_ = name;
    resumed_at_ = length;
    resumed_ = true;
    // The journal of a run that renamed: whatever befalls the undo, the journal stays.
    renamed_any_ = true;
}

void JournalWriter::undo_claim(const std::string& claimed) {
    write(std::string(key::undo_claim).append(claimed).append(line_end));
}

void JournalWriter::restored(const std::string& old_name) {
    owed_.append(key::restored).append(old_name).append(line_end);
}

void JournalWriter::flush() {
    if (owed_.empty()) {
        return;
    }
    // What an undo restored only saves a later undo from finding it out by itself: a journal
    // that cannot take it, on a medium made read-only since, fails nothing.
    if (!file_.is_open() && (file_.open_or_create(name_) != 0 || !file_.is_writable() ||
                             file_.truncate_to(resumed_at_) != 0)) {
        return;
    }
    if (file_.write(owed_) == 0) {
        file_.sync();
    }
    owed_.clear();
}

void JournalWriter::not_renamed(const std::string& old_name) {
    if (file_.is_open()) {
        owed_.append(key::not_renamed).append(old_name).append(line_end);
    }
}

void JournalWriter::close(std::int32_t renamed_count) {
    if (!file_.is_open()) {
        return;
    }
    if (!renamed_any_) {
        check(file_.close());
        check(platform::remove_file(name_));
        name_.clear();
        return;
    }
    owed_.append(key::end).append(std::to_string(renamed_count)).append(" files renamed");
    owed_.append(line_end);
    check(file_.write(owed_));
    owed_.clear();
    check(file_.close());
}

}  // namespace workflow
