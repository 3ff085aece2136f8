#include "platform/text.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

TEST(Text, CaseChangesTouchOnlyAsciiLetters) {
    EXPECT_EQ(AsciiLower("IMG_01.JPG \xC3\x84"), "img_01.jpg \xC3\x84");
    EXPECT_EQ(AsciiUpper("tmp_img.jpg"), "TMP_IMG.JPG");
}

TEST(Text, TrimTakesOnlyTheListedBlanks) {
    EXPECT_EQ(Trim("  \ta b\t "), "a b");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim("\r\nx\r\n"), "\r\nx\r\n");
    EXPECT_EQ(Trim("\r\nx \r\n", " \t\r\n"), "x");
}

}  // namespace
}  // namespace galerion
