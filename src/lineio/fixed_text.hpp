// Fixed-width texts: single-byte characters, blank-padded on the right, with no terminator.
// Names, paths and command lines are built from them column by column, so their widths are
// part of what the program writes.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string_view>

namespace lineio {

inline constexpr char blank = ' ';

// The length of `text` without its trailing blanks (only character 32 counts; a tab does not).
std::size_t trimmed_length(std::string_view text);

// `text` without its trailing blanks.
std::string_view trimmed(std::string_view text);

// Copies `source` into `destination`, cut at the destination's width and blank-filled behind it.
void fixed_copy(std::span<char> destination, std::string_view source);

// Writes the pieces one after the other from the destination's first column, each whole with its
// own length, cuts the result at the destination's width and blank-fills the rest. A piece may lie
// inside the destination itself: the result is as if every piece had been copied out first.
void concatenate(std::span<char> destination, std::initializer_list<std::string_view> pieces);

// A fixed-width text of `Width` characters, all blanks to begin with.
template <std::size_t Width>
struct FixedText {
    std::array<char, Width> chars;

    FixedText() { chars.fill(blank); }
    explicit FixedText(std::string_view text) { fixed_copy(chars, text); }

    std::span<char> span() { return chars; }
    std::string_view view() const { return {chars.data(), chars.size()}; }
    std::string_view trimmed_view() const { return trimmed(view()); }
    static constexpr std::size_t width = Width;
};

}  // namespace lineio
