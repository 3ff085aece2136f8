// Loading a photo turned in one go gives the pixels of loading it and turning it after.
#include "image/oriented_load.h"

#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "platform/errors.h"
#include "support/files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace galerion {
namespace {

bool SamePixels(const TBitmap32& a, const TBitmap32& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.Bits(), b.Bits(), a.PixelCount() * sizeof(TColor32)) == 0;
}

TEST(OrientedLoad, EqualsLoadingThenTurningForEveryCode) {
    test::TTempFolder folder;
    // Sides that are no multiple of the blocks and tiles, so the last ones are partial.
    const std::string photo = folder / "photo.jpg";
    test::WriteJpeg(photo, 101, 75);
    TBitmap32 turned;  // one raster for all codes: its spare buffer is used again and again
    for (int code : {1, 2, 3, 4, -1, -2, -3, -4, 0, 7, -7, INT_MIN, 2, 2}) {
        TBitmap32 expected;
        LoadPicture(expected, photo);
        ApplyOrientation(expected, code);
        LoadPictureOriented(turned, photo, code);
        EXPECT_TRUE(SamePixels(turned, expected)) << "code " << code;
    }
}

TEST(OrientedLoad, DecoderErrorsArriveAsFromTheDecoder) {
    test::TTempFolder folder;
    const std::string broken = folder / "broken.jpg";
    test::WriteText(broken, "\xFF\xD8\xFF\xE0 truncated");
    TBitmap32 picture;
    EXPECT_THROW(LoadPictureOriented(picture, broken, 2), Error);
    EXPECT_THROW(LoadPictureOriented(picture, folder / "missing.jpg", 2), Error);
}

}  // namespace
}  // namespace galerion
