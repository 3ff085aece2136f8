#include "image/heif_codec.h"

#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "image_test_support.h"
#include "platform/errors.h"
#include "support/photos.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace galerion {
namespace {

using test::PatternBitmap;
using test::SmoothGradient;
using test::TTempFolder;

// Mean absolute difference per channel.
double MeanError(const TBitmap32& a, const TBitmap32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return 1e9;
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const TColor32 p = a.Pixel(x, y), q = b.Pixel(x, y);
            sum += std::abs(RedOf(p) - RedOf(q)) + std::abs(GreenOf(p) - GreenOf(q)) +
                   std::abs(BlueOf(p) - BlueOf(q));
        }
    return sum / (3.0 * static_cast<double>(a.PixelCount()));
}

// A little-endian TIFF block with one IFD entry: Orientation = `orientation`.
std::vector<unsigned char> ExifWithOrientation(int orientation) {
    return {'I',
            'I',
            42,
            0,
            8,
            0,
            0,
            0,  // header, IFD at 8
            1,
            0,  // one entry
            0x12,
            0x01,
            3,
            0,
            1,
            0,
            0,
            0,  // tag 0x0112, SHORT, count 1
            static_cast<unsigned char>(orientation),
            0,
            0,
            0,
            0,
            0,
            0,
            0};  // no next IFD
}

class Heif : public testing::Test {
protected:
    TTempFolder folder;
    const TBitmap32 photo = SmoothGradient(64, 48, 120);

    std::string Write(const std::string& name, const THeifFixture& how = {}) {
        const std::string path = folder / name;
        WriteHeifFixture(photo, path, how);
        return path;
    }
};

TEST_F(Heif, IsKnownByItsFileTypeBox) {
    const std::string heic = Write("a.HEIC");
    const std::string jpeg = folder / "b.jpg";
    SaveJpeg(photo, 90, jpeg);
    const std::string renamed = folder / "c.heic";
    std::filesystem::copy_file(jpeg, renamed);
    EXPECT_TRUE(IsHeifFile(heic));
    EXPECT_FALSE(IsHeifFile(jpeg));
    EXPECT_FALSE(IsHeifFile(renamed));  // the content decides, not the name
    EXPECT_FALSE(IsHeifFile(folder / "missing.heic"));
    EXPECT_FALSE(IsHeifFile(folder.Path()));
    TBitmap32 decoded;
    LoadPicture(decoded, renamed);
    EXPECT_EQ(decoded.Width(), 64);
}

TEST_F(Heif, DecodesThePrimaryImage) {
    const std::string path = Write("a.heic");
    EXPECT_EQ(ReadJpegSize(path).Width, 64);
    EXPECT_EQ(ReadJpegSize(path).Height, 48);
    TBitmap32 decoded;
    LoadPicture(decoded, path);
    EXPECT_LT(MeanError(decoded, photo), 3.0);
    EXPECT_EQ(AlphaOf(decoded.Pixel(5, 5)), 255);
}

// The container's turn and mirror (irot, imir) are applied as the EXIF code of the same number
// would be, and the size read without decoding says the same.
TEST_F(Heif, ContainerTurnAndMirrorAreApplied) {
    const struct {
        int exif, code;
    } cases[] = {{1, 1}, {2, -1}, {3, 3}, {4, -3}, {5, -2}, {6, 2}, {7, -4}, {8, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exif);
        const std::string path = Write("turned" + std::to_string(c.exif) + ".heic",
                                       {.Orientation = c.exif, .Exif = {}, .Icc = {}});
        TBitmap32 expected = photo;
        ApplyOrientation(expected, c.code);
        TBitmap32 decoded;
        LoadPicture(decoded, path);
        EXPECT_LT(MeanError(decoded, expected), 3.0);
        EXPECT_EQ(ReadJpegSize(path).Width, expected.Width());
        EXPECT_EQ(ReadJpegSize(path).Height, expected.Height());
    }
}

TEST_F(Heif, ExifOrientationIsNotAppliedAndItsBlockIsGiven) {
    const std::vector<unsigned char> exif = ExifWithOrientation(6);
    const std::string path = Write("exif.heic", {.Orientation = 3, .Exif = exif, .Icc = {}});
    TBitmap32 expected = photo;
    ApplyOrientation(expected, 3);  // the container's half turn only
    TBitmap32 decoded;
    LoadPicture(decoded, path);
    EXPECT_LT(MeanError(decoded, expected), 3.0);
    const THeifMetadata metadata = HeifMetadataBlocks(path);
    EXPECT_EQ(metadata.Exif, exif);
    EXPECT_EQ(metadata.Xmp, "");
    EXPECT_TRUE(HeifMetadataBlocks(Write("none.heic")).Exif.empty());
}

TEST_F(Heif, IccProfileConvertsOrIsKept) {
    TBitmap32 inAdobe = photo;
    const TIccProfile adobe = AdobeRgbProfile();
    ConvertFromSrgb(inAdobe, adobe);
    const std::string path = folder / "adobe.heic";
    WriteHeifFixture(inAdobe, path, {.Orientation = 1, .Exif = {}, .Icc = adobe});
    TBitmap32 decoded;
    TPictureColour colour = LoadPicture(decoded, path, {TColourProfiles::ToSrgb, nullptr});
    EXPECT_EQ(colour.Profile, adobe);
    EXPECT_LT(MeanError(decoded, photo), 3.0);
    colour = LoadPicture(decoded, path, {TColourProfiles::Keep, nullptr});
    EXPECT_EQ(colour.Profile, adobe);
    EXPECT_LT(MeanError(decoded, inAdobe), 3.0);
}

TEST_F(Heif, ChosenRowsAreThoseOfTheWholeDecode) {
    const std::string path = Write("rows.heic", {.Orientation = 6, .Exif = {}, .Icc = {}});
    TBitmap32 whole, rows;
    LoadPicture(whole, path);
    const std::vector<int> chosen = {0, 10, 10, 63};
    LoadPictureRows(rows, path, [&](int width, int height) {
        EXPECT_EQ(width, 48);
        EXPECT_EQ(height, 64);
        return chosen;
    });
    ASSERT_EQ(rows.Height(), 4);
    for (std::size_t k = 0; k < chosen.size(); ++k)
        EXPECT_TRUE(std::equal(rows.ScanLine(static_cast<int>(k)),
                               rows.ScanLine(static_cast<int>(k)) + rows.Width(),
                               whole.ScanLine(chosen[k])));
}

TEST_F(Heif, BrokenFileIsAnImageError) {
    const std::string good = Write("good.heic");
    const auto size = std::filesystem::file_size(good);
    const struct {
        const char* name;
        std::uintmax_t keep;
    } cases[] = {{"cut in the image data", size - 200}, {"cut in the boxes", 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder / "broken.heic";
        std::filesystem::copy_file(good, path, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::resize_file(path, c.keep);
        TBitmap32 decoded;
        EXPECT_THROW(LoadPicture(decoded, path), ImageError);
    }
}

}  // namespace
}  // namespace galerion
