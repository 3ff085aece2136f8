#pragma once
// Small text helpers shared by every layer.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace galerion {

// Case changes touch only A-Z and a-z; every other byte (UTF-8 included) stays as it is.
std::string AsciiLower(std::string text);
std::string AsciiUpper(std::string text);

// The text with every control character (C0, DEL, and C1 spelt in UTF-8) written as \xHH
// (C1: \u00HH), so that a name cannot steer a terminal; line breaks stay with `keepLineBreaks`.
std::string EscapeControlCharacters(std::string_view text, bool keepLineBreaks = false);

// The code point at `at` of valid UTF-8, advancing `at`; nullopt (`at` unchanged) for bytes
// that are no UTF-8.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& at);

// The first byte of the text that is NUL or not part of valid UTF-8 (no database stores it),
// or npos.
size_t FirstUnstorableByte(std::string_view text);

// Letter case folded for comparisons: ASCII, Latin-1, Greek and Cyrillic capitals; bytes that
// are no UTF-8 become U+FFFD.
std::u32string FoldedCase(std::string_view text);

// The text without the leading and trailing characters listed in `blanks`.
std::string_view Trim(std::string_view text, std::string_view blanks = " \t");

}  // namespace galerion
