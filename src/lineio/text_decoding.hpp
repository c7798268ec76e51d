// The text of a file that a person may have opened and saved again in an editor: Notepad saves
// UTF-8 with a byte order mark, or UTF-16 ("Unicode") in either byte order, or the code page.
#pragma once

#include <string>
#include <string_view>

namespace lineio {

// What a file's bytes turned out to be.
enum class TextForm { utf8, utf8_with_mark, utf16_little_endian, utf16_big_endian, other };

struct DecodedText {
    std::string text;  // UTF-8, without the byte order mark
    TextForm form = TextForm::utf8;
};

// The UTF-8 text of `bytes`: a byte order mark is taken off and UTF-16 converted. Bytes that are
// not UTF-8 (half surrogate pairs as to_utf8 writes them included), with no mark or after one,
// are handed back as they are, as form `other`; so is UTF-16 cut in the middle of a unit.
DecodedText decode_text(std::string_view bytes);

}  // namespace lineio
