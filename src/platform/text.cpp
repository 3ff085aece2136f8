#include "platform/text.h"

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

size_t FirstUnstorableByte(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) return i;
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned codePoint = 0, smallest = 0;
        if ((c & 0xE0) == 0xC0)
            length = 2, codePoint = c & 0x1F, smallest = 0x80;
        else if ((c & 0xF0) == 0xE0)
            length = 3, codePoint = c & 0x0F, smallest = 0x800;
        else if ((c & 0xF8) == 0xF0)
            length = 4, codePoint = c & 0x07, smallest = 0x10000;
        else
            return i;
        if (text.size() - i < length) return i;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return i;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < smallest || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return i;
        i += length;
    }
    return std::string_view::npos;
}

}  // namespace galerion
