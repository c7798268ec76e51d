#include "lineio/unicode_text.hpp"

#include <algorithm>
#include <cstdint>

namespace lineio::unicode {
namespace {

constexpr char32_t malformed = 0xFFFFFFFF;
constexpr char32_t replacement_character = 0xFFFD;

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

bool is_high_surrogate(char32_t code) {
    return code >= 0xD800 && code <= 0xDBFF;
}

bool is_low_surrogate(char32_t code) {
    return code >= 0xDC00 && code <= 0xDFFF;
}

// The character that starts at `at`, and `at` moved past it; a byte that begins no well-formed
// sequence (a stray continuation byte, a cut or overlong sequence, a code beyond U+10FFFF) is
// `malformed`, and `at` moves past that byte alone. Surrogate codes are passed through.
char32_t decode(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t lowest = 0;
    if (lead < 0x80U) {
        ++at;
        return lead;
    }
    if (lead >= 0xC2U && lead <= 0xDFU) {
        length = 2;
        code = lead & 0x1FU;
        lowest = 0x80;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
        length = 3;
        code = lead & 0x0FU;
        lowest = 0x800;
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
        length = 4;
        code = lead & 0x07U;
        lowest = 0x10000;
    } else {
        ++at;
        return malformed;
    }
    if (text.size() - at < length) {
        ++at;
        return malformed;
    }
    for (std::size_t next = 1; next < length; ++next) {
        const auto byte = static_cast<unsigned char>(text[at + next]);
        if (!is_continuation(byte)) {
            ++at;
            return malformed;
        }
        code = (code << 6U) | (byte & 0x3FU);
    }
    if (code < lowest || code > 0x10FFFF) {
        ++at;
        return malformed;
    }
    at += length;
    return code;
}

void append_utf16(char32_t code, std::u16string& wide) {
    if (code >= 0x10000) {
        code -= 0x10000;
        wide.push_back(static_cast<char16_t>(0xD800 + (code >> 10U)));
        wide.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FFU)));
    } else {
        wide.push_back(static_cast<char16_t>(code));
    }
}

void append_utf8(char32_t code, std::string& text) {
    const auto byte = [&text](std::uint32_t value) { text.push_back(static_cast<char>(value)); };
    if (code < 0x80) {
        byte(code);
    } else if (code < 0x800) {
        byte(0xC0U | (code >> 6U));
        byte(0x80U | (code & 0x3FU));
    } else if (code < 0x10000) {
        byte(0xE0U | (code >> 12U));
        byte(0x80U | ((code >> 6U) & 0x3FU));
        byte(0x80U | (code & 0x3FU));
    } else {
        byte(0xF0U | (code >> 18U));
        byte(0x80U | ((code >> 12U) & 0x3FU));
        byte(0x80U | ((code >> 6U) & 0x3FU));
        byte(0x80U | (code & 0x3FU));
    }
}

}  // namespace

std::size_t ascii_prefix(std::string_view text, std::size_t limit) {
    limit = std::min(limit, text.size());
    std::size_t at = 0;
    while (at < limit && static_cast<unsigned char>(text[at]) < 0x80U) {
        ++at;
    }
    return at;
}

std::size_t character_count(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        decode(text, at);
    }
    return count;
}

std::size_t utf8_sequence_length(std::string_view text) {
    std::size_t at = 0;
    if (text.empty()) {
        return 0;
    }
    const char32_t code = decode(text, at);
    return code == malformed || is_high_surrogate(code) || is_low_surrogate(code) ? 0 : at;
}

std::size_t bytes_of_characters(std::string_view text, std::size_t characters) {
    if (text.size() <= characters) {
        return text.size();  // no character is less than a byte
    }
    std::size_t at = 0;
    while (characters > 0 && at < text.size()) {
        // A run of ASCII bytes is as many characters, read without decoding: names are mostly
        // ASCII, and decoding each byte cost a fifth of a 100,000-clip run.
        const std::size_t run = ascii_prefix(text.substr(at), characters);
        at += run;
        characters -= run;
        if (characters > 0 && at < text.size()) {
            decode(text, at);
            --characters;
        }
    }
    return at;
}

std::size_t bytes_of_whole_characters(std::string_view text, std::size_t capacity) {
    if (text.size() <= capacity) {
        return text.size();
    }
    std::size_t at = 0;
    while (at < text.size() && at < capacity) {
        at += ascii_prefix(text.substr(at), capacity - at);
        if (at == text.size() || at == capacity) {
            break;
        }
        std::size_t next = at;
        decode(text, next);
        if (next > capacity) {
            break;
        }
        at = next;
    }
    return at;
}

std::string_view columns(std::string_view text, std::size_t first, std::size_t count) {
    const std::string_view rest = text.substr(bytes_of_characters(text, first));
    return rest.substr(0, bytes_of_characters(rest, count));
}

bool to_utf16(std::string_view text, std::u16string& wide) {
    wide.clear();
    bool after_high_surrogate = false;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = decode(text, at);
        // Two halves written one after the other would be a second spelling of one character.
        if (code == malformed || (after_high_surrogate && is_low_surrogate(code))) {
            return false;
        }
        after_high_surrogate = is_high_surrogate(code);
        append_utf16(code, wide);
    }
    return true;
}

std::string to_utf8(std::u16string_view wide) {
    std::string text;
    text.reserve(wide.size());
    for (std::size_t at = 0; at < wide.size(); ++at) {
        char32_t code = wide[at];
        if (is_high_surrogate(code) && at + 1 < wide.size() && is_low_surrogate(wide[at + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10U) + (wide[at + 1] - 0xDC00);
            ++at;
        }
        append_utf8(code, text);
    }
    return text;
}

std::u16string to_utf16_for_display(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = decode(text, at);
        append_utf16(code == malformed ? replacement_character : code, wide);
    }
    return wide;
}

}  // namespace lineio::unicode
