#include "image/crop.h"

#include "image_test_support.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace galerion {
namespace {

using test::BitmapOf;
using test::RowsOf;

TEST(CropTest, TakesExactlyTheRectanglesPixelsWhateverTheFilter) {
    for (TStretchFilter filter : {sfNearest, sfLinear, sfSpline, sfLanczos, sfMitchell}) {
        TBitmap32 row = BitmapOf({{10, 11, 12, 13}});
        CropBitmap(row, 0, 0, 4, 1, filter);
        EXPECT_EQ(RowsOf(row), (std::vector<std::vector<TColor32>>{{10, 11, 12, 13}}))
            << "all four columns, none stretched, filter " << filter;
        EXPECT_EQ(row.StretchFilter, filter);

        TBitmap32 grid = BitmapOf({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
        CropBitmap(grid, 1, 1, 3, 3, filter);
        EXPECT_EQ(RowsOf(grid), (std::vector<std::vector<TColor32>>{{6, 7}, {10, 11}}));
    }
}

TEST(CropTest, RectangleIsCutToTheRasterAndCornersMayComeEitherWay) {
    TBitmap32 grid = BitmapOf({{1, 2, 3}, {4, 5, 6}});
    CropBitmap(grid, 5, -3, 1, 1, sfLinear);
    EXPECT_EQ(RowsOf(grid), (std::vector<std::vector<TColor32>>{{2, 3}}));
}

TEST(CropTest, AnEmptyResultIsRefusedAndTheRasterKept) {
    const struct {
        int x1, y1, x2, y2;
    } cases[] = {{1, 0, 1, 2}, {0, 1, 3, 1}, {3, 0, 9, 2}, {-5, -5, 0, 0}};
    for (const auto& c : cases) {
        TBitmap32 grid = BitmapOf({{1, 2, 3}, {4, 5, 6}});
        EXPECT_THROW(CropBitmap(grid, c.x1, c.y1, c.x2, c.y2, sfNearest), RangeError);
        EXPECT_EQ(grid.Width(), 3);
        EXPECT_EQ(grid.Pixel(2, 1), 6u);
    }
}

}  // namespace
}  // namespace galerion
