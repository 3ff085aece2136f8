#include "image/stretch_draw.h"

#include "image/turns.h"
#include "image_test_support.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace galerion {
namespace {

using test::BitmapOf;
using test::Grey;
using test::PatternBitmap;
using test::RowsOf;

TBitmap32 Drawn(const TBitmap32& source, int width, int height) {
    TBitmap32 target;
    target.SetSize(width, height);
    StretchDraw(source, target, TRect{0, 0, width, height},
                TRect{0, 0, source.Width(), source.Height()});
    return target;
}

TBitmap32 WithFilter(TBitmap32 bitmap, TStretchFilter filter) {
    bitmap.StretchFilter = filter;
    return bitmap;
}

std::vector<int> RedRow(const TBitmap32& bitmap, int y = 0) {
    std::vector<int> reds;
    for (int x = 0; x < bitmap.Width(); ++x) reds.push_back(RedOf(bitmap.Pixel(x, y)));
    return reds;
}

TEST(StretchDrawTest, SameSizeIsACopyWhateverTheFilter) {
    const TBitmap32 source = PatternBitmap(13, 7);
    for (TStretchFilter filter : {sfNearest, sfLinear, sfSpline, sfLanczos, sfMitchell})
        EXPECT_EQ(RowsOf(Drawn(WithFilter(source, filter), 13, 7)), RowsOf(source)) << filter;
}

TEST(StretchDrawTest, NearestColumnPicks) {
    const TBitmap32 row = BitmapOf({{Grey(0), Grey(1), Grey(2), Grey(3), Grey(4)}});
    const struct {
        int sourceWidth, destWidth;
        std::vector<int> columns;
    } cases[] = {
        {4, 2, {0, 3}},
        {4, 1, {1}},  // (n - 1) div 2
        {5, 1, {2}},
        {3, 5, {0, 0, 1, 2, 2}},  // positions 0.5 and 1.5 round to the even column
        {5, 3, {0, 2, 4}},
        {2, 4, {0, 0, 1, 1}},
    };
    for (const auto& c : cases) {
        TBitmap32 source;
        source.SetSize(c.sourceWidth, 1);
        for (int x = 0; x < c.sourceWidth; ++x) source.SetPixel(x, 0, row.Pixel(x, 0));
        EXPECT_EQ(RedRow(Drawn(source, c.destWidth, 1)), c.columns)
            << c.sourceWidth << " -> " << c.destWidth;
    }
    (void)row;
}

TEST(StretchDrawTest, NearestRowsRepeatAsRuns) {
    const TBitmap32 source = BitmapOf({{Grey(10)}, {Grey(20)}});
    EXPECT_EQ(RowsOf(Drawn(source, 1, 4)),
              (std::vector<std::vector<TColor32>>{{Grey(10)}, {Grey(10)}, {Grey(20)}, {Grey(20)}}));
}

TEST(StretchDrawTest, LinearPathChoice) {
    // Both directions enlarged: bilinear, two truncating blends. Weights 171/85 at 1/3 and 2/3.
    const TBitmap32 ramp =
        WithFilter(BitmapOf({{Grey(0), Grey(255)}, {Grey(0), Grey(255)}}), sfLinear);
    EXPECT_EQ(RedRow(Drawn(ramp, 4, 3), 1), (std::vector<int>{0, 84, 170, 255}));

    // A 2 x 2 block with four different corners: the bilinear path and the separable tent give
    // different last bits, which tells the paths apart.
    const TBitmap32 corners =
        WithFilter(BitmapOf({{Grey(0), Grey(100)}, {Grey(200), Grey(255)}}), sfLinear);
    // Bilinear at (1/3, 1/3): left = (0*171 + 200*85) >> 8 = 66, right = (100*171 + 255*85) >> 8 =
    // 151, result = (66*171 + 151*85) >> 8 = 94.
    EXPECT_EQ(RedOf(Drawn(corners, 4, 4).Pixel(1, 1)), 94);
    // Only the width enlarged: separable tent. Row 0 of 2 -> 2 rows is weight 256 on row 0;
    // (0*171 + 100*85) * 256 >> 16 = 33.
    EXPECT_EQ(RedRow(Drawn(corners, 4, 2), 0), (std::vector<int>{0, 33, 66, 100}));
    // Reduction with the tent: 3 -> 2 weights (64, 128, 64) with repeated edges.
    const TBitmap32 three = WithFilter(BitmapOf({{Grey(0), Grey(100), Grey(200)}}), sfLinear);
    EXPECT_EQ(RedRow(Drawn(three, 2, 1)), (std::vector<int>{25, 175}));
}

TEST(StretchDrawTest, KeptDirectionIsStillFiltered) {
    // Only the height changes, yet the spline runs across the row too (weights 43, 170, 43).
    const TBitmap32 spike =
        WithFilter(BitmapOf({{Grey(0), Grey(255), Grey(0), Grey(0), Grey(0)}}), sfSpline);
    const TBitmap32 result = Drawn(spike, 5, 2);
    EXPECT_EQ(RedRow(result, 0), (std::vector<int>{42, 169, 42, 0, 0}));
    EXPECT_EQ(RedRow(result, 1), (std::vector<int>{42, 169, 42, 0, 0}));
}

TEST(StretchDrawTest, OnePixelWideSourceTakesThatColumnOnly) {
    const TBitmap32 column = WithFilter(BitmapOf({{Grey(50)}, {Grey(150)}}), sfLinear);
    const TBitmap32 result = Drawn(column, 3, 3);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(RedOf(result.Pixel(x, 0)), 50);
        EXPECT_EQ(RedOf(result.Pixel(x, 2)), 150);
    }
}

TEST(StretchDrawTest, HardEdgeStaysInRange) {
    // Black to white: Lanczos overshoots and is clamped; Mitchell too; the spline never needs it.
    TBitmap32 edge;
    edge.SetSize(8, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            edge.SetPixel(x, y, x < 4 ? Color32(0, 0, 0) : Color32(255, 255, 255));
    for (TStretchFilter filter : {sfLanczos, sfMitchell, sfSpline, sfLinear}) {
        for (const auto& [w, h] : {std::pair{21, 3}, {5, 2}, {3, 7}}) {
            const TBitmap32 result = Drawn(WithFilter(edge, filter), w, h);
            for (int x = 0; x < w; ++x) {
                const int red = RedOf(result.Pixel(x, 0));
                // Without the clamp an undershoot wraps to a bright value next to the dark side.
                if (x < w / 4) {
                    EXPECT_LE(red, 20) << filter << " at " << x << " of " << w;
                }
                if (x >= w - w / 4) {
                    EXPECT_GE(red, 235) << filter << " at " << x << " of " << w;
                }
                EXPECT_EQ(AlphaOf(result.Pixel(x, 0)), 255);
            }
        }
    }
    // The Lanczos ringing reaches the ends: exactly 0 and 255 after clamping.
    const TBitmap32 lanczos = Drawn(WithFilter(edge, sfLanczos), 21, 3);
    EXPECT_EQ(RedOf(lanczos.Pixel(0, 0)), 0);
    EXPECT_EQ(RedOf(lanczos.Pixel(20, 0)), 255);
}

TEST(StretchDrawTest, ConstantPictureStaysConstant) {
    TBitmap32 flat;
    flat.SetSize(31, 17);
    std::fill(flat.Bits(), flat.Bits() + flat.PixelCount(), Color32(90, 160, 230, 255));
    for (TStretchFilter filter : {sfNearest, sfLinear, sfSpline, sfLanczos, sfMitchell})
        for (const auto& [w, h] : {std::pair{7, 5}, {64, 40}, {31, 3}, {1, 1}}) {
            const TBitmap32 result = Drawn(WithFilter(flat, filter), w, h);
            for (std::size_t k = 0; k < result.PixelCount(); ++k)
                ASSERT_EQ(result.Bits()[k], Color32(90, 160, 230, 255))
                    << filter << " " << w << "x" << h;
        }
}

std::uint64_t Fingerprint(const TBitmap32& bitmap) {
    std::uint64_t hash = 1469598103934665603ull;
    for (std::size_t k = 0; k < bitmap.PixelCount(); ++k)
        hash = (hash ^ bitmap.Bits()[k]) * 1099511628211ull;
    return hash;
}

TEST(StretchDrawTest, GoldenFingerprints) {
    // Regression guard for the exact arithmetic of each path (any change of a last bit shows).
    const TBitmap32 source = PatternBitmap(29, 19, 7);
    const struct {
        TStretchFilter filter;
        int width, height;
        std::uint64_t fingerprint;
    } cases[] = {
        {sfNearest, 12, 8, 16046250455750249777ull},  {sfNearest, 50, 33, 13756400190742812698ull},
        {sfLinear, 12, 8, 3555322335062500576ull},    {sfLinear, 50, 33, 8856360333825110905ull},
        {sfLinear, 50, 8, 18092449304429935627ull},   {sfSpline, 12, 8, 10265276530786461533ull},
        {sfSpline, 50, 33, 16730138636843676104ull},  {sfLanczos, 12, 8, 8317782953947844390ull},
        {sfLanczos, 50, 33, 17748967874713835465ull}, {sfLanczos, 29, 5, 2992873977945297684ull},
        {sfMitchell, 12, 8, 13505880210376554464ull}, {sfMitchell, 50, 33, 11528347948625474400ull},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fingerprint(Drawn(WithFilter(source, c.filter), c.width, c.height)),
                  c.fingerprint)
            << "{" << c.filter << ", " << c.width << ", " << c.height << "}";
}

TEST(StretchDrawTest, LargeDrawsShareRowsWithoutChangingThem) {
    // Big enough to be split over threads; each row drawn alone (a one-row window) is far
    // below that and must give the same pixels.
    for (TStretchFilter filter : {sfLanczos, sfLinear}) {
        const TBitmap32 source = WithFilter(PatternBitmap(1500, 1000, 5), filter);
        const TBitmap32 whole = Drawn(source, 300, 190);
        for (int j = 0; j < 190; j += 7) {
            TBitmap32 row;
            row.SetSize(300, 1);
            StretchDraw(source, row, TRect{0, -j, 300, 190 - j}, TRect{0, 0, 1500, 1000});
            ASSERT_TRUE(std::equal(row.Bits(), row.Bits() + 300, whole.ScanLine(j))) << "row " << j;
        }
    }
}

// The source mirrored as a drawing in pieces reads it.
TBitmap32 Mirrored(TBitmap32 bitmap, TSourceReading reading) {
    if (reading.ReversedRows) RotateHalfTurn(bitmap);
    if (reading.ReversedColumns != reading.ReversedRows) FlipHorizontal(bitmap);
    return bitmap;
}

TEST(StretchDrawTest, DrawingInPiecesGivesTheWholeDrawing) {
    // Every path, opaque and blended, every reading, with the rectangle hanging over the top of
    // the target and leaving its bottom: uneven pieces in any order, some past the ends, give
    // StretchDraw's pixels of the mirrored source.
    const struct {
        TStretchFilter filter;
        int width, height;
    } cases[] = {{sfLanczos, 37, 23}, {sfLanczos, 37, 50}, {sfNearest, 37, 23},
                 {sfLinear, 90, 70},  {sfLinear, 37, 23},  {sfMitchell, 61, 40}};
    const TRect sourceRect{0, 0, 61, 40};
    for (const auto& c : cases)
        for (TDrawMode mode : {dmOpaque, dmBlend})
            for (int flips = 0; flips < 4; ++flips) {
                const TSourceReading reading{(flips & 1) != 0, (flips & 2) != 0};
                TBitmap32 source = WithFilter(PatternBitmap(61, 40, 3), c.filter);
                source.DrawMode = mode;
                source.MasterAlpha = 180;
                const TRect rect{-3, -5, c.width - 3, c.height - 5};
                TBitmap32 whole = PatternBitmap(40, 30, 9), pieces = whole;
                StretchDraw(Mirrored(source, reading), whole, rect, sourceRect);
                TStretchDrawing drawing(source, pieces, rect, sourceRect, reading);
                for (const auto& [first, end] : {std::pair{9, 14}, {-20, 2}, {14, 1000}, {2, 9}})
                    drawing.DrawRows(first, end);
                EXPECT_EQ(Fingerprint(pieces), Fingerprint(whole))
                    << c.filter << " " << c.width << "x" << c.height << " mode " << mode
                    << " flips " << flips;
            }
    TBitmap32 same = PatternBitmap(4, 4, 1);
    EXPECT_THROW(TStretchDrawing(same, same, TRect{0, 0, 2, 2}, TRect{0, 0, 4, 4}), RangeError);
}

TEST(StretchDrawTest, ARowReadsNoSourceRowBelowItsLastOne) {
    // Source rows below the last one a row reads are spoilt: that row's pixels stay the same.
    for (TStretchFilter filter : {sfNearest, sfLinear, sfLanczos, sfMitchell})
        for (const auto& size : {std::pair{20, 13}, std::pair{90, 70}})
            for (bool reversed : {false, true}) {
                const TBitmap32 source = WithFilter(PatternBitmap(61, 40, 4), filter);
                const TSourceReading reading{false, reversed};
                TBitmap32 whole;
                whole.SetSize(size.first, size.second);
                TStretchDrawing(source, whole, {0, 0, size.first, size.second}, {0, 0, 61, 40},
                                reading)
                    .DrawRows(0, size.second);
                for (int j = 0; j < size.second; j += 3) {
                    TStretchDrawing probe(source, whole, {0, 0, size.first, size.second},
                                          {0, 0, 61, 40}, reading);
                    TBitmap32 spoilt = source;
                    for (int y = probe.LastSourceRowRead(j) + 1; y < 40; ++y)
                        std::fill(spoilt.ScanLine(y), spoilt.ScanLine(y) + 61, 0xFF00FF00u);
                    TBitmap32 row;
                    row.SetSize(size.first, 1);
                    TStretchDrawing(spoilt, row, {0, -j, size.first, size.second - j},
                                    {0, 0, 61, 40}, reading)
                        .DrawRows(j, j + 1);
                    ASSERT_TRUE(std::equal(row.Bits(), row.Bits() + size.first, whole.ScanLine(j)))
                        << filter << " " << size.first << "x" << size.second << " reversed "
                        << reversed << " row " << j;
                }
            }
}

TEST(StretchDrawTest, OnlyPixelsInsideTheDestinationAreWritten) {
    const TBitmap32 source = WithFilter(PatternBitmap(40, 30, 2), sfLanczos);
    const TBitmap32 whole = Drawn(source, 20, 15);
    TBitmap32 window;
    window.SetSize(20, 15);
    std::fill(window.Bits(), window.Bits() + window.PixelCount(), 0xDEADBEEFu);
    // The rectangle hangs over the window's left and top edges and leaves its right and bottom.
    StretchDraw(source, window, TRect{-5, -4, 15, 11}, TRect{0, 0, 40, 30});
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x < 15 && y < 11;
            ASSERT_EQ(window.Pixel(x, y), inside ? whole.Pixel(x + 5, y + 4) : 0xDEADBEEFu)
                << x << "," << y;
        }
}

TEST(StretchDrawTest, DrawingARasterIntoItselfReadsTheOriginal) {
    for (TStretchFilter filter : {sfNearest, sfLanczos}) {
        TBitmap32 bitmap = WithFilter(BitmapOf({{Grey(1), Grey(2), Grey(3), Grey(4)}}), filter);
        StretchDraw(bitmap, bitmap, TRect{1, 0, 5, 1}, TRect{0, 0, 4, 1});  // shifted right by one
        EXPECT_EQ(RedRow(bitmap), (std::vector<int>{1, 1, 2, 3}));
    }
}

TEST(StretchDrawTest, BlendUsesAlphaTimesMasterAlpha) {
    TBitmap32 source = BitmapOf({{Color32(200, 100, 0, 255)}});
    source.DrawMode = dmBlend;
    const struct {
        int masterAlpha;
        TColor32 expected;
    } cases[] = {
        {255, Color32(200, 100, 0, 255)},
        {0, Color32(0, 0, 100, 255)},
        {51, Color32(40, 20, 80, 255)},  // a fifth of the way
    };
    for (const auto& c : cases) {
        source.MasterAlpha = c.masterAlpha;
        TBitmap32 target = BitmapOf({{Color32(0, 0, 100, 255), Color32(0, 0, 100, 255)}});
        StretchDraw(source, target, TRect{0, 0, 2, 1}, TRect{0, 0, 1, 1});
        EXPECT_EQ(target.Pixel(1, 0), c.expected) << c.masterAlpha;
    }
}

}  // namespace
}  // namespace galerion
