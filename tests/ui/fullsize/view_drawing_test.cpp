// The full-size view's pixels: where the picture lies, the crop frame's bevel, and drawing only
// the visible part of a large scaled picture.
#include "ui/fullsize/view_drawing.h"

#include <gtest/gtest.h>

#include <random>

namespace galerion::ui {
namespace {

bool SameRect(TRect a, TRect b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

TEST(FittedPicture, FitsKeepingProportionsCentred) {
    struct Case {
        int cw, ch, w, h;
        TRect expected;
    };
    const Case cases[] = {
        {531, 202, 1000, 800, {139, 0, 391, 202}},  // 1000 * 0.2525 = 252.5 -> 252
        {400, 400, 1000, 500, {0, 100, 400, 300}},  // wide picture: bars above and below
        {300, 200, 30, 20, {0, 0, 300, 200}},       // enlarged to fill
        {101, 50, 2, 1, {0, 0, 100, 50}},           // a >= b: Round(2 * 50) = 100, (101-100) div 2
        {10, 10, 0, 0, {0, 0, 0, 0}},               // no picture
    };
    for (const Case& c : cases)
        EXPECT_TRUE(SameRect(FittedPictureRect(c.cw, c.ch, c.w, c.h), c.expected))
            << c.cw << "x" << c.ch << " " << c.w << "x" << c.h;
}

TEST(ScaledPicture, RoundsTheSizeAndShiftsByTheScrollPosition) {
    EXPECT_TRUE(SameRect(ScaledPictureRect(1000, 800, 2.5, 0, 0), {0, 0, 2500, 2000}));
    EXPECT_TRUE(SameRect(ScaledPictureRect(5, 3, 0.5, 0, 0), {0, 0, 2, 2}));  // 2.5 -> 2, 1.5 -> 2
    EXPECT_TRUE(SameRect(ScaledPictureRect(1000, 800, 4, 300, 20), {-300, -20, 3700, 3180}));
    EXPECT_TRUE(SameRect(ScaledPictureRect(1000, 800, 0.001, 0, 0), {0, 0, 1, 1}));
}

TEST(PictureMapping, MapsCropLocationsOntoTheDrawnPicture) {
    const TPictureMapping mapping({139, 0, 391, 202}, 1000, 800);
    const TRect r = mapping.ViewRect({100, 80, 900, 720});
    EXPECT_TRUE(SameRect(r, {164, 20, 366, 182}))
        << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    EXPECT_FLOAT_EQ(mapping.ToPictureDx(252), 1000);
}

TBitmap32 Filled(int w, int h, TColor32 color) {
    TBitmap32 b;
    b.SetSize(w, h);
    std::fill(b.Bits(), b.Bits() + b.PixelCount(), color);
    return b;
}

TEST(CropBevel, FiveRingsOfWhiteAndBlackAtTheirAlphas) {
    EXPECT_EQ(BevelWhiteAlpha(35), 179);
    EXPECT_EQ(BevelBlackAlpha(35), 89);
    EXPECT_EQ(BevelWhiteAlpha(3), 15);
    EXPECT_EQ(BevelBlackAlpha(3), 7);
    EXPECT_EQ(BevelWhiteAlpha(60), 255);  // capped

    const TColor32 grey = Color32(128, 128, 128);
    TBitmap32 view = Filled(40, 40, grey);
    DrawRaisedBevel(view, {10, 10, 30, 30});
    auto level = [&](int x, int y) { return RedOf(view.Pixel(x, y)); };
    // Outermost ring: white at 179 on top and left, black at 89 on bottom and right.
    EXPECT_EQ(level(15, 10), 217);
    EXPECT_EQ(level(10, 15), 217);
    EXPECT_EQ(level(15, 29), 83);
    EXPECT_EQ(level(29, 15), 83);
    // Its far corners are black, the top-left one white.
    EXPECT_EQ(level(10, 10), 217);
    EXPECT_EQ(level(29, 10), 83);
    EXPECT_EQ(level(10, 29), 83);
    // Second ring (27: white 138, black 68), innermost ring (3: white 15, black 7).
    EXPECT_EQ(level(15, 11), 197);
    EXPECT_EQ(level(15, 28), 94);
    EXPECT_EQ(level(15, 14), 135);
    EXPECT_EQ(level(25, 25), 124);
    // Inside and outside the five rings nothing changes, alpha neither.
    EXPECT_EQ(view.Pixel(15, 15), grey);
    EXPECT_EQ(view.Pixel(9, 15), grey);
    EXPECT_EQ(view.Pixel(30, 30), grey);
    EXPECT_EQ(AlphaOf(view.Pixel(10, 10)), 255);
}

TEST(CropBevel, ThinFramesAndFramesOffTheViewAreSafe) {
    TBitmap32 view = Filled(8, 8, Color32(128, 128, 128));
    DrawRaisedBevel(view, {2, 2, 5, 5});        // 3 x 3: two rings
    DrawRaisedBevel(view, {-20, -20, 100, 3});  // mostly outside
    DrawRaisedBevel(view, {4, 4, 4, 9});        // empty
    EXPECT_EQ(RedOf(view.Pixel(3, 3)), 94);     // second ring's black corner over grey
}

TBitmap32 Noise(int w, int h) {
    std::mt19937 random(42);
    TBitmap32 b;
    b.SetSize(w, h);
    for (std::size_t i = 0; i < b.PixelCount(); ++i) b.Bits()[i] = random() | 0xFF000000u;
    return b;
}

// A part of the view computed alone equals the same part of the whole drawing, for every
// filter, enlarging and reducing, wherever the view lies.
TEST(VisiblePart, EqualsTheSamePixelsOfTheWholeDrawing) {
    TBitmap32 picture = Noise(61, 47);
    const TColor32 background = Color32(240, 240, 240);
    struct Case {
        double scale;
        int scrollX, scrollY, viewW, viewH;
    };
    const Case cases[] = {{4, 0, 0, 50, 40},     {4, 113, 77, 64, 48}, {4, 200, 150, 80, 60},
                          {2.37, 31, 9, 45, 33}, {0.6, 3, 2, 20, 15},  {3, 150, 120, 60, 60}};
    for (int filter = sfNearest; filter <= sfMitchell; ++filter) {
        picture.StretchFilter = static_cast<TStretchFilter>(filter);
        for (const Case& c : cases) {
            const TRect whole = ScaledPictureRect(61, 47, c.scale, 0, 0);
            TBitmap32 all;
            all.SetSize(whole.Right, whole.Bottom);
            DrawPictureView(picture, all, whole, background);
            TBitmap32 part;
            part.SetSize(c.viewW, c.viewH);
            DrawPictureView(picture, part, ScaledPictureRect(61, 47, c.scale, c.scrollX, c.scrollY),
                            background);
            int differences = 0;
            for (int y = 0; y < c.viewH; ++y)
                for (int x = 0; x < c.viewW; ++x) {
                    const int wx = x + c.scrollX, wy = y + c.scrollY;
                    const TColor32 expected =
                        wx < all.Width() && wy < all.Height() ? all.Pixel(wx, wy) : background;
                    differences += part.Pixel(x, y) != expected;
                }
            EXPECT_EQ(differences, 0) << "filter " << filter << " scale " << c.scale << " at "
                                      << c.scrollX << "," << c.scrollY;
        }
    }
}

TEST(VisiblePart, AHugeScaledPictureCostsOnlyTheView) {
    // 61 x 47 at scale 1000 would be a 61000 x 47000 drawing (11 GB); the view is 32 x 24.
    TBitmap32 picture = Noise(61, 47);
    picture.StretchFilter = sfLanczos;
    TBitmap32 view;
    view.SetSize(32, 24);
    DrawPictureView(picture, view, ScaledPictureRect(61, 47, 1000, 30500, 23500), 0xFF000000);
    EXPECT_EQ(AlphaOf(view.Pixel(31, 23)), 255);
}

}  // namespace
}  // namespace galerion::ui
