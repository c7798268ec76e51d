#include "lineio/text_decoding.hpp"

#include "lineio/unicode_text.hpp"

namespace lineio {

DecodedText decode_text(std::string_view bytes) {
    constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";
    constexpr std::string_view little_endian_mark = "\xFF\xFE";
    constexpr std::string_view big_endian_mark = "\xFE\xFF";
    std::u16string wide;
    if (bytes.starts_with(little_endian_mark) || bytes.starts_with(big_endian_mark)) {
        const bool little = bytes.starts_with(little_endian_mark);
        bytes.remove_prefix(2);
        if (bytes.size() % 2 != 0) {
            return {std::string(bytes), TextForm::other};
        }
        wide.reserve(bytes.size() / 2);
        for (std::size_t at = 0; at < bytes.size(); at += 2) {
            const auto first = static_cast<unsigned char>(bytes[at]);
            const auto second = static_cast<unsigned char>(bytes[at + 1]);
            wide.push_back(
                static_cast<char16_t>(little ? first | (second << 8U) : (first << 8U) | second));
        }
        return {unicode::to_utf8(wide),
                little ? TextForm::utf16_little_endian : TextForm::utf16_big_endian};
    }
    const bool marked = bytes.starts_with(utf8_mark);
    if (marked) {
        bytes.remove_prefix(utf8_mark.size());
    }
    const TextForm form = !unicode::to_utf16(bytes, wide) ? TextForm::other
                          : marked                        ? TextForm::utf8_with_mark
                                                          : TextForm::utf8;
    return {std::string(bytes), form};
}

}  // namespace lineio
