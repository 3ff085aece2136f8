#pragma once
// Small text helpers shared by every layer.
#include <cstddef>
#include <string>
#include <string_view>

namespace galerion {

// Case changes touch only A-Z and a-z; every other byte (UTF-8 included) stays as it is.
std::string AsciiLower(std::string text);
std::string AsciiUpper(std::string text);

// The text with every control character (C0, DEL, and C1 spelt in UTF-8) written as \xHH
// (C1: \u00HH), so that a name cannot steer a terminal; line breaks stay with `keepLineBreaks`.
std::string EscapeControlCharacters(std::string_view text, bool keepLineBreaks = false);

// The first byte of the text that is NUL or not part of valid UTF-8 (no database stores it),
// or npos.
size_t FirstUnstorableByte(std::string_view text);

// The text without the leading and trailing characters listed in `blanks`.
std::string_view Trim(std::string_view text, std::string_view blanks = " \t");

}  // namespace galerion
