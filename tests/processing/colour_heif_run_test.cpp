#include "processing/processing_run.h"

#include "image/colour_profile.h"
#include "image/heif_codec.h"
#include "image/jpeg_codec.h"
#include "image/photo_metadata.h"
#include "processing/album_preparation.h"
#include "support/files.h"
#include "support/photos.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace galerion {
namespace {

using namespace test;
namespace fs = std::filesystem;

class ColourAndHeifRun : public testing::Test {
protected:
    TWizardFixture f;
    std::string album = f.root / "Trip";

    void SetUp() override { MakeFolder(album); }
    TPictureItem& Picture(const std::string& name) {
        TAlbumItem& a = *f.albums.AlbumAt(0);
        for (int i = 0; i < a.PictureCount(); ++i)
            if (fs::path(a.PictureAt(i)->OriginalFile).filename() == name) return *a.PictureAt(i);
        throw std::runtime_error("no picture " + name);
    }
};

TEST_F(ColourAndHeifRun, HeicPhotosBecomeJpegOutputsNamedJpg) {
    // The container turns it a quarter clockwise; its EXIF says the same, and must not count.
    const std::vector<unsigned char> exifOrientation6 = {
        'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    WriteHeifFixture(SmoothGradient(400, 300, 200), album + "/IMG_0042.HEIC",
                     {.Orientation = 6, .Exif = exifOrientation6, .Icc = {}});
    WriteHeifFixture(SmoothGradient(400, 300, 200), album + "/plain.heif", {});
    std::ofstream(album + "/broken.heic") << "\0\0\0\x18"
                                             "ftypheic\0\0\0\0mif1heic garbage";
    WriteJpeg(album + "/a.jpg", 400, 300);
    // Its artist comes from the EXIF block the container holds.
    std::vector<unsigned char> exifArtist = CopyrightExifPayload("Ann", "");
    exifArtist.erase(exifArtist.begin(), exifArtist.begin() + 6);  // "Exif\0\0"
    WriteHeifFixture(SmoothGradient(400, 300, 200), album + "/artist.heic",
                     {.Exif = exifArtist, .Icc = {}});
    f.PrepareAll({album});
    EXPECT_EQ(Picture("IMG_0042.HEIC").Orientation, 1);
    EXPECT_EQ(Picture("IMG_0042.HEIC").WebOriginal, "Trip/IMG_0042.HEIC");
    EXPECT_EQ(Picture("IMG_0042.HEIC").WebMedium, "Trip/ps_medium/m_img_0042.jpg");
    EXPECT_EQ(Picture("IMG_0042.HEIC").TempFile, album + "/tmp/tmp_img_0042.jpg");
    EXPECT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    const TJpegSize large = ReadJpegSize(album + "/ps_large/l_img_0042.jpg");
    EXPECT_EQ(large.Width, 300);  // turned once, by the container
    EXPECT_EQ(large.Height, 400);
    EXPECT_FALSE(IsHeifFile(album + "/ps_medium/m_img_0042.jpg"));
    EXPECT_EQ(ReadJpegSize(album + "/ps_thumb/tn_img_0042.jpg").Height, 100);
    EXPECT_TRUE(fs::exists(album + "/ps_medium/m_plain.jpg"));
    EXPECT_EQ(ReadPhotoMetadata(album + "/ps_medium/m_artist.jpg").artist, "Ann");
    EXPECT_TRUE(fs::exists(album + "/ps_medium/m_a.jpg"));
    ASSERT_EQ(f.context.failures.size(), 1u);  // the broken one alone
    EXPECT_EQ(f.context.failures[0].path, album + "/broken.heic");
}

TEST_F(ColourAndHeifRun, JpegAndHeicOfOneNameShareOutputsAndTheLaterFails) {
    WriteJpeg(album + "/IMG_1.jpg", 200, 150);
    WriteHeifFixture(SmoothGradient(200, 150, 200), album + "/IMG_1.heic", {});
    f.PrepareAll({album});
    StartProcessing(f.context);
    ASSERT_EQ(f.context.failures.size(), 1u);
    EXPECT_NE(f.context.failures[0].reason.find("IMG_1"), std::string::npos);
}

TEST_F(ColourAndHeifRun, KeepWritesTheProfileIntoEveryOutputConvertDoesNot) {
    TBitmap32 photo = SmoothGradient(400, 300, 200);
    const TIccProfile adobe = AdobeRgbProfile();
    ConvertFromSrgb(photo, adobe);
    SaveJpeg(photo, 95, album + "/a.jpg", {}, IccProfileSegments(adobe));
    std::ofstream(album + "/b.jpg");  // no picture at all: fails alone
    for (int mode : {1, 2, 0}) {
        SCOPED_TRACE(mode);
        f.settings.ColourProfiles = mode;
        f.albums.Clear();
        f.PrepareAll({album});
        StartProcessing(f.context);
        for (const char* output :
             {"/ps_large/l_a.jpg", "/ps_medium/m_a.jpg", "/ps_thumb/tn_a.jpg"}) {
            TBitmap32 decoded;
            const TPictureColour colour =
                LoadPicture(decoded, album + output, {TColourProfiles::Keep, nullptr});
            EXPECT_EQ(colour.Profile == adobe, mode == 2) << output;
            EXPECT_NE(ReadJpegComment(album + output).find(mode ? "; colour " : "quality"),
                      std::string::npos);
        }
    }
}

// The window shows colours as a browser shows the outputs: in sRGB, unless profiles are ignored,
// when it shows the stored colours as the outputs carry them.
TEST_F(ColourAndHeifRun, WorkingThumbnailsAreSrgbUnlessProfilesAreIgnored) {
    TBitmap32 photo = SmoothGradient(400, 300, 200);
    const TIccProfile adobe = AdobeRgbProfile();
    ConvertFromSrgb(photo, adobe);
    SaveJpeg(photo, 95, album + "/a.jpg", {}, IccProfileSegments(adobe));
    f.settings.RecreateTemp = true;
    std::map<int, TBitmap32> thumbs;
    for (int mode : {0, 1, 2}) {
        f.settings.ColourProfiles = mode;
        f.PrepareAll({album});
        LoadPicture(thumbs[mode], album + "/tmp/tmp_a.jpg");
    }
    const auto redAt = [](const TBitmap32& b) { return RedOf(b.Pixel(b.Width() - 2, 2)); };
    EXPECT_EQ(redAt(thumbs[1]), redAt(thumbs[2]));
    EXPECT_GT(std::abs(redAt(thumbs[0]) - redAt(thumbs[1])), 8);
    TBitmap32 stored;
    LoadPicture(stored, album + "/a.jpg", {TColourProfiles::Ignore, nullptr});
    EXPECT_NEAR(redAt(thumbs[0]), RedOf(stored.Pixel(stored.Width() - 2, 2)), 4);
}

}  // namespace
}  // namespace galerion
