// UTF-8 inside, UTF-16 at the Windows calls: every name goes there and back unchanged, and bytes
// that are no UTF-8 never become the name of another file.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "lineio/text_decoding.hpp"
#include "lineio/unicode_text.hpp"

namespace {

using namespace lineio::unicode;

TEST(UnicodeText, EveryWindowsNameComesBackAndNoGuessedNameIsMade) {
    // The UTF-8 of a name, and its UTF-16; a lone surrogate keeps its three bytes.
    // clang-format off
    const std::pair<std::string, std::u16string> names[] = {
        {"Łódź", u"Łódź"}, {"视频", u"视频"}, {"\xF0\x9F\x8E\xA5", u"\U0001F3A5"},
        {"a\xED\xA0\x80z", u"a\xD800z"}, {"\xED\xB0\x80", u"\xDC00"},
        {"\x7F\xC2\x80\xDF\xBF", u"\x7F\x80\x7FF"}, {"\xE0\xA0\x80\xEF\xBF\xBF", u"\x800\xFFFF"},
        {"\xF0\x90\x80\x80", u"\U00010000"}, {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}};
    // clang-format on
    for (const auto& [utf8, utf16] : names) {
        std::u16string wide;
        EXPECT_TRUE(to_utf16(utf8, wide)) << utf8;
        EXPECT_EQ(wide, utf16);
        EXPECT_EQ(to_utf8(utf16), utf8);
    }
    // Latin-1, cut sequences, overlong forms, pairs written in halves (the first and last of
    // each half), beyond U+10FFFF, a stray continuation byte, alone and before three more.
    for (const std::string bad :
         {"K\xF6ln", "\xC5", "\xE2\x82", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
          "\xED\xA0\xBD\xED\xB8\x80", "\xED\xA0\x80\xED\xB0\x80", "\xED\xAF\xBF\xED\xBF\xBF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\x80", "\x81\x80\x80\x80"}) {
        std::u16string wide;
        EXPECT_FALSE(to_utf16(bad, wide)) << bad;
    }
    EXPECT_EQ(to_utf16_for_display("K\xF6ln\xC5"), u"K\uFFFDln\uFFFD");
}

TEST(UnicodeText, ColumnsAreCharactersAndAStrayByteIsOne) {
    const std::string text = "a\xC3\xA9\xE8\xA7\x86\xF0\x9F\x8E\xA5\xC5z";  // a é 视 🎥 \xC5 z
    EXPECT_EQ(character_count(text), 6U);
    // A number: the bytes of as many characters, and of the whole characters within as many bytes.
    // clang-format off
    const std::tuple<std::size_t, std::size_t, std::size_t> counts[] = {
        {0, 0, 0}, {1, 1, 1}, {2, 3, 1}, {3, 6, 3}, {4, 10, 3}, {5, 11, 3}, {6, 12, 6},
        {9, 12, 6}, {10, 12, 10}, {11, 12, 11}, {99, 12, 12}};
    // clang-format on
    for (const auto& [number, characters, whole] : counts) {
        EXPECT_EQ(bytes_of_characters(text, number), characters) << number;
        EXPECT_EQ(bytes_of_whole_characters(text, number), whole) << number;
    }
    EXPECT_EQ(columns(text, 2, 2), "\xE8\xA7\x86\xF0\x9F\x8E\xA5");
    EXPECT_EQ(bytes_of_characters("ab", 1), 1U);                // a run of ASCII cut short
    EXPECT_EQ(bytes_of_whole_characters("\xC3\xA9zz", 3), 3U);  // and one after another character
}

// A journal saved again in an editor: both UTF-16 orders, UTF-8 with its mark, and the rest kept.
TEST(TextDecoding, TakesOffTheMarkAndConvertsUtf16) {
    using lineio::TextForm;
    const std::pair<std::string, lineio::DecodedText> rows[] = {
        {"K\xC3\xB6ln", {"K\xC3\xB6ln", TextForm::utf8}},
        {"\xEF\xBB\xBFK\xC3\xB6ln", {"K\xC3\xB6ln", TextForm::utf8_with_mark}},
        {std::string("\xFF\xFEK\0\xF6\0\x3C\xD8\xA5\xDF", 10),
         {"K\xC3\xB6\xF0\x9F\x8E\xA5", TextForm::utf16_little_endian}},
        {std::string("\xFE\xFF\0K\0\xF6", 6), {"K\xC3\xB6", TextForm::utf16_big_endian}},
        {"\xFF\xFEK", {"K", TextForm::other}},
        {"K\xF6ln", {"K\xF6ln", TextForm::other}},
        {"\xEF\xBB\xBFK\xF6ln", {"K\xF6ln", TextForm::other}}};
    for (const auto& [bytes, decoded] : rows) {
        const lineio::DecodedText got = lineio::decode_text(bytes);
        EXPECT_EQ(got.text, decoded.text) << bytes;
        EXPECT_EQ(got.form, decoded.form) << bytes;
    }
}

}  // namespace
