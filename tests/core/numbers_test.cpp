#include "core/numbers.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

TEST(Numbers, RoundHalfToEven) {
    EXPECT_EQ(Round(132.5), 132);
    EXPECT_EQ(Round(133.5), 134);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(2.4999999L), 2);
    EXPECT_EQ(Round(0.5f), 0);
}

TEST(Numbers, StrToIntTakesDecimalIntegersOnly) {
    EXPECT_EQ(StrToInt("800"), 800);
    EXPECT_EQ(StrToInt(" -12 "), -12);
    EXPECT_EQ(StrToInt("+7"), 7);
    for (const char* bad : {"", " ", "abc", "12px", "1.5", "99999999999", "+-5", "0x10"})
        EXPECT_THROW(StrToInt(bad), ConvertError) << bad;
}

}  // namespace
}  // namespace galerion
