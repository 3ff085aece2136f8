// What a photo file says seeds a new picture: turn, date taken, titles, keyword categories; the
// outputs carry its artist and copyright and nothing else of its metadata.
#include "processing/file_seeds.h"

#include "core/log_messages.h"
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"
#include "image/photo_metadata.h"
#include "platform/date_time.h"
#include "processing/album_preparation.h"
#include "processing/processing_run.h"
#include "support/files.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace galerion {
namespace {

using namespace test;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FileSeeds : public testing::Test {
protected:
    TWizardFixture f;
    std::string album = f.root / "Trip";

    void SetUp() override { MakeFolder(album); }

    // A landscape photo of 60 x 40 with the given tags.
    std::string Photo(const std::string& name, const TMetadataEdits& edits) {
        const std::string path = album + "/" + name;
        WriteJpeg(path, 60, 40);
        WriteMetadataTags(path, edits);
        return path;
    }
    TPictureItem& Picture(int i) { return *f.albums.AlbumAt(0)->PictureAt(i); }
    // The folder listing's order is the file system's.
    TPictureItem& Picture(const std::string& name) {
        const TAlbumItem& a = *f.albums.AlbumAt(0);
        for (int i = 0; i < a.PictureCount(); ++i)
            if (a.PictureAt(i)->OriginalFile == album + "/" + name) return *a.PictureAt(i);
        throw std::runtime_error("no picture " + name);
    }
    std::vector<std::string> Titles() {
        return Column(f.connection, "SELECT title FROM category ORDER BY category_id", "title");
    }
    bool LoggedAt(const std::string& start, int level) const {
        for (const TLogLine& line : f.log.Lines())
            if (line.text.rfind(start, 0) == 0 && line.mark.imageIndex == level) return true;
        return false;
    }
};

TEST_F(FileSeeds, PortraitStandsUpAndIsDatedWhenTaken) {
    Photo("portrait.jpg", {.exif = {{"Exif.Image.Orientation", "6"},
                                    {"Exif.Photo.DateTimeOriginal", "2019:05:04 13:14:15"}}});
    f.PrepareAll({album});
    EXPECT_EQ(Picture(0).Orientation, 2);
    const TDateTime taken = EncodeDateTime({2019, 5, 4, 13, 14, 15});
    EXPECT_EQ(Picture(0).PictureDate, taken);
    EXPECT_EQ(f.albums.AlbumAt(0)->AlbumDate, taken);  // from its first picture
    ASSERT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    const TJpegSize large = ReadJpegSize(album + "/ps_large/l_portrait.jpg");
    EXPECT_EQ(large.Width, 40);
    EXPECT_EQ(large.Height, 60);
    EXPECT_EQ(ScalarText(f.connection,
                         "SELECT orientation FROM picture WHERE title IS NULL "
                         "AND filename_original = 'Trip/portrait.jpg'"),
              "2");
    EXPECT_EQ(ScalarText(f.connection,
                         "SELECT picture_date FROM picture "
                         "WHERE filename_original = 'Trip/portrait.jpg'"),
              "2019-05-04 13:14:15");
}

TEST_F(FileSeeds, EachSwitchOffGivesThePictureAsTheFolderAloneWould) {
    Photo("a.jpg",
          {.exif = {{"Exif.Image.Orientation", "8"},
                    {"Exif.Photo.DateTimeOriginal", "2001:02:03 04:05:06"}},
           .xmp = {{"Xmp.dc.title", "lang=\"x-default\" Harbour"}, {"Xmp.dc.subject", "Boats"}}});
    RunRaw(f.connection, "INSERT INTO category (category_guid, title) VALUES ('{G}', 'boats')");
    f.settings.UseExifOrientation = f.settings.UseExifDate = f.settings.UseFileTexts = false;
    f.settings.KeywordCategories = 0;
    f.PrepareAll({album});
    EXPECT_EQ(Picture(0).Orientation, 1);
    EXPECT_EQ(Picture(0).PictureDate, FileModifiedTime(album + "/a.jpg"));
    EXPECT_EQ(Picture(0).Title, "");
    EXPECT_TRUE(Picture(0).Categories.empty());
}

TEST_F(FileSeeds, StoredRowsAndTheUsersEditsWin) {
    Photo("a.jpg", {.exif = {{"Exif.Image.Orientation", "6"},
                             {"Exif.Photo.DateTimeOriginal", "2019:05:04 13:14:15"}},
                    .xmp = {{"Xmp.dc.title", "lang=\"x-default\" From the file"}}});
    RunRaw(f.connection,
           "INSERT INTO album (original_path, short_name) VALUES ('" + album + "', 's')");
    RunRaw(f.connection,
           "INSERT INTO picture (title, filename_original, orientation, picture_date, album_id) "
           "VALUES ('Mine', 'Trip/a.jpg', 3, '2020-01-02', (SELECT MAX(album_id) FROM album))");
    f.PrepareAll({album});
    EXPECT_EQ(Picture(0).Orientation, 3);
    EXPECT_EQ(Picture(0).Title, "Mine");
    EXPECT_EQ(Picture(0).PictureDate, EncodeDateTime({2020, 1, 2}));
}

TEST_F(FileSeeds, TitlesSkipCameraTextsAndTakeTheAlternativeLanguage) {
    Photo("a.jpg", {.exif = {{"Exif.Image.ImageDescription", "OLYMPUS DIGITAL CAMERA"}}});
    Photo("b.jpg", {.xmp = {{"Xmp.dc.title", "lang=\"x-default\" Old harbour"},
                            {"Xmp.dc.title", "lang=\"de-DE\" Alter Hafen"}}});
    Photo("c.jpg", {.iptc = {{"Iptc.Application2.Caption", "  Lighthouse\tat dusk "}}});
    f.settings.AltLanguage = "de";
    f.PrepareAll({album});
    EXPECT_EQ(Picture("a.jpg").Title, "");
    EXPECT_EQ(Picture("b.jpg").Title, "Old harbour");
    EXPECT_EQ(Picture("b.jpg").AltTitle, "Alter Hafen");
    EXPECT_EQ(Picture("c.jpg").Title, "Lighthouse at dusk");  // a tab is a control character
    EXPECT_EQ(Picture("c.jpg").AltTitle, "");
}

TEST_F(FileSeeds, KeywordsMatchCategoriesAndCreateTheMissingOnesOnlyWhenAsked) {
    RunRaw(f.connection, "INSERT INTO category (category_guid, title) VALUES ('{G}', 'Beach')");
    const std::string beach = ScalarText(f.connection, "SELECT category_id FROM category");
    Photo("a.jpg", {.iptc = {{"Iptc.Application2.Keywords", "beach"},
                             {"Iptc.Application2.Keywords", "Sunset"}},
                    .xmp = {{"Xmp.lr.hierarchicalSubject", "Places|Coast|Dunes"}}});
    f.PrepareAll({album});  // match only, the default
    EXPECT_EQ(Picture(0).Categories, (std::vector<std::string>{beach}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Beach"}));

    // A dry run names what it would create and creates nothing.
    f.settings.KeywordCategories = 2;
    f.context.createCategories = false;
    f.PrepareAll({album});
    EXPECT_EQ(f.context.categoriesToCreate, (std::vector<std::string>{"Sunset", "Dunes"}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Beach"}));

    f.context.createCategories = true;
    f.PrepareAll({album});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Beach", "Sunset", "Dunes"}));
    EXPECT_EQ(Picture(0).Categories.size(), 3u);
    EXPECT_TRUE(f.Logged(msg::CategoryFromKeyword("Dunes")));
}

TEST_F(FileSeeds, OutputsCarryArtistAndCopyrightAndNothingElse) {
    Photo("a.jpg", {.exif = {{"Exif.Image.Artist", "Ann Example"},
                             {"Exif.Image.Copyright", "(c) 2024 Ann Example"},
                             {"Exif.Image.Orientation", "1"},
                             {"Exif.Image.Make", "SecretMaker"},
                             {"Exif.Photo.BodySerialNumber", "SN-777123"},
                             {"Exif.GPSInfo.GPSLatitudeRef", "N"},
                             {"Exif.GPSInfo.GPSLatitude", "52/1 31/1 0/1"}},
                    .xmp = {{"Xmp.dc.title", "lang=\"x-default\" Private place"}}});
    f.PrepareAll({album});
    ASSERT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    for (const char* output : {"/ps_large/l_a.jpg", "/ps_medium/m_a.jpg", "/ps_thumb/tn_a.jpg"}) {
        const std::string path = album + output;
        const TPhotoMetadata meta = ReadPhotoMetadata(path);
        EXPECT_EQ(meta.artist, "Ann Example") << output;
        EXPECT_EQ(meta.copyright, "(c) 2024 Ann Example") << output;
        EXPECT_EQ(meta.orientationTag, 0) << output;
        EXPECT_TRUE(meta.titles.empty()) << output;
        const std::string bytes = Bytes(path);
        for (const char* secret : {"SecretMaker", "SN-777123", "Private place", "GPS"})
            EXPECT_EQ(bytes.find(secret), std::string::npos) << output << ": " << secret;
    }

    // Switched off, the outputs carry nothing; the incremental record sees the change.
    f.settings.CarryCopyright = false;
    f.settings.RecreateChanged = true;
    f.log.Clear();
    f.settings.UpdateMode = 2;
    ASSERT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    const TPhotoMetadata meta = ReadPhotoMetadata(album + "/ps_medium/m_a.jpg");
    EXPECT_EQ(meta.artist, "");
    EXPECT_EQ(meta.copyright, "");
}

// Broken metadata is left aside with a line naming the file; the photo is published all the same.
TEST_F(FileSeeds, UnreadableMetadataCountsAsNone) {
    const std::string path = album + "/broken.jpg";
    WriteJpeg(path, 60, 40);
    std::string bytes = Bytes(path);
    // An EXIF block whose first directory lies far past its end.
    const std::string exif = std::string("Exif\0\0II*\0\xff\xff\xff\x7f", 14);
    const std::string segment = std::string("\xFF\xE1") + char((exif.size() + 2) >> 8) +
                                char((exif.size() + 2) & 0xFF) + exif;
    bytes.insert(2, segment);
    WriteText(path, bytes);
    f.PrepareAll({album});
    EXPECT_EQ(Picture(0).Orientation, 1);
    EXPECT_TRUE(LoggedAt("The metadata of " + path, msg::kLevelSkipped));
    ASSERT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    EXPECT_TRUE(f.context.failures.empty());
    EXPECT_EQ(ReadJpegSize(album + "/ps_large/l_broken.jpg").Width, 60);
}

// The fuzz seeds are photos with damaged and hostile metadata: loops, offsets past the end,
// entity expansion, outside files. One run publishes every one of them as if it had none.
TEST_F(FileSeeds, HostilePhotosArePublishedInOneRun) {
    namespace fs = std::filesystem;
    int photos = 0;
    for (const fs::directory_entry& seed : fs::directory_iterator(GALERION_METADATA_SEEDS)) {
        fs::copy_file(seed.path(), album + "/" + seed.path().stem().string() + ".jpg");
        ++photos;
    }
    ASSERT_GT(photos, 10);
    f.settings.KeywordCategories = 2;
    f.settings.AltLanguage = "de";
    f.PrepareAll({album});
    ASSERT_EQ(f.albums.AlbumAt(0)->PictureCount(), photos);
    ASSERT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    for (const TPictureFailure& failure : f.context.failures)
        ADD_FAILURE() << failure.path << ": " << failure.reason;
    int written = 0;
    for ([[maybe_unused]] const fs::directory_entry& e :
         fs::directory_iterator(album + "/ps_thumb"))
        ++written;
    EXPECT_EQ(written, photos);
}

}  // namespace
}  // namespace galerion
