#include "platform/text.h"

#include <cstdint>

namespace galerion {

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string EscapeControlCharacters(std::string_view text, bool keepLineBreaks) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += kHex[code >> 4];
            out += kHex[code & 15];
        } else if ((c < 0x20 || c == 0x7F) && !(keepLineBreaks && c == '\n')) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
    const size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t point = 0, least = 0;
    if (lead < 0x80)
        length = 1, point = lead;
    else if ((lead & 0xE0) == 0xC0)
        length = 2, point = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, point = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, point = lead & 0x07, least = 0x10000;
    else
        return std::nullopt;
    if (text.size() - at < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return std::nullopt;
        point = point << 6 | (byte(at + i) & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return std::nullopt;
    at += length;
    return point;
}

size_t FirstUnstorableByte(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        if (text[at] == '\0' || !NextCodePoint(text, at)) return start;
    }
    return std::string_view::npos;
}

std::u32string FoldedCase(std::string_view text) {
    std::u32string folded;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        char32_t c = NextCodePoint(text, at).value_or(0xFFFD);
        if (at == start) ++at;
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
            (c >= 0x391 && c <= 0x3AB) || (c >= 0x410 && c <= 0x42F))
            c += 0x20;
        else if (c >= 0x400 && c <= 0x40F)
            c += 0x50;
        folded += c;
    }
    return folded;
}

}  // namespace galerion
