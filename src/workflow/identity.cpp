#include "workflow/identity.hpp"

#include "workflow/clip_folder.hpp"

#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <type_traits>

#include "lineio/unicode_text.hpp"
#include "timestamp/calendar.hpp"
#include "timestamp/numerals.hpp"
#include "timestamp/timestamp.hpp"
#include "workflow/clip_name.hpp"
#include "workflow/layouts.hpp"

namespace workflow {
namespace {

constexpr std::array<std::string_view, 4> kind_words{"number", "number and birth time",
                                                     "number, size and time", "size and time"};
constexpr std::array<std::string_view, 2> rules_words{"POSIX", "Windows"};

// The value of an enumeration whose words in a journal's head are `words`, in the order of its
// values.
template <typename Enum, std::size_t Count>
std::optional<Enum> named(const std::array<std::string_view, Count>& words, std::string_view text) {
    for (std::size_t value = 0; value < Count; ++value) {
        if (words[value] == text) {
            return static_cast<Enum>(value);
        }
    }
    return std::nullopt;
}
constexpr std::size_t longest_shown_line = 200;

// The minute position of the date and time in a name's first 16 columns, written in ASCII.
std::optional<std::int64_t> minute_position(std::string_view name) {
    if (name.size() < listed_name_column::second) {
        return std::nullopt;
    }
    const auto field = [&](std::size_t column, std::size_t width, std::int32_t& value) {
        const char* const first = name.data() + column;
        const auto [end, error] = std::from_chars(first, first + width, value);
        return error == std::errc() && end == first + width;
    };
    timestamp::CalendarMinute minute{};
    if (!field(listed_name_column::year, 4, minute.year) ||
        !field(listed_name_column::month, 2, minute.month) ||
        !field(listed_name_column::day, 2, minute.day) ||
        !field(listed_name_column::hour, 2, minute.hour) ||
        !field(listed_name_column::minute, 2, minute.minute)) {
        return std::nullopt;
    }
    return timestamp::Calendar(timestamp::lowest_year).position_of(minute);
}

// Writes the two digits of `value` (0 to 99) at `at`.
void put_pair(char* at, std::uint32_t value) {
    std::memcpy(at, timestamp::digit_pairs + std::size_t{2} * value, 2);
}

// Writes the eight digits of `value` (below 10^8), leading zeros included, and returns the end.
char* put_eight_digits(char* at, std::uint32_t value) {
    const std::uint32_t high = value / 10'000;
    const std::uint32_t low = value % 10'000;
    put_pair(at, high / 100);
    put_pair(at + 2, high % 100);
    put_pair(at + 4, low / 100);
    put_pair(at + 6, low % 100);
    return at + 8;
}

// Writes `value` (below 10^8) without leading zeros and returns the end.
char* put_short_decimal(char* at, std::uint32_t value) {
    // Counted without a loop: one comparison for each power of ten, added up.
    const std::size_t digits = std::size_t{1} + std::size_t{value >= 10} +
                               std::size_t{value >= 100} + std::size_t{value >= 1'000} +
                               std::size_t{value >= 10'000} + std::size_t{value >= 100'000} +
                               std::size_t{value >= 1'000'000} + std::size_t{value >= 10'000'000};
    char* const end = at + digits;
    char* last = end;
    for (; value >= 100; value /= 100) {
        last -= 2;
        put_pair(last, value % 100);
    }
    if (value >= 10) {
        put_pair(last - 2, value);
    } else {
        last[-1] = static_cast<char>('0' + value);
    }
    return end;
}

// Writes `value` in decimal at `at` and returns the end. A clip's identity holds times of 19
// digits, which std::to_chars takes two digits at a time in 64-bit divisions: here they are
// split into parts of eight digits first, which 32-bit steps take apart, written in place (one of
// the steps of bench/README.md that together pay about 3 % of a run).
char* put_decimal(char* at, std::uint64_t value) {
    constexpr std::uint64_t eight_digits = 100'000'000;
    if (value < eight_digits) {
        return put_short_decimal(at, static_cast<std::uint32_t>(value));
    }
    const auto lowest = static_cast<std::uint32_t>(value % eight_digits);
    value /= eight_digits;
    if (value < eight_digits) {
        at = put_short_decimal(at, static_cast<std::uint32_t>(value));
    } else {
        at = put_short_decimal(at, static_cast<std::uint32_t>(value / eight_digits));
        at = put_eight_digits(at, static_cast<std::uint32_t>(value % eight_digits));
    }
    return put_eight_digits(at, lowest);
}

char* signed_decimal(char* at, std::int64_t value) {
    auto magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *at++ = '-';
        // Negated in unsigned arithmetic, where the lowest value has room.
        magnitude = ~magnitude + 1;
    }
    return put_decimal(at, magnitude);
}

}  // namespace

std::string_view identity_kind_words(IdentityKind kind) {
    return kind_words.at(static_cast<std::size_t>(kind));
}

std::optional<IdentityKind> identity_kind_named(std::string_view words) {
    return named<IdentityKind>(kind_words, words);
}

IdentityKind identity_kind_of(const ClipFolder& folder, const platform::FileIdentity& self) {
    if (!folder.keeps_file_numbers()) {
        return IdentityKind::size_and_time;
    }
    if (platform::numbers_change_on_reuse) {
        return IdentityKind::number;
    }
    return self.born_known ? IdentityKind::number_and_birth : IdentityKind::number_size_and_time;
}

std::string identity_text(const platform::FileIdentity& file, IdentityKind kind) {
    std::string text;
    identity_text(file, kind, text);
    return text;
}

void identity_text(const platform::FileIdentity& file, IdentityKind kind, std::string& text) {
    // Written straight into the room `text` keeps from one clip to the next: at most four numbers
    // of up to 20 digits and a sign, with a separator after each.
    text.resize(std::size_t{4} * (std::numeric_limits<std::uint64_t>::digits10 + 3));
    char* at = text.data();
    const auto number = [&at](auto value, char separator) {
        if constexpr (std::is_signed_v<decltype(value)>) {
            at = signed_decimal(at, value);
        } else {
            at = put_decimal(at, value);
        }
        *at++ = separator;
    };
    if (kind != IdentityKind::size_and_time) {
        if (file.index_high != 0) {
            number(file.index_high, '.');
        }
        number(file.index, ' ');
    }
    if (kind == IdentityKind::number_and_birth) {
        number(file.born, ' ');
    } else if (kind != IdentityKind::number) {
        number(file.size, ' ');
        number(file.modified, ' ');
    }
    text.resize(static_cast<std::size_t>(at - 1 - text.data()));
}

bool identity_matches(std::string_view journaled, const platform::FileIdentity& file,
                      IdentityKind kind) {
    // A birth time the system did not report proves nothing, not even a birth at time 0.
    return (kind != IdentityKind::number_and_birth || file.born_known) &&
           identity_text(file, kind) == journaled;
}

std::string_view name_rules_words(NameRules rules) {
    return rules_words.at(static_cast<std::size_t>(rules));
}

std::optional<NameRules> name_rules_named(std::string_view words) {
    return named<NameRules>(rules_words, words);
}

bool is_plain_name(std::string_view name, NameRules written_on) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        return false;
    }
    if (written_on == NameRules::posix && own_name_rules == NameRules::posix) {
        return true;
    }
    // Windows takes a colon for a stream, a backslash for a separator, and drops a name's
    // trailing dots and blanks, which would make it name another file.
    for (const char character : name) {
        if (static_cast<unsigned char>(character) < 0x20U ||
            std::string_view("\\:*?\"<>|").find(character) != std::string_view::npos) {
            return false;
        }
    }
    return !name.ends_with('.') && !name.ends_with(' ');
}

std::string legacy_pair_problem(std::string_view old_name, std::string_view new_name,
                                std::optional<std::int32_t>& shared) {
    const std::optional<std::string> plain = lineio::unicode::character_count(old_name) == 23
                                                 ? corrected_name(old_name, 0)
                                                 : std::nullopt;
    const std::optional<std::int64_t> from = plain ? minute_position(*plain) : std::nullopt;
    const std::optional<std::int64_t> to = minute_position(new_name);
    if (!from || !to) {
        return "\"" + std::string(new_name) + "\" and \"" + std::string(old_name) +
               "\" are not a clip name and its corrected name";
    }
    const std::int64_t minutes = *to - *from;
    const std::optional<std::string> corrected =
        minutes >= std::numeric_limits<std::int32_t>::min() &&
                minutes <= std::numeric_limits<std::int32_t>::max()
            ? corrected_name(old_name, static_cast<std::int32_t>(minutes))
            : std::nullopt;
    if (!corrected || !is_name_or_variant(*corrected, new_name)) {
        return "\"" + std::string(new_name) + "\" is not a corrected name of \"" +
               std::string(old_name) + "\"";
    }
    if (shared && *shared != minutes) {
        return "the pair's correction is not the one the pairs before share";
    }
    shared = static_cast<std::int32_t>(minutes);
    return {};
}

std::string head_problem(IdentityKind kind, std::uint64_t folder_number, const ClipFolder& folder,
                         const platform::FileIdentity& self, const std::string& folder_path,
                         const std::string& journal_path) {
    std::string resolved;
    const std::string journal_directory =
        journal_path.substr(0, journal_path.find_last_of("/\\") + 1);
    const bool inside_journal_directory =
        !folder_path.empty() && platform::real_path(folder_path, resolved) == 0 &&
        resolved.starts_with(journal_directory) && resolved.size() > journal_directory.size();
    const bool keeps_numbers = folder.keeps_file_numbers();
    const IdentityKind own = identity_kind_of(folder, self);
    if (kind == IdentityKind::size_and_time ? keeps_numbers && !inside_journal_directory
                                            : kind != own) {
        return "the head's identity \"" + std::string(identity_kind_words(kind)) +
               "\" is not the one the folder's files have, \"" +
               std::string(identity_kind_words(own)) + "\"";
    }
    if (folder_number == 0 && keeps_numbers && !inside_journal_directory) {
        return "the head's folder number 0 is not the number of the folder, whose files keep their "
               "numbers";
    }
    return {};
}

std::string shortened(std::string_view line) {
    const std::size_t characters = lineio::unicode::character_count(line);
    if (characters <= longest_shown_line) {
        return std::string(line);
    }
    return std::string(
               line.substr(0, lineio::unicode::bytes_of_characters(line, longest_shown_line)))
        .append("\xE2\x80\xA6 (")
        .append(std::to_string(characters))
        .append(" characters)");
}

}  // namespace workflow
