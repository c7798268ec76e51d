#include "workflow/identity.hpp"

#include "workflow/clip_folder.hpp"

#include <array>
#include <charconv>
#include <limits>
#include <type_traits>

#include "lineio/unicode_text.hpp"
#include "timestamp/calendar.hpp"
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

// Writes `value` in decimal at `at`, which has room for its 20 digits, and returns the end.
char* put_decimal(char* at, std::uint64_t value) {
    constexpr int most_digits = std::numeric_limits<std::uint64_t>::digits10 + 1;
    return std::to_chars(at, at + most_digits, value).ptr;
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
