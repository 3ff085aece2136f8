#include "platform/text.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

TEST(Text, CaseChangesTouchOnlyAsciiLetters) {
    EXPECT_EQ(AsciiLower("IMG_01.JPG \xC3\x84"), "img_01.jpg \xC3\x84");
    EXPECT_EQ(AsciiUpper("tmp_img.jpg"), "TMP_IMG.JPG");
}

TEST(Text, ControlCharactersAreEscapedForTerminals) {
    EXPECT_EQ(EscapeControlCharacters("a\x1b]0;owned\x07"
                                      "b\n\x7f"),
              "a\\x1b]0;owned\\x07b\\x0a\\x7f");
    EXPECT_EQ(EscapeControlCharacters("two\nlines\r", true), "two\nlines\\x0d");
    EXPECT_EQ(EscapeControlCharacters("csi \xC2\x9B \xC3\xA9t\xC3\xA9 \xC2"),
              "csi \\u009b \xC3\xA9t\xC3\xA9 \xC2");  // C1 escaped, other UTF-8 kept
}

TEST(Text, TrimTakesOnlyTheListedBlanks) {
    EXPECT_EQ(Trim("  \ta b\t "), "a b");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim("\r\nx\r\n"), "\r\nx\r\n");
    EXPECT_EQ(Trim("\r\nx \r\n", " \t\r\n"), "x");
}

// What no database stores: NUL, stray or truncated sequences, overlong forms, surrogates.
TEST(Text, FirstUnstorableByteFindsWhatNoDatabaseStores) {
    const struct {
        std::string text;
        size_t at;
    } cases[] = {
        {"plain", std::string::npos},
        {"caf\xC3\xA9 \xF0\x9F\x93\xB7", std::string::npos},
        {std::string("a\0b", 3), 1},
        {"ab\xFF", 2},
        {"x\xC3", 1},             // cut short
        {"\xC0\xAF", 0},          // overlong '/'
        {"ok \xED\xA0\x80", 3},   // a surrogate
        {"\xF4\x90\x80\x80", 0},  // above U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(FirstUnstorableByte(c.text), c.at) << c.text;
}

TEST(Text, FoldedCaseTellsWordsApartOnlyByTheirLetters) {
    EXPECT_EQ(FoldedCase("\xC3\x9C"
                         "bersee \xCE\x91\xCE\xA9 \xD0\x96 Sea"),
              FoldedCase("\xC3\xBC"
                         "bersee \xCE\xB1\xCF\x89 \xD0\xB6 sea"));  // Ü ΑΩ Ж
    EXPECT_NE(FoldedCase("sea"), FoldedCase("see"));
    EXPECT_EQ(FoldedCase("a\xFF"), U"a\uFFFD");
}

}  // namespace
}  // namespace galerion
