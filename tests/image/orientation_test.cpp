#include "image/orientation.h"

#include "image/turns.h"
#include "image_test_support.h"

#include <gtest/gtest.h>

#include <climits>

#include <string>

namespace galerion {
namespace {

using test::BitmapOf;
using test::RowsOf;

// Pixels named by letters, rows separated by '/'.
TBitmap32 FromText(const std::string& text) {
    TBitmap32 bitmap;
    int width = static_cast<int>(text.find('/'));
    if (width < 0) width = static_cast<int>(text.size());
    const int height = static_cast<int>((text.size() + 1) / (width + 1));
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, static_cast<TColor32>(text[y * (width + 1) + x]));
    return bitmap;
}

std::string ToText(const TBitmap32& bitmap) {
    std::string text;
    for (int y = 0; y < bitmap.Height(); ++y) {
        if (y > 0) text += '/';
        for (int x = 0; x < bitmap.Width(); ++x) text += static_cast<char>(bitmap.Pixel(x, y));
    }
    return text;
}

const char* const kPhoto = "abc/def";  // 3 x 2, no symmetry

TEST(TurnsTest, EveryOrientationCodeOnAnAsymmetricRaster) {
    const struct {
        int code;
        const char* shown;
    } cases[] = {
        {1, "abc/def"},  {2, "da/eb/fc"},  {3, "fed/cba"},  {4, "cf/be/ad"},
        {-1, "cba/fed"}, {-2, "ad/be/cf"}, {-3, "def/abc"}, {-4, "fc/eb/da"},
        {0, "abc/def"},  {5, "abc/def"},   {-7, "cba/fed"},
    };
    for (const auto& c : cases) {
        TBitmap32 bitmap = FromText(kPhoto);
        ApplyOrientation(bitmap, c.code);
        EXPECT_EQ(ToText(bitmap), c.shown) << "code " << c.code;
    }
}

TEST(TurnsTest, TurnsUndoEachOtherAndKeepAttributes) {
    TBitmap32 bitmap = test::PatternBitmap(67, 41);
    bitmap.StretchFilter = sfSpline;
    bitmap.MasterAlpha = 9;
    bitmap.DrawMode = dmBlend;
    bitmap.OuterColor = 5;
    const auto original = RowsOf(bitmap);

    for (int i = 0; i < 4; ++i) RotateClockwise(bitmap);
    EXPECT_EQ(RowsOf(bitmap), original);
    RotateClockwise(bitmap);
    EXPECT_EQ(bitmap.Width(), 41);
    RotateCounterClockwise(bitmap);
    EXPECT_EQ(RowsOf(bitmap), original);
    RotateHalfTurn(bitmap);
    RotateHalfTurn(bitmap);
    FlipHorizontal(bitmap);
    FlipHorizontal(bitmap);
    EXPECT_EQ(RowsOf(bitmap), original);
    EXPECT_EQ(bitmap.StretchFilter, sfSpline);
    EXPECT_EQ(bitmap.MasterAlpha, 9);
    EXPECT_EQ(bitmap.DrawMode, dmBlend);
    EXPECT_EQ(bitmap.OuterColor, 5u);
}

TEST(TurnsTest, QuarterTurnsAcrossTileEdges) {
    // Sizes that are not multiples of the cache tile, one pixel thin included.
    for (const auto& [w, h] : {std::pair{1, 1}, {1, 70}, {70, 1}, {33, 65}, {100, 31}}) {
        TBitmap32 bitmap = test::PatternBitmap(w, h, 3);
        const TBitmap32 source = bitmap;
        RotateClockwise(bitmap);
        ASSERT_EQ(bitmap.Width(), h);
        ASSERT_EQ(bitmap.Height(), w);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(bitmap.Pixel(h - 1 - y, x), source.Pixel(x, y));
        bitmap = source;
        RotateCounterClockwise(bitmap);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(bitmap.Pixel(y, w - 1 - x), source.Pixel(x, y));
    }
}

TEST(OrientationTest, NextOrientationTable) {
    const int codes[] = {1, 2, 3, 4, -1, -2, -3, -4};
    const struct {
        TTurnAction action;
        int next[8];
    } table[] = {
        {TTurnAction::Clockwise, {2, 3, 4, 1, -4, -1, -2, -3}},
        {TTurnAction::CounterClockwise, {4, 1, 2, 3, -2, -3, -4, -1}},
        {TTurnAction::HalfTurn, {3, 4, 1, 2, -3, -4, -1, -2}},
        {TTurnAction::Flip, {-1, -2, -3, -4, 1, 2, 3, 4}},
    };
    for (const auto& row : table)
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(NextOrientation(codes[k], row.action), row.next[k])
                << "code " << codes[k] << " action " << static_cast<int>(row.action);
}

TEST(OrientationTest, NextCodeShowsWhatTheTurnedRasterShows) {
    // The tile turns its raster by the action; reloading applies the new code to the photo.
    // Both must agree for every code, including ones only a stored row can hold.
    const TTurnAction actions[] = {TTurnAction::Clockwise, TTurnAction::CounterClockwise,
                                   TTurnAction::HalfTurn, TTurnAction::Flip};
    for (int code : {1, 2, 3, 4, -1, -2, -3, -4, 0, 7, -9}) {
        for (TTurnAction action : actions) {
            TBitmap32 turned = FromText(kPhoto);
            ApplyOrientation(turned, code);
            ApplyTurnAction(turned, action);
            TBitmap32 reloaded = FromText(kPhoto);
            const int next = NextOrientation(code, action);
            ApplyOrientation(reloaded, next);
            EXPECT_EQ(ToText(reloaded), ToText(turned)) << "code " << code << " -> " << next;
            EXPECT_TRUE(next != 0 && next >= -4 && next <= 4);
        }
    }
}

TEST(OrientationTest, CropFollowsTheTurn) {
    const struct {
        TTurnAction action;
        int x1, y1, x2, y2, width, height;
    } cases[] = {
        {TTurnAction::Clockwise, 230, 10, 280, 110, 300, 400},
        {TTurnAction::CounterClockwise, 20, 290, 70, 390, 300, 400},
        {TTurnAction::HalfTurn, 290, 230, 390, 280, 400, 300},
        {TTurnAction::Flip, 290, 20, 390, 70, 400, 300},
    };
    for (const auto& c : cases) {
        TPictureItem picture(nullptr);
        picture.CropX1 = 10, picture.CropY1 = 20, picture.CropX2 = 110, picture.CropY2 = 70;
        picture.PixelWidth = 400, picture.PixelHeight = 300;
        CropFollowTurn(picture, c.action);
        EXPECT_EQ((std::vector{picture.CropX1, picture.CropY1, picture.CropX2, picture.CropY2,
                               picture.PixelWidth, picture.PixelHeight}),
                  (std::vector{c.x1, c.y1, c.x2, c.y2, c.width, c.height}))
            << static_cast<int>(c.action);
    }
}

TEST(OrientationTest, CropFollowTurnWithoutCropOrReferenceSize) {
    TPictureItem noCrop(nullptr);
    noCrop.PixelWidth = 400, noCrop.PixelHeight = 300;
    noCrop.CropX1 = 5;  // one corner -1 is "no crop"
    CropFollowTurn(noCrop, TTurnAction::Clockwise);
    EXPECT_EQ(noCrop.PixelWidth, 400);
    EXPECT_EQ(noCrop.PixelHeight, 300);
    EXPECT_EQ(noCrop.CropX1, 5);

    for (const auto& [w, h] : {std::pair{-1, 300}, {400, 0}}) {
        TPictureItem unsized(nullptr);
        unsized.CropX1 = 1, unsized.CropY1 = 2, unsized.CropX2 = 3, unsized.CropY2 = 4;
        unsized.PixelWidth = w, unsized.PixelHeight = h;
        CropFollowTurn(unsized, TTurnAction::Flip);
        EXPECT_EQ((std::vector{unsized.CropX1, unsized.CropY1, unsized.CropX2, unsized.CropY2}),
                  (std::vector{-1, -1, -1, -1}));
        EXPECT_EQ(unsized.PixelWidth, w);
        EXPECT_EQ(unsized.PixelHeight, h);
    }
}

TEST(OrientationTest, StoredExtremesNeitherOverflowNorTurn) {
    TBitmap32 bitmap;
    bitmap.SetSize(3, 2);
    ApplyOrientation(bitmap, INT_MIN);  // a hand-made row: no turn, but mirrored
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(TurnOf(INT_MIN), 0);
    EXPECT_EQ(TurnOf(-3), 3);

    for (const TTurnAction action : {TTurnAction::Clockwise, TTurnAction::CounterClockwise,
                                     TTurnAction::HalfTurn, TTurnAction::Flip}) {
        TPictureItem p(nullptr);
        p.CropX1 = INT_MIN, p.CropY1 = INT_MIN, p.CropX2 = INT_MAX, p.CropY2 = INT_MAX;
        p.PixelWidth = 400, p.PixelHeight = 300;
        CropFollowTurn(p, action);
        EXPECT_EQ((std::vector{p.CropX1, p.CropY1, p.CropX2, p.CropY2}),
                  (std::vector{-1, -1, -1, -1}))
            << static_cast<int>(action);
    }
}

TEST(OrientationTest, CropStillCoversTheSamePixelsAfterEveryAction) {
    const TTurnAction actions[] = {TTurnAction::Clockwise, TTurnAction::CounterClockwise,
                                   TTurnAction::HalfTurn, TTurnAction::Flip};
    for (TTurnAction action : actions) {
        TBitmap32 bitmap = test::PatternBitmap(9, 6, 4);
        TPictureItem picture(nullptr);
        picture.CropX1 = 2, picture.CropY1 = 1, picture.CropX2 = 7, picture.CropY2 = 4;
        picture.PixelWidth = 9, picture.PixelHeight = 6;
        // The pixels inside the crop, as a multiset of values.
        auto inside = [](const TBitmap32& b, const TPictureItem& p) {
            std::vector<TColor32> values;
            for (int y = p.CropY1; y < p.CropY2; ++y)
                for (int x = p.CropX1; x < p.CropX2; ++x) values.push_back(b.Pixel(x, y));
            std::sort(values.begin(), values.end());
            return values;
        };
        const auto before = inside(bitmap, picture);
        ApplyTurnAction(bitmap, action);
        CropFollowTurn(picture, action);
        EXPECT_EQ(picture.PixelWidth, bitmap.Width());
        EXPECT_EQ(inside(bitmap, picture), before) << static_cast<int>(action);
    }
}

}  // namespace
}  // namespace galerion
