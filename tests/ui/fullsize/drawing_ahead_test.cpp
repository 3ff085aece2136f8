// Turning and drawing the fitted view while the photo is decoded gives the pixels of doing it
// afterwards.
#include "ui/fullsize/drawing_ahead.h"

#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "platform/errors.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "ui/fullsize/view_drawing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace galerion::ui {
namespace {

bool SamePixels(const TBitmap32& a, const TBitmap32& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.Bits(), b.Bits(), a.PixelCount() * sizeof(TColor32)) == 0;
}

TEST(DrawingAhead, EqualsTurningAndDrawingAfterTheDecode) {
    // Every filter, every orientation code and views that reduce, enlarge (the bilinear path,
    // which is drawn afterwards when transposed), fit exactly (a copy) or are tiny.
    test::TTempFolder folder;
    const std::string photo = folder / "photo.jpg";
    test::WriteJpeg(photo, 640, 480);
    const TColor32 background = Color32(240, 240, 240);
    const std::pair<int, int> views[] = {{200, 150}, {121, 300}, {1000, 900}, {641, 481}, {2, 2}};
    for (int filter = sfNearest; filter <= sfMitchell; ++filter)
        for (int code : {1, 2, 3, 4, -1, -2, -3, -4, 0, -7})
            for (const auto& [w, h] : views) {
                TBitmap32 picture;
                picture.StretchFilter = static_cast<TStretchFilter>(filter);
                TFittedDrawing ahead;
                ahead.ViewWidth = w;
                ahead.ViewHeight = h;
                ahead.Background = background;
                LoadPictureDrawingFitted(picture, photo, code, ahead);

                TBitmap32 turned;
                turned.StretchFilter = picture.StretchFilter;
                LoadPicture(turned, photo);
                ApplyOrientation(turned, code);
                TBitmap32 after;
                after.SetSize(w, h);
                const TRect rect = FittedPictureRect(w - 1, h - 1, turned.Width(), turned.Height());
                DrawPictureView(turned, after, rect, background);
                const std::string what = "filter " + std::to_string(filter) + " code " +
                                         std::to_string(code) + " view " + std::to_string(w) + "x" +
                                         std::to_string(h);
                ASSERT_TRUE(SamePixels(picture, turned)) << what;
                EXPECT_EQ(ahead.PictureRect.Bottom, rect.Bottom) << what;
                EXPECT_EQ(ahead.PictureRect.Right, rect.Right) << what;
                EXPECT_TRUE(SamePixels(ahead.View, after)) << what;
            }
}

TEST(DrawingAhead, DecoderErrorsArriveAsFromTheDecoder) {
    test::TTempFolder folder;
    const std::string broken = folder / "broken.jpg";
    test::WriteText(broken, "\xFF\xD8\xFF\xE0 truncated");
    TBitmap32 picture;
    TFittedDrawing ahead;
    ahead.ViewWidth = 100;
    ahead.ViewHeight = 80;
    EXPECT_THROW(LoadPictureDrawingFitted(picture, broken, 2, ahead), Error);
    EXPECT_THROW(LoadPictureDrawingFitted(picture, folder / "missing.jpg", 1, ahead), Error);
}

}  // namespace
}  // namespace galerion::ui
