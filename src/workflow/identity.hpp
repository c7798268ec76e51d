// How a journal tells a clip from every other file, and the rules a journal's text must keep to
// be obeyed: which names it may hold on the system it was written on, how an old journal without
// a recorded correction is judged, and how far a head's claims are believed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace workflow {
class ClipFolder;
}

namespace workflow {

// What a clip's identity holds. A file number alone is proof only where a reused number differs
// from the old one (Windows); elsewhere a number comes back for the next file made, so it goes
// with the birth time, or failing that with the size and last-write time. Where numbers do not
// outlive a remount, size and time are all there is, and then two entries are two files.
enum class IdentityKind : std::uint8_t {
    number,
    number_and_birth,
    number_size_and_time,
    size_and_time
};

// The kind's words in a journal's head, and back; nothing for words of no kind.
std::string_view identity_kind_words(IdentityKind kind);
std::optional<IdentityKind> identity_kind_named(std::string_view words);

// True where the identity holds a true file number, so that two names of one identity are two
// names of one file.
inline bool is_file_number(IdentityKind kind) {
    return kind != IdentityKind::size_and_time;
}

// The kind a run records for the clips of `folder`, whose own identity is `self`.
IdentityKind identity_kind_of(const ClipFolder& folder, const platform::FileIdentity& self);

// The identity of `file` as a journal keeps it.
std::string identity_text(const platform::FileIdentity& file, IdentityKind kind);
// The same into `text`, whose room is reused from one clip to the next.
void identity_text(const platform::FileIdentity& file, IdentityKind kind, std::string& text);

// True when `file` is the file whose identity a journal recorded as `journaled`. The expected
// values are the journal's, so that a later change the program makes to a clip, journaled with
// its new value, is checked against that value.
bool identity_matches(std::string_view journaled, const platform::FileIdentity& file,
                      IdentityKind kind);

// The systems whose name rules a journal is read by.
enum class NameRules : std::uint8_t { posix, windows };
inline constexpr NameRules own_name_rules =
    platform::names_may_hold_double_quotes ? NameRules::posix : NameRules::windows;
std::string_view name_rules_words(NameRules rules);
std::optional<NameRules> name_rules_named(std::string_view words);

// A name that stays one entry inside the folder, both on the system the journal was written on
// and on this one: never empty, "." or "..", no separator, and on Windows no drive, stream or
// character that Windows refuses in a name.
bool is_plain_name(std::string_view name, NameRules written_on);

// A journal of version 1.1.0 records no correction: each pair must be a 23-character clip name
// and its corrected name, or a burst variant of it, under one correction that every pair shares.
// `shared` holds the correction of the pairs before; returns why the pair is refused, or empty.
std::string legacy_pair_problem(std::string_view old_name, std::string_view new_name,
                                std::optional<std::int32_t>& shared);

// What a head claims that the folder it names belies, or empty. Folder number 0 and the size and
// time kind are what a folder without lasting numbers gives; elsewhere they are believed only of
// a folder inside the journal's own directory (`journal_path`, the journal's real path), a card's
// journal that travelled with its folder. `folder` is open on `folder_path`.
std::string head_problem(IdentityKind kind, std::uint64_t folder_number, const ClipFolder& folder,
                         const platform::FileIdentity& self, const std::string& folder_path,
                         const std::string& journal_path);

// A refused line as shown: at most 200 characters, then "…" and the line's full length.
std::string shortened(std::string_view line);

}  // namespace workflow
