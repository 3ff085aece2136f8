#include "processing/album_preparation.h"

#include "core/log_messages.h"
#include "core/settings.h"
#include "platform/date_time.h"
#include "processing/output_names.h"
#include "support/files.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace galerion {
namespace {

using namespace test;

std::vector<std::string> Names(const TPictureList& list) {
    std::vector<std::string> names;
    for (const std::string& path : list.Texts()) names.push_back(LastPathComponent(path));
    return names;
}

TEST(CollectPictureFiles, TakesRegularFilesWithPictureExtensionsOnly) {
    TTempFolder dir;
    WriteText(dir / "A.JPG", "x");
    WriteText(dir / "b.jpeg", "x");
    WriteText(dir / "c.png", "x");
    WriteText(dir / "noext", "x");
    MakeFolder(dir / "d.jpg");
    ASSERT_EQ(::mkfifo((dir / "e.jpg").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir / "A.JPG", dir / "link.jpg");
    TPictureList list;
    CollectPictureFiles(dir.Path() + "/*.*", list, true, {".jpg", ".jpeg"});
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A.JPG", "b.jpeg", "link.jpg"}));
    TPictureList jpegOnly;
    CollectPictureFiles(dir.Path() + "/*.*", jpegOnly, true, {".jpeg"});
    EXPECT_EQ(Names(jpegOnly), (std::vector<std::string>{"b.jpeg"}));
    TPictureList none;
    CollectPictureFiles(dir.Path() + "/*.*", none, true, {});
    EXPECT_EQ(none.Count(), 0);
    TPictureList unfiltered;
    CollectPictureFiles(dir.Path() + "/*.*", unfiltered, false, {});
    EXPECT_EQ(unfiltered.Count(), 5);
}

TEST(OutputNames, CaseRuleAndWebPaths) {
    struct Case {
        int rule;
        const char* large;
        const char* temp;
    };
    for (const Case& c :
         {Case{0, "l_img_01.jpg", "tmp_img_01.jpg"}, Case{1, "L_IMG_01.JPG", "TMP_IMG_01.JPG"},
          Case{2, "L_IMG_01.JPG", "tmp_IMG_01.JPG"}, Case{7, "L_IMG_01.JPG", "tmp_IMG_01.JPG"}}) {
        TSettings s;
        s.OutputFilenames = c.rule;
        s.LargePrefix = "L_";
        s.ProcessLarge = true;
        TPictureItem p(nullptr);
        p.OriginalFile = "/p/Trip/IMG_01.JPG";
        MakeOutputNames(p, "/p/Trip", s);
        EXPECT_EQ(p.LargeFile, std::string("/p/Trip/ps_large/") + c.large) << c.rule;
        EXPECT_EQ(p.TempFile, std::string("/p/Trip/tmp/") + c.temp) << c.rule;
        EXPECT_EQ(p.WebLarge, std::string("Trip/ps_large/") + c.large) << c.rule;
    }
    TSettings s;
    s.OutputFilenames = 2;
    s.ProcessThumb = false;
    TPictureItem p(nullptr);
    p.OriginalFile = "/p/Trip/a.jpg";
    MakeOutputNames(p, "/p/Trip", s);
    EXPECT_EQ(p.ThumbFile, "/p/Trip/ps_thumb/tn_a.jpg");
    EXPECT_EQ(p.WebThumb, "");
    EXPECT_EQ(p.WebMedium, "Trip/ps_medium/m_a.jpg");
    EXPECT_EQ(p.WebLarge, "");  // large is off by default
    EXPECT_EQ(p.WebOriginal, "Trip/a.jpg");
}

TEST(TilePosition, GridFollowsTheThumbnailBox) {
    // 300 pixels wide, 150 box: cell 170, one column computed, raised to two.
    EXPECT_EQ(TilePosition(1, 150, 100, 300).left, 5 + 170 + 5);
    EXPECT_EQ(TilePosition(2, 150, 100, 300).left, 5);
    EXPECT_EQ(TilePosition(2, 150, 100, 300).top, 100 + 42 + 5 + 5);
    EXPECT_EQ(TilePosition(3, 200, 100, 1000).left, 3 * (5 + 210) + 5);
}

class Preparation : public testing::Test {
protected:
    TWizardFixture f;
    std::string album = f.root / "Trip";

    void SetUp() override {
        MakeFolder(album);
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) WriteJpeg(album + "/" + name, 40, 30);
    }
    TAlbumItem& Album() { return *f.albums.AlbumAt(0); }
};

TEST_F(Preparation, CollectsNamesAndWritesWorkingThumbnails) {
    f.PrepareAll({album});
    TAlbumItem& a = Album();
    EXPECT_TRUE(a.Prepared);
    ASSERT_EQ(a.PictureCount(), 3);
    EXPECT_EQ(a.ShortName, "Trip");
    EXPECT_EQ(a.DirName, "Trip");
    EXPECT_EQ(a.OriginalPath, album);
    EXPECT_DOUBLE_EQ(a.AlbumDate, FileModifiedTime(album + "/a.jpg"));
    EXPECT_TRUE(a.PictureAt(0)->IsFace);
    EXPECT_FALSE(a.PictureAt(1)->IsFace);
    EXPECT_TRUE(std::filesystem::exists(album + "/tmp/tmp_b.jpg"));
    EXPECT_TRUE(f.Logged("Collect files from " + album + "/*.j*"));
    EXPECT_TRUE(f.Logged("Thumbnail for \"tmp_a.jpg\" done."));
    EXPECT_TRUE(f.Logged("Thumbnails created successfully."));
    EXPECT_EQ(f.host.statuses.back(), "Photos: 3. Thumbs: finished.");
    EXPECT_EQ(ProcessButtonCaption(f.albums), "Process album (1 of 1) >");

    // A second showing only reuses the working thumbnails.
    PrepareAlbum(f.context, 0);
    EXPECT_TRUE(f.Logged("Directory " + album + " is already processed"));
    EXPECT_TRUE(f.Logged("Thumbnail has not been created again for \"tmp_a.jpg\"."));
}

// Thumbnails are made ahead on helper threads; the log still reads picture by picture, and a
// thumbnail kept from an earlier showing is not made again.
TEST_F(Preparation, ThumbnailLinesComeInListOrder) {
    for (const char* name : {"d.jpg", "e.jpg", "f.jpg"}) WriteJpeg(album + "/" + name, 40, 30);
    f.PrepareAll({album});
    std::vector<std::string> expected;
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) {
        const std::string source = album + "/" + name + ".jpg";
        expected.push_back(msg::SmallerThanBox(false, source, album + "/tmp/tmp_" + name + ".jpg"));
        expected.push_back(std::string("Thumbnail for \"tmp_") + name + ".jpg\" done.");
    }
    std::vector<std::string> lines = f.LogTexts();
    const auto first = std::find(lines.begin(), lines.end(), expected[0]);
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(std::vector<std::string>(first, first + 12), expected);

    std::filesystem::remove(album + "/tmp/tmp_e.jpg");
    f.log.Clear();
    PrepareAlbum(f.context, 0);
    lines = f.LogTexts();
    EXPECT_TRUE(f.Logged("Thumbnail has not been created again for \"tmp_d.jpg\"."));
    EXPECT_TRUE(f.Logged("Thumbnail for \"tmp_e.jpg\" done."));
    EXPECT_TRUE(f.Logged("Thumbnail has not been created again for \"tmp_f.jpg\"."));
    EXPECT_TRUE(std::filesystem::exists(album + "/tmp/tmp_e.jpg"));
}

TEST_F(Preparation, RestoresStoredAlbumPicturesAndFace) {
    RunRaw(f.connection,
           "INSERT INTO album (original_path, face_picture_id, short_name, long_name, is_private) "
           "VALUES ('" +
               album + "', 12, 'short', 'Long ''quoted''', -1)");
    const int albumId = ScalarInt(f.connection, "SELECT MAX(album_id) FROM album");
    RunRaw(
        f.connection,
        "INSERT INTO picture (picture_id, title, filename_original, orientation, crop_X1, crop_Y1,"
        " crop_X2, crop_Y2, width, height, is_deleted, picture_date, hash_thumb, album_id) VALUES "
        "(12, 'Tower', 'Trip/c.jpg', -2, 1, 2, 3, 4, 30, 40, -1, NULL, 'h', " +
            std::to_string(albumId) + ")");
    RunRaw(f.connection,
           "INSERT INTO picture_to_category (picture_id, category_id) VALUES (12, 7)");
    RunRaw(f.connection,
           "INSERT INTO picture_to_category (picture_id, category_id) VALUES (12, 3)");
    f.PrepareAll({album});
    TAlbumItem& a = Album();
    EXPECT_EQ(a.AlbumId, albumId);
    EXPECT_EQ(a.LongName, "Long 'quoted'");
    EXPECT_TRUE(a.IsPrivate);
    EXPECT_EQ(a.Description, "");  // stored NULL
    const TPictureItem& c = *a.PictureAt(2);
    EXPECT_EQ(c.PictureId, 12);
    EXPECT_EQ(c.Title, "Tower");
    EXPECT_EQ(c.Orientation, -2);
    EXPECT_EQ(c.CropX2, 3);
    EXPECT_EQ(c.PixelHeight, 40);
    EXPECT_TRUE(c.IsDeleted);
    EXPECT_EQ(c.HashThumb, "h");
    EXPECT_DOUBLE_EQ(c.PictureDate, FileModifiedTime(album + "/c.jpg"));  // NULL keeps the file's
    EXPECT_EQ(c.Categories, (std::vector<std::string>{"7", "3"}));
    // Only the stored face picture carries the mark.
    EXPECT_FALSE(a.PictureAt(0)->IsFace);
    EXPECT_TRUE(c.IsFace);
    EXPECT_TRUE(f.Logged("Album found in database: " + album));
    EXPECT_TRUE(f.Logged("Picture found in database: Trip/c.jpg"));
}

// Records what preparation asks of the tiles it creates.
struct TCountingTile : TVisualPictureItem {
    int applied = 0, released = 0;
    void SetCaption(const std::string&) override {}
    std::string Caption() const override { return {}; }
    void SetHint(const std::string&) override {}
    std::string Hint() const override { return {}; }
    void ApplyPictureState() override { ++applied; }
    void ReleaseFaceMark() override { ++released; }
};

class TTileHost : public TScriptedHost {
public:
    std::vector<TCountingTile*> tiles;
    std::unique_ptr<TVisualPictureItem> CreateTile(TPictureItem&, const TTilePlacement&) override {
        auto tile = std::make_unique<TCountingTile>();
        tiles.push_back(tile.get());
        return tile;
    }
};

TEST_F(Preparation, StoredFaceTakesTheMarkWithoutShowingEarlierTilesAgain) {
    RunRaw(f.connection,
           "INSERT INTO album (original_path, face_picture_id) VALUES ('" + album + "', 12)");
    RunRaw(f.connection,
           "INSERT INTO picture (picture_id, filename_original, album_id) VALUES "
           "(12, 'Trip/c.jpg', (SELECT MAX(album_id) FROM album))");
    TTileHost host;
    TBusyState busy(host);
    TWizardContext context{f.albums, f.settings, f.log, host, busy};
    f.albums.AddAlbum(album);
    PrepareAlbum(context, 0);
    ASSERT_EQ(host.tiles.size(), 3u);
    // The first picture's tile was shown once (a second showing would turn its thumbnail
    // twice) and lost the face mark when the stored face picture's tile came.
    EXPECT_EQ(host.tiles[0]->applied, 1);
    EXPECT_EQ(host.tiles[0]->released, 1);
    EXPECT_EQ(host.tiles[1]->released, 0);
    EXPECT_EQ(host.tiles[2]->applied, 1);
    EXPECT_FALSE(Album().PictureAt(0)->IsFace);
    EXPECT_TRUE(Album().PictureAt(2)->IsFace);
}

TEST_F(Preparation, DatabaseErrorIsShownAndPreparationGoesOn) {
    f.settings.DB = "Provider=SQLite;Data Source=" + (f.root / "missing.db");
    f.PrepareAll({album});
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_TRUE(Album().Prepared);
    EXPECT_EQ(Album().PictureCount(), 3);
}

TEST_F(Preparation, MissingComponentsEndTheProgram) {
    // A machine without the PostgreSQL client library.
    struct TNoClientLibrary {
        TNoClientLibrary() { ::setenv("GALERION_PQ_LIBRARY", "libgalerion-nothing.so.1", 1); }
        ~TNoClientLibrary() { ::unsetenv("GALERION_PQ_LIBRARY"); }
    } noClientLibrary;
    f.settings.DB = "Provider=PostgreSQL;Data Source=x";
    try {
        f.PrepareAll({album});
        FAIL() << "expected the program to end";
    } catch (const TProgramExit& e) {
        EXPECT_EQ(e.code, 77);
        EXPECT_NE(f.host.errors.at(0).find("Can not instantiate data access component."),
                  std::string::npos);
    }
}

TEST_F(Preparation, StopAnsweredYesLeavesTheAlbumUnprepared) {
    int pumps = 0;
    f.host.onPump = [&] {
        if (++pumps == 12) f.busy.RequestStop();  // during the second picture
    };
    f.host.confirmAnswers = {false, true};  // first No (go on), then Yes
    f.PrepareAll({album});
    EXPECT_TRUE(Album().Prepared);          // No: the preparation went on to its end
    EXPECT_EQ(f.host.confirms.size(), 1u);  // and the flag was cleared: no second question
    EXPECT_EQ(f.host.confirms[0], "Are you sure you want to stop process?");
    EXPECT_FALSE(f.busy.StopFlag());

    pumps = 0;
    f.host.confirmAnswers = {true};
    f.PrepareAll({album});
    EXPECT_FALSE(Album().Prepared);
    EXPECT_TRUE(f.busy.StopFlag());
    EXPECT_TRUE(f.Logged("Thumbnails created successfully."));
    EXPECT_EQ(f.host.statuses.back(), "Photos: 3. Thumbs: finished.");
    EXPECT_EQ(ProcessButtonCaption(f.albums), "Process album (1 of 1) >");
}

TEST_F(Preparation, BrokenPhotoGetsNoTileAndIsNotExcluded) {
    WriteText(album + "/b.jpg", "not a jpeg at all");
    f.PrepareAll({album});
    EXPECT_TRUE(Album().Prepared);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Album().PictureAt(i)->IsDeleted) << i;
    EXPECT_FALSE(std::filesystem::exists(album + "/tmp/tmp_b.jpg"));
    EXPECT_TRUE(std::filesystem::exists(album + "/tmp/tmp_c.jpg"));
    ASSERT_EQ(f.context.failures.size(), 1u);
    EXPECT_EQ(f.context.failures[0].path, album + "/b.jpg");
    EXPECT_EQ(f.log.Lines().end()[-1].text, "Thumbnails created successfully.");
}

}  // namespace
}  // namespace galerion
