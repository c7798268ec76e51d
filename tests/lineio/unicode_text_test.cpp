// UTF-8 inside, UTF-16 at the Windows calls: every name goes there and back unchanged, and bytes
// that are no UTF-8 never become the name of another file.
#include <gtest/gtest.h>

#include <string>

#include "lineio/unicode_text.hpp"

namespace {

using namespace lineio::unicode;

TEST(UnicodeText, EveryWindowsNameComesBackAndNoGuessedNameIsMade) {
    // The UTF-8 of a name, and its UTF-16; a lone surrogate keeps its three bytes.
    const std::pair<std::string, std::u16string> names[] = {{"Łódź", u"Łódź"},
                                                            {"视频", u"视频"},
                                                            {"\xF0\x9F\x8E\xA5", u"\U0001F3A5"},
                                                            {"a\xED\xA0\x80z", u"a\xD800z"},
                                                            {"\xED\xB0\x80", u"\xDC00"}};
    for (const auto& [utf8, utf16] : names) {
        std::u16string wide;
        EXPECT_TRUE(to_utf16(utf8, wide)) << utf8;
        EXPECT_EQ(wide, utf16);
        EXPECT_EQ(to_utf8(utf16), utf8);
    }
    // Latin-1, a cut sequence, an overlong '/', a pair written in halves, beyond U+10FFFF.
    for (const std::string bad :
         {"K\xF6ln", "\xC5", "\xC0\xAF", "\xED\xA0\xBD\xED\xB8\x80", "\xF4\x90\x80\x80"}) {
        std::u16string wide;
        EXPECT_FALSE(to_utf16(bad, wide)) << bad;
    }
    EXPECT_EQ(to_utf16_for_display("K\xF6ln\xC5"), u"K\uFFFDln\uFFFD");
}

}  // namespace
