#include "image/bitmap32.h"

#include "image_test_support.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

using test::BitmapOf;

TEST(Bitmap32Test, ChannelsSitFromAlphaDownToBlue) {
    const TColor32 c = Color32(0x12, 0x34, 0x56, 0x78);
    EXPECT_EQ(c, 0x78123456u);
    EXPECT_EQ(AlphaOf(c), 0x78);
    EXPECT_EQ(RedOf(c), 0x12);
    EXPECT_EQ(GreenOf(c), 0x34);
    EXPECT_EQ(BlueOf(c), 0x56);
}

TEST(Bitmap32Test, SizeRules) {
    TBitmap32 bitmap = BitmapOf({{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(bitmap.ScanLine(1), bitmap.Bits() + 3) << "rows follow one another without gaps";

    bitmap.SetSize(3, 2);  // same size keeps the pixels
    EXPECT_EQ(bitmap.Pixel(2, 1), 6u);

    bitmap.SetSize(2, 2);  // a new size, even a smaller one in the same memory, clears them
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(bitmap.Pixel(x, y), 0u);

    bitmap.SetSize(5, 0);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    bitmap.SetSize(-1, 4);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(Bitmap32Test, ReusesItsMemoryWhenCapacitySuffices) {
    TBitmap32 bitmap;
    bitmap.SetSize(100, 100);
    const TColor32* before = bitmap.Bits();
    bitmap.SetSize(50, 120);
    EXPECT_EQ(bitmap.Bits(), before);
}

TEST(Bitmap32Test, ImpossibleSizeRaisesAndLeavesAUsableEmptyRaster) {
    TBitmap32 bitmap = BitmapOf({{1, 2}});
    EXPECT_THROW(bitmap.SetSize(2147483647, 2147483647), ImageError);
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(2, 2);
    EXPECT_EQ(bitmap.Pixel(1, 1), 0u);
}

TEST(Bitmap32Test, DefaultsAndCopies) {
    TBitmap32 bitmap = BitmapOf({{7, 8}});
    EXPECT_EQ(bitmap.DrawMode, dmOpaque);
    EXPECT_EQ(bitmap.MasterAlpha, 255);
    EXPECT_EQ(bitmap.StretchFilter, sfNearest);
    EXPECT_EQ(bitmap.OuterColor, 0u);
    bitmap.OuterColor = 0xFF00FF00u;
    bitmap.StretchFilter = sfMitchell;
    EXPECT_EQ(bitmap.PixelOrOuter(-1, 0), 0xFF00FF00u);
    EXPECT_EQ(bitmap.PixelOrOuter(1, 0), 8u);

    const TBitmap32 copy = bitmap;
    bitmap.SetPixel(0, 0, 99);
    EXPECT_EQ(copy.Pixel(0, 0), 7u);
    EXPECT_EQ(copy.StretchFilter, sfMitchell);
    EXPECT_EQ(copy.OuterColor, 0xFF00FF00u);
}

}  // namespace
}  // namespace galerion
