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

}  // namespace
}  // namespace galerion
