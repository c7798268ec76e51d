// UTF-8, the program's one encoding of text: the characters of a text, and its conversion to and
// from the UTF-16 that Windows names and consoles speak. Pure computation, on every system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lineio::unicode {

// The number of characters in `text`: a well-formed UTF-8 sequence is one character, and so is
// each byte that begins none (text typed or listed in another encoding still has a width).
std::size_t character_count(std::string_view text);

// How many of the first `limit` bytes of `text` are ASCII, up to the first that is not.
std::size_t ascii_prefix(std::string_view text, std::size_t limit);

// How many bytes the first `characters` characters of `text` take (all of it when it has fewer):
// a text cut there never ends in part of a character.
std::size_t bytes_of_characters(std::string_view text, std::size_t characters);

// How many bytes of `text`'s first characters fit in `capacity` bytes, no character being cut.
std::size_t bytes_of_whole_characters(std::string_view text, std::size_t capacity);

// The `count` characters of `text` from its column `first` on (counted from 0), fewer where it
// ends.
std::string_view columns(std::string_view text, std::size_t first, std::size_t count);

// How many bytes the well-formed UTF-8 sequence at the start of `text` takes; 0 when `text` is
// empty or begins with a byte that starts none (a surrogate's code counts as none).
std::size_t utf8_sequence_length(std::string_view text);

// The UTF-16 form of `text`. A name read from Windows may hold half of a surrogate pair, which no
// UTF-8 can carry; to_utf8 gives it the three bytes its code would take, and that form is taken
// back here, so that every listed name names its file again. Returns false for any other sequence
// that is not UTF-8: such bytes name no file, and guessing at them could name another.
bool to_utf16(std::string_view text, std::u16string& wide);

// The UTF-8 form of `wide`, half surrogate pairs kept as described at to_utf16.
std::string to_utf8(std::u16string_view wide);

// The UTF-16 form of `text` for showing it: each byte that begins no UTF-8 sequence is shown as
// the replacement character.
std::u16string to_utf16_for_display(std::string_view text);

}  // namespace lineio::unicode
