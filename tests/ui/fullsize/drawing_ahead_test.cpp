// Drawing the fitted view while the photo is decoded gives the pixels of drawing it afterwards.
#include "ui/fullsize/drawing_ahead.h"

#include "image/jpeg_codec.h"
#include "image/mapping_table.h"
#include "platform/errors.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "ui/fullsize/view_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace galerion::ui {
namespace {

TEST(DrawingAhead, EqualsDrawingAfterTheDecodeForEveryFilterAndSize) {
    test::TTempFolder folder;
    const std::string photo = folder / "photo.jpg";
    test::WriteJpeg(photo, 640, 480);
    const TColor32 background = Color32(240, 240, 240);
    const std::pair<int, int> views[] = {{200, 150}, {121, 300}, {1000, 900}, {2, 2}};
    for (int filter = sfNearest; filter <= sfMitchell; ++filter)
        for (const auto& [w, h] : views) {
            TBitmap32 picture;
            picture.StretchFilter = static_cast<TStretchFilter>(filter);
            TFittedDrawing ahead;
            ahead.ViewWidth = w;
            ahead.ViewHeight = h;
            ahead.Background = background;
            LoadPictureDrawingFitted(picture, photo, ahead);

            TBitmap32 after;
            after.SetSize(w, h);
            const TRect rect = FittedPictureRect(w - 1, h - 1, 640, 480);
            DrawPictureView(picture, after, rect, background);
            ASSERT_EQ(ahead.View.Width(), w);
            ASSERT_EQ(ahead.View.Height(), h);
            EXPECT_EQ(ahead.PictureRect.Bottom, rect.Bottom);
            EXPECT_EQ(std::memcmp(ahead.View.Bits(), after.Bits(), after.PixelCount() * 4), 0)
                << "filter " << filter << " view " << w << "x" << h;
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
    EXPECT_THROW(LoadPictureDrawingFitted(picture, broken, ahead), Error);
    EXPECT_THROW(LoadPictureDrawingFitted(picture, folder / "missing.jpg", ahead), Error);
}

// The rows a band waits for cover every row its drawing reads.
TEST(DrawingAhead, WaitsForEveryRowADrawnRowReads) {
    const std::pair<int, int> extents[] = {{4000, 853}, {480, 149}, {480, 899}, {7, 3}, {3, 7}};
    for (int filter = sfLinear; filter <= sfMitchell; ++filter)
        for (const auto& [n, m] : extents) {
            const TMappingTable table =
                BuildMappingTable(n, m, static_cast<TStretchFilter>(filter));
            for (int j = 0; j < m; ++j)
                for (const TClusterEntry& e : table[static_cast<std::size_t>(j)])
                    ASSERT_LE(e.Position,
                              LastSourceRowNeeded(j, n, m, static_cast<TStretchFilter>(filter)))
                        << filter << " " << n << "->" << m << " row " << j;
        }
    // Nearest reads Round(j * (n - 1) / (m - 1)).
    for (int j = 0; j < 853; ++j)
        ASSERT_LE(static_cast<int>(std::lround(j * 3999.0 / 852)),
                  LastSourceRowNeeded(j, 4000, 853, sfNearest));
}

}  // namespace
}  // namespace galerion::ui
